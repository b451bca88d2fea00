#include "video/MusicDecoder.h"

#include "video/AvError.h"

#include <algorithm>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

namespace velmorra {
namespace {

constexpr int channels = 2;
constexpr int skipChunk = 4096;

} // namespace

MusicDecoder::~MusicDecoder() {
    av_frame_free(&decoded);
    av_packet_free(&packet);
    if (pending != nullptr) {
        av_audio_fifo_free(pending);
    }
    swr_free(&resampler);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
}

std::string MusicDecoder::failure(const std::string& what, int code) const {
    return what + " " + path + ": " + avErrorText(code);
}

bool MusicDecoder::open(const std::string& musicPath, int rate, std::string& error) {
    path = musicPath;
    sampleRate = rate;
    int result = avformat_open_input(&input, path.c_str(), nullptr, nullptr);
    if (result < 0) {
        error = failure("cannot read the music", result);
        return false;
    }
    result = avformat_find_stream_info(input, nullptr);
    const AVCodec* codec = nullptr;
    streamIndex = result < 0 ? result : av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (streamIndex < 0) {
        error = failure("no sound in the music", streamIndex);
        return false;
    }
    const AVStream& stream = *input->streams[streamIndex];
    decoder = avcodec_alloc_context3(codec);
    packet = av_packet_alloc();
    decoded = av_frame_alloc();
    pending = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, channels, skipChunk);
    if (decoder == nullptr || packet == nullptr || decoded == nullptr || pending == nullptr) {
        error = failure("cannot decode the music", AVERROR(ENOMEM));
        return false;
    }
    decoder->pkt_timebase = stream.time_base;
    result = avcodec_parameters_to_context(decoder, stream.codecpar);
    if (result >= 0) {
        result = avcodec_open2(decoder, codec, nullptr);
    }
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (result >= 0) {
        result = swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_FLTP, sampleRate,
                                     &decoder->ch_layout, decoder->sample_fmt,
                                     decoder->sample_rate, 0, nullptr);
    }
    if (result >= 0) {
        result = swr_init(resampler);
    }
    if (result < 0) {
        error = failure("cannot decode the music", result);
        return false;
    }
    return true;
}

bool MusicDecoder::skip(std::int64_t count, std::string& error) {
    while (count > 0) {
        const int chunk = static_cast<int>(std::min<std::int64_t>(count, skipChunk));
        if (!decodeAtLeast(chunk, error)) {
            return false;
        }
        const int available = std::min(chunk, av_audio_fifo_size(pending));
        if (available == 0) {
            return true;  // past the end: what follows is silence anyway
        }
        av_audio_fifo_drain(pending, available);
        count -= available;
    }
    return true;
}

bool MusicDecoder::read(float* left, float* right, int count, std::string& error) {
    if (!decodeAtLeast(count, error)) {
        return false;
    }
    void* planes[channels] = {left, right};
    const int available = std::min(count, av_audio_fifo_size(pending));
    const int got = av_audio_fifo_read(pending, planes, available);
    if (got < 0) {
        error = failure("cannot decode the music", got);
        return false;
    }
    std::fill(left + got, left + count, 0.0f);
    std::fill(right + got, right + count, 0.0f);
    return true;
}

bool MusicDecoder::decodeAtLeast(int count, std::string& error) {
    while (av_audio_fifo_size(pending) < count && !ended) {
        if (!decodePacket(error)) {
            return false;
        }
    }
    return true;
}

bool MusicDecoder::decodePacket(std::string& error) {
    const int read = av_read_frame(input, packet);
    if (read < 0 && read != AVERROR_EOF) {
        error = failure("cannot read the music", read);
        return false;
    }
    if (read >= 0 && packet->stream_index != streamIndex) {
        av_packet_unref(packet);
        return true;
    }
    // A broken packet in the middle of the track costs a moment of it, not the capture.
    avcodec_send_packet(decoder, read >= 0 ? packet : nullptr);
    av_packet_unref(packet);
    int received = 0;
    while ((received = avcodec_receive_frame(decoder, decoded)) == 0) {
        const bool resampled = resampleFrame(decoded, error);
        av_frame_unref(decoded);
        if (!resampled) {
            return false;
        }
    }
    if (read == AVERROR_EOF) {
        ended = true;
        return resampleFrame(nullptr, error);  // what the resampler still holds
    }
    return true;
}

bool MusicDecoder::resampleFrame(const AVFrame* frame, std::string& error) {
    const int inputCount = frame != nullptr ? frame->nb_samples : 0;
    const int room = swr_get_out_samples(resampler, inputCount);
    if (room <= 0) {
        return true;
    }
    std::vector<float> planes(static_cast<std::size_t>(room) * channels);
    std::uint8_t* output[channels] = {reinterpret_cast<std::uint8_t*>(planes.data()),
                                      reinterpret_cast<std::uint8_t*>(planes.data() + room)};
    const int made = swr_convert(resampler, output, room,
                                 frame != nullptr ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                                 inputCount);
    if (made < 0) {
        error = failure("cannot resample the music", made);
        return false;
    }
    void* const written[channels] = {output[0], output[1]};
    if (av_audio_fifo_write(pending, const_cast<void**>(written), made) < made) {
        error = failure("cannot decode the music", AVERROR(ENOMEM));
        return false;
    }
    return true;
}

} // namespace velmorra
