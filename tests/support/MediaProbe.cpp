#include "support/MediaProbe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
}

#include <functional>
#include <memory>

namespace velmorra::test {
namespace {

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct DecoderCloser {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;
using Decoder = std::unique_ptr<AVCodecContext, DecoderCloser>;

Input openInput(const std::string& path) {
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) {
        return nullptr;
    }
    Input input(context);
    if (avformat_find_stream_info(context, nullptr) < 0) {
        return nullptr;
    }
    return input;
}

Decoder openDecoder(const AVStream& stream) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    Decoder decoder(avcodec_alloc_context3(codec));
    if (codec == nullptr || decoder == nullptr ||
        avcodec_parameters_to_context(decoder.get(), stream.codecpar) < 0) {
        return nullptr;
    }
    decoder->pkt_timebase = stream.time_base;
    decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return nullptr;
    }
    return decoder;
}

// Feeds every packet of one stream through its decoder, then drains it; `onFrame` returns false
// to stop early.
void decodeStream(const std::string& path, AVMediaType type,
                  const std::function<bool(const AVFrame&, const AVCodecContext&)>& onFrame) {
    Input input = openInput(path);
    if (input == nullptr) {
        return;
    }
    const int index = av_find_best_stream(input.get(), type, -1, -1, nullptr, 0);
    if (index < 0) {
        return;
    }
    Decoder decoder = openDecoder(*input->streams[index]);
    if (decoder == nullptr) {
        return;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool more = true;
    const auto receive = [&] {
        while (more && avcodec_receive_frame(decoder.get(), frame) == 0) {
            more = onFrame(*frame, *decoder);
            av_frame_unref(frame);
        }
    };
    while (more && av_read_frame(input.get(), packet) >= 0) {
        if (packet->stream_index == index) {
            avcodec_send_packet(decoder.get(), packet);
            receive();
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder.get(), nullptr);
    receive();
    av_frame_free(&frame);
    av_packet_free(&packet);
}

} // namespace

MediaProbe::MediaProbe(std::string mediaPath) : path(std::move(mediaPath)) {
    Input input = openInput(path);
    if (input == nullptr) {
        return;
    }
    isOpened = true;
    formatName = input->iformat->name;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream& stream = *input->streams[i];
        const AVCodecParameters& parameters = *stream.codecpar;
        Stream entry;
        entry.isVideo = parameters.codec_type == AVMEDIA_TYPE_VIDEO;
        entry.codec = avcodec_get_name(parameters.codec_id);
        entry.width = parameters.width;
        entry.height = parameters.height;
        if (entry.isVideo) {
            const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(parameters.format));
            entry.pixelFormat = name != nullptr ? name : "";
            const AVRational rate = stream.avg_frame_rate.num != 0 ? stream.avg_frame_rate : stream.r_frame_rate;
            entry.framesPerSecond = av_q2d(rate);
        }
        entry.startSeconds = stream.start_time == AV_NOPTS_VALUE ? 0 : static_cast<double>(stream.start_time) * av_q2d(stream.time_base);
        entry.sampleRate = parameters.sample_rate;
        entry.channels = parameters.ch_layout.nb_channels;
        found.push_back(entry);
    }
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(input.get(), packet) >= 0) {
        ++found[static_cast<std::size_t>(packet->stream_index)].packets;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
}

const MediaProbe::Stream* MediaProbe::video() const {
    for (const Stream& stream : found) {
        if (stream.isVideo) {
            return &stream;
        }
    }
    return nullptr;
}

const MediaProbe::Stream* MediaProbe::audio() const {
    for (const Stream& stream : found) {
        if (!stream.isVideo && stream.sampleRate > 0) {
            return &stream;
        }
    }
    return nullptr;
}

std::vector<float> MediaProbe::decodeSound(int sampleRate) const {
    std::vector<float> samples;
    SwrContext* resampler = nullptr;
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    const auto resample = [&](const std::uint8_t* const* input, int count) {
        const int room = swr_get_out_samples(resampler, count);
        const std::size_t start = samples.size();
        samples.resize(start + static_cast<std::size_t>(room));
        auto* output = reinterpret_cast<std::uint8_t*>(samples.data() + start);
        const int made = swr_convert(resampler, &output, room, const_cast<const std::uint8_t**>(input), count);
        samples.resize(start + static_cast<std::size_t>(made > 0 ? made : 0));
    };
    decodeStream(path, AVMEDIA_TYPE_AUDIO, [&](const AVFrame& frame, const AVCodecContext&) {
        if (resampler == nullptr) {
            AVChannelLayout layout = frame.ch_layout;  // the API takes it non-const, but only reads it
            swr_alloc_set_opts2(&resampler, &mono, AV_SAMPLE_FMT_FLT, sampleRate, &layout,
                                static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
            swr_init(resampler);
        }
        resample(frame.extended_data, frame.nb_samples);
        return true;
    });
    if (resampler != nullptr) {
        resample(nullptr, 0);
        swr_free(&resampler);
    }
    return samples;
}

std::vector<std::uint8_t> MediaProbe::decodePicture(long index) const {
    std::vector<std::uint8_t> planes;
    long seen = 0;
    decodeStream(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, const AVCodecContext&) {
        if (seen++ < index) {
            return true;
        }
        const auto format = static_cast<AVPixelFormat>(frame.format);
        const int size = av_image_get_buffer_size(format, frame.width, frame.height, 1);
        planes.resize(static_cast<std::size_t>(size));
        av_image_copy_to_buffer(planes.data(), size, frame.data, frame.linesize, format, frame.width,
                                frame.height, 1);
        return false;
    });
    return planes;
}

} // namespace velmorra::test
