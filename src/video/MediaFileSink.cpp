#include "video/MediaFileSink.h"

#include "video/AvError.h"

#include <chrono>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace velmorra {
using Stage = EncodingState::Stage;

MediaFileSink::~MediaFileSink() {
    av_packet_free(&packet);
    avcodec_free_context(&videoEncoder);
    sound.reset();
    if (output != nullptr) {
        avio_closep(&output->pb);
        avformat_free_context(output);
    }
}

bool MediaFileSink::open(const VideoSettings& settings, const char* container,
                         const std::string& writtenPath, std::string& error) {
    shownPath = settings.path;
    framesPerSecond = settings.framesPerSecond;
    const int allocated = avformat_alloc_output_context2(&output, nullptr, container, writtenPath.c_str());
    packet = av_packet_alloc();
    if (allocated < 0 || packet == nullptr) {
        error = "cannot set up the " + std::string(container) + " writer: " +
                avErrorText(allocated < 0 ? allocated : AVERROR(ENOMEM));
        return false;
    }
    // Nothing that varies between runs (library versions, random identifiers) goes into the file.
    output->flags |= AVFMT_FLAG_BITEXACT;
    return openVideoEncoder(settings, error) && openSound(settings, error) &&
           writeHeader(settings, writtenPath, error);
}

bool MediaFileSink::openVideoEncoder(const VideoSettings& settings, std::string& error) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr) {
        error = "no H.264 encoder (libx264) available";
        return false;
    }
    videoEncoder = avcodec_alloc_context3(codec);
    if (videoEncoder == nullptr) {
        error = "cannot set up the H.264 encoder: " + avErrorText(AVERROR(ENOMEM));
        return false;
    }
    videoEncoder->width = settings.width;
    videoEncoder->height = settings.height;
    videoEncoder->pix_fmt = AV_PIX_FMT_YUV420P;
    videoEncoder->time_base = {1, settings.framesPerSecond};
    videoEncoder->framerate = {settings.framesPerSecond, 1};
    videoEncoder->sample_aspect_ratio = {1, 1};
    videoEncoder->color_range = AVCOL_RANGE_MPEG;
    videoEncoder->colorspace = AVCOL_SPC_BT709;
    videoEncoder->color_primaries = AVCOL_PRI_BT709;
    videoEncoder->color_trc = AVCOL_TRC_BT709;
    videoEncoder->chroma_sample_location = AVCHROMA_LOC_LEFT;
    // A fixed thread count: x264's output depends on it, and must not depend on the machine.
    videoEncoder->thread_count = encoderThreads;
    videoEncoder->flags |= AV_CODEC_FLAG_BITEXACT;
    if (output->oformat->flags & AVFMT_GLOBALHEADER) {
        videoEncoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    av_opt_set(videoEncoder->priv_data, "preset", preset, 0);
    av_opt_set_double(videoEncoder->priv_data, "crf", constantRateFactor, 0);
    const int opened = avcodec_open2(videoEncoder, codec, nullptr);
    if (opened < 0) {
        error = "cannot set up the H.264 encoder: " + avErrorText(opened);
        return false;
    }
    videoStream = avformat_new_stream(output, nullptr);
    if (videoStream == nullptr) {
        error = "cannot add the video stream: " + avErrorText(AVERROR(ENOMEM));
        return false;
    }
    avcodec_parameters_from_context(videoStream->codecpar, videoEncoder);
    videoStream->time_base = videoEncoder->time_base;
    videoStream->avg_frame_rate = videoEncoder->framerate;
    return true;
}

bool MediaFileSink::openSound(const VideoSettings& settings, std::string& error) {
    if (settings.musicPath.empty()) {
        return true;
    }
    sound = std::make_unique<SoundEncoder>();
    const bool globalHeader = (output->oformat->flags & AVFMT_GLOBALHEADER) != 0;
    if (!sound->open(settings.musicPath, settings.musicStartSeconds, globalHeader, error)) {
        return false;
    }
    soundStream = avformat_new_stream(output, nullptr);
    if (soundStream == nullptr) {
        error = "cannot add the sound stream: " + avErrorText(AVERROR(ENOMEM));
        return false;
    }
    avcodec_parameters_from_context(soundStream->codecpar, &sound->context());
    soundStream->time_base = sound->context().time_base;
    return true;
}

bool MediaFileSink::writeHeader(const VideoSettings& settings, const std::string& writtenPath,
                                std::string& error) {
    const int opened = avio_open(&output->pb, writtenPath.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) {
        error = "cannot write " + settings.path + ": " + avErrorText(opened);
        return false;
    }
    AVDictionary* options = nullptr;
    // The index goes to the front, so that a player can start before the whole file is there.
    av_dict_set(&options, "movflags", "+faststart", 0);
    const int written = avformat_write_header(output, &options);
    av_dict_free(&options);
    if (written < 0) {
        error = "cannot write " + settings.path + ": " + avErrorText(written);
        return false;
    }
    headerWritten = true;
    return true;
}

std::int64_t MediaFileSink::soundSamplesForPictures() const {
    return av_rescale(pictures, SoundEncoder::sampleRate, framesPerSecond);
}

bool MediaFileSink::write(const AVFrame& picture, std::string& error) {
    {
        EncodingState::Measure measure(state, Stage::encodeVideo);
        AVFrame* numbered = av_frame_clone(&picture);
        if (numbered == nullptr) {
            error = "cannot encode the video: " + avErrorText(AVERROR(ENOMEM));
            return false;
        }
        numbered->pts = pictures;
        const int sent = avcodec_send_frame(videoEncoder, numbered);
        av_frame_free(&numbered);
        if (sent < 0) {
            error = "cannot encode the video: " + avErrorText(sent);
            return false;
        }
    }
    ++pictures;
    if (!drainVideo(error)) {
        return false;
    }
    return sound == nullptr || encodeSound(false, error);
}

bool MediaFileSink::encodeSound(bool last, std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    const double muxedBefore = state.time(Stage::mux);
    const SoundEncoder::PacketSink deliver = [this](AVPacket& made, std::string& reason) {
        return writePacket(made, sound->context(), *soundStream, reason);
    };
    const std::int64_t end = soundSamplesForPictures();
    const bool encoded = last ? sound->finish(end, deliver, error) : sound->encodeUntil(end, deliver, error);
    // Writing the packets is counted as muxing, not as encoding the sound.
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.addTime(Stage::encodeAudio, spent.count() - (state.time(Stage::mux) - muxedBefore));
    return encoded;
}

bool MediaFileSink::drainVideo(std::string& error) {
    int received = 0;
    while (true) {
        {
            EncodingState::Measure measure(state, Stage::encodeVideo);
            received = avcodec_receive_packet(videoEncoder, packet);
        }
        if (received != 0) {
            break;
        }
        if (!writePacket(*packet, *videoEncoder, *videoStream, error)) {
            return false;
        }
    }
    if (received != AVERROR(EAGAIN) && received != AVERROR_EOF) {
        error = "cannot encode the video: " + avErrorText(received);
        return false;
    }
    return true;
}

bool MediaFileSink::writePacket(AVPacket& made, const AVCodecContext& codec, AVStream& stream,
                                std::string& error) {
    EncodingState::Measure measure(state, Stage::mux);
    av_packet_rescale_ts(&made, codec.time_base, stream.time_base);
    made.stream_index = stream.index;
    const int written = av_interleaved_write_frame(output, &made);
    if (written < 0) {
        error = "cannot write " + shownPath + ": " + avErrorText(written);
        return false;
    }
    return true;
}

bool MediaFileSink::finish(std::string& error) {
    {
        EncodingState::Measure measure(state, Stage::encodeVideo);
        avcodec_send_frame(videoEncoder, nullptr);
    }
    if (!drainVideo(error)) {
        return false;
    }
    if (sound != nullptr && !encodeSound(true, error)) {
        return false;
    }
    EncodingState::Measure measure(state, Stage::mux);
    const int trailer = av_write_trailer(output);
    const int closed = avio_closep(&output->pb);
    if (trailer < 0 || closed < 0) {
        error = "cannot write " + shownPath + ": " + avErrorText(trailer < 0 ? trailer : closed);
        return false;
    }
    return true;
}

} // namespace velmorra
