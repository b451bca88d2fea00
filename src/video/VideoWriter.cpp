#include "video/VideoWriter.h"

#include "video/EncodingState.h"
#include "video/FrameQueue.h"
#include "video/MediaFileSink.h"
#include "video/RgbaConverter.h"
#include "video/Y4mSink.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

namespace velmorra {
namespace {

// Enough to ride out an encoder hiccup without holding many full-size frames in memory.
constexpr std::size_t queuedFrames = 3;
constexpr int minimumWidth = 64;
constexpr int maximumSide = 7680;
constexpr int minimumHeight = 16;

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool isYuvStream(const std::string& path) {
    return path == "-" || lowerExtension(path) == ".y4m";
}

bool checkSize(const VideoSettings& settings, std::string& error) {
    const bool widthFits = settings.width >= minimumWidth && settings.width <= maximumSide;
    const bool heightFits = settings.height >= minimumHeight && settings.height <= maximumSide;
    const bool even = settings.width % 2 == 0 && settings.height % 2 == 0;
    if (!widthFits || !heightFits || !even) {
        error = "unsupported video size " + std::to_string(settings.width) + "x" +
                std::to_string(settings.height) + " (even numbers, " +
                std::to_string(minimumWidth) + ".." + std::to_string(maximumSide) + " wide)";
        return false;
    }
    if (settings.framesPerSecond <= 0) {
        error = "unsupported frame rate " + std::to_string(settings.framesPerSecond);
        return false;
    }
    return true;
}

std::unique_ptr<FrameSink> openSink(const VideoSettings& settings, const std::string& writtenPath,
                                    EncodingState& state, std::string& error) {
    if (isYuvStream(settings.path)) {
        auto sink = std::make_unique<Y4mSink>();
        const std::string shownPath = settings.path == "-" ? "standard output" : settings.path;
        if (!sink->open(writtenPath, shownPath, settings.width, settings.height,
                        settings.framesPerSecond, error)) {
            return nullptr;
        }
        return sink;
    }
    auto sink = std::make_unique<MediaFileSink>(state);
    const char* container = lowerExtension(settings.path) == ".mp4" ? "mp4" : "matroska";
    if (!sink->open(settings, container, writtenPath, error)) {
        return nullptr;
    }
    return sink;
}

} // namespace

VideoWriter::VideoWriter() = default;

VideoWriter::~VideoWriter() {
    if (isOpen) {
        abandon();
    }
}

bool VideoWriter::isSupportedPath(const std::string& path) {
    const std::string extension = lowerExtension(path);
    return path == "-" || extension == ".y4m" || extension == ".mp4" || extension == ".mkv";
}

std::string VideoWriter::temporaryPathFor(const std::string& path) {
    return path == "-" ? std::string() : path + ".part";
}

bool VideoWriter::open(const VideoSettings& wanted, std::string& error) {
    if (isOpen) {
        error = "a video is already being written to " + settings.path;
        return false;
    }
    if (!isSupportedPath(wanted.path)) {
        error = "unsupported video file type: " + wanted.path + " (use .mp4, .mkv, .y4m or -)";
        return false;
    }
    if (!checkSize(wanted, error)) {
        return false;
    }
    // FFmpeg's progress chatter would break up the capture's own progress line.
    av_log_set_level(AV_LOG_WARNING);
    settings = wanted;
    temporaryPath = temporaryPathFor(settings.path);
    state = std::make_unique<EncodingState>();
    converter = std::make_unique<RgbaConverter>();
    if (!converter->open(settings.width, settings.height, error)) {
        return false;
    }
    sink = openSink(settings, settings.path == "-" ? settings.path : temporaryPath, *state, error);
    if (sink == nullptr) {
        std::error_code ignored;
        if (!temporaryPath.empty()) {
            std::filesystem::remove(temporaryPath, ignored);
        }
        return false;
    }
    queue = std::make_unique<FrameQueue>(queuedFrames);
    encoder = std::thread([this] { encodeFrames(); });
    isOpen = true;
    return true;
}

bool VideoWriter::writeFrame(std::vector<std::uint8_t>&& rgbaBottomUp) {
    if (!isOpen || state->failed()) {
        return false;
    }
    const std::size_t expected = static_cast<std::size_t>(settings.width) *
                                 static_cast<std::size_t>(settings.height) * 4;
    if (rgbaBottomUp.size() != expected) {
        state->fail("a frame of " + std::to_string(rgbaBottomUp.size()) + " bytes, expected " +
                    std::to_string(expected));
        return false;
    }
    return queue->push(std::move(rgbaBottomUp));
}

void VideoWriter::encodeFrames() {
    while (std::optional<FrameQueue::Frame> frame = queue->pop()) {
        if (state->failed()) {
            continue;  // drain, so that the caller never blocks on a full queue
        }
        std::string reason;
        const AVFrame* picture = nullptr;
        {
            EncodingState::Measure measure(*state, EncodingState::Stage::convert);
            picture = converter->convert(frame->data(), reason);
        }
        if (picture == nullptr || !sink->write(*picture, reason)) {
            state->fail(reason);
            continue;
        }
        state->countFrame();
    }
}

void VideoWriter::stopEncoding() {
    queue->close();
    if (encoder.joinable()) {
        encoder.join();
    }
}

bool VideoWriter::finish(std::string& error) {
    if (!isOpen) {
        error = "no video is being written";
        return false;
    }
    stopEncoding();
    std::string reason;
    if (state->failed() || !sink->finish(reason)) {
        error = state->failed() ? state->failure() : reason;
        abandon();
        return false;
    }
    isOpen = false;
    sink.reset();
    if (!temporaryPath.empty()) {
        std::error_code renameError;
        std::filesystem::rename(temporaryPath, settings.path, renameError);
        if (renameError) {
            error = "cannot rename " + temporaryPath + " to " + settings.path + ": " +
                    renameError.message();
            std::filesystem::remove(temporaryPath, renameError);
            return false;
        }
    }
    return true;
}

void VideoWriter::abandon() {
    stopEncoding();
    sink.reset();
    isOpen = false;
    if (!temporaryPath.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporaryPath, ignored);
    }
}

VideoWriter::Timings VideoWriter::timings() const {
    if (state == nullptr) {
        return {};
    }
    using Stage = EncodingState::Stage;
    return {state->time(Stage::convert), state->time(Stage::encodeVideo),
            state->time(Stage::encodeAudio), state->time(Stage::mux)};
}

long VideoWriter::framesWritten() const {
    return state == nullptr ? 0 : state->frames();
}

} // namespace velmorra
