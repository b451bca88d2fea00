#include "video/SoundEncoder.h"

#include "video/AvError.h"

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

namespace velmorra {
namespace {

constexpr std::int64_t bitRate = 192000;

} // namespace

SoundEncoder::~SoundEncoder() {
    av_packet_free(&packet);
    av_frame_free(&samples);
    avcodec_free_context(&encoder);
}

bool SoundEncoder::open(const std::string& musicPath, double startSeconds, bool globalHeader,
                        std::string& error) {
    if (!music.open(musicPath, sampleRate, error) ||
        !music.skip(std::llround(startSeconds * sampleRate), error)) {
        return false;
    }
    const AVCodec* codec = avcodec_find_encoder_by_name("aac");
    if (codec == nullptr) {
        error = "no AAC encoder available";
        return false;
    }
    encoder = avcodec_alloc_context3(codec);
    samples = av_frame_alloc();
    packet = av_packet_alloc();
    if (encoder == nullptr || samples == nullptr || packet == nullptr) {
        error = "cannot set up the AAC encoder: " + avErrorText(AVERROR(ENOMEM));
        return false;
    }
    encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    encoder->sample_rate = sampleRate;
    encoder->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    encoder->bit_rate = bitRate;
    encoder->time_base = {1, sampleRate};
    encoder->flags |= AV_CODEC_FLAG_BITEXACT | (globalHeader ? AV_CODEC_FLAG_GLOBAL_HEADER : 0);
    // The default coder's search costs several times more and is not audible at this rate.
    av_opt_set(encoder->priv_data, "aac_coder", "fast", 0);
    const int opened = avcodec_open2(encoder, codec, nullptr);
    if (opened < 0) {
        error = "cannot set up the AAC encoder: " + avErrorText(opened);
        return false;
    }
    return true;
}

bool SoundEncoder::encodeUntil(std::int64_t endSample, const PacketSink& deliver, std::string& error) {
    while (endSample - encoded >= encoder->frame_size) {
        if (!encodeFrame(encoder->frame_size, deliver, error)) {
            return false;
        }
    }
    return true;
}

bool SoundEncoder::finish(std::int64_t endSample, const PacketSink& deliver, std::string& error) {
    if (!encodeUntil(endSample, deliver, error)) {
        return false;
    }
    const auto rest = static_cast<int>(endSample - encoded);
    if (rest > 0 && !encodeFrame(rest, deliver, error)) {
        return false;
    }
    const int flushed = avcodec_send_frame(encoder, nullptr);
    if (flushed < 0) {
        error = "cannot encode the sound: " + avErrorText(flushed);
        return false;
    }
    return drain(deliver, error);
}

bool SoundEncoder::encodeFrame(int count, const PacketSink& deliver, std::string& error) {
    av_frame_unref(samples);
    samples->format = encoder->sample_fmt;
    samples->sample_rate = sampleRate;
    samples->nb_samples = count;
    av_channel_layout_copy(&samples->ch_layout, &encoder->ch_layout);
    int result = av_frame_get_buffer(samples, 0);
    if (result < 0) {
        error = "cannot encode the sound: " + avErrorText(result);
        return false;
    }
    if (!music.read(reinterpret_cast<float*>(samples->data[0]),
                    reinterpret_cast<float*>(samples->data[1]), count, error)) {
        return false;
    }
    samples->pts = encoded;
    encoded += count;
    result = avcodec_send_frame(encoder, samples);
    if (result < 0) {
        error = "cannot encode the sound: " + avErrorText(result);
        return false;
    }
    return drain(deliver, error);
}

bool SoundEncoder::drain(const PacketSink& deliver, std::string& error) {
    int result = 0;
    while ((result = avcodec_receive_packet(encoder, packet)) == 0) {
        if (!deliver(*packet, error)) {
            return false;
        }
    }
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF) {
        error = "cannot encode the sound: " + avErrorText(result);
        return false;
    }
    return true;
}

} // namespace velmorra
