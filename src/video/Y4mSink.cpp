#include "video/Y4mSink.h"

#include <cerrno>
#include <cstring>

extern "C" {
#include <libavutil/frame.h>
}

namespace velmorra {

Y4mSink::~Y4mSink() {
    if (ownsFile && file != nullptr) {
        std::fclose(file);
    }
}

std::string Y4mSink::header(int width, int height, int framesPerSecond) {
    return "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F" +
           std::to_string(framesPerSecond) + ":1 Ip A1:1 C420mpeg2\n";
}

bool Y4mSink::open(const std::string& path, const std::string& nameInErrors, int width,
                   int height, int framesPerSecond, std::string& error) {
    shownPath = nameInErrors;
    if (path == "-") {
        file = stdout;
    } else {
        file = std::fopen(path.c_str(), "wb");
        ownsFile = file != nullptr;
    }
    if (file == nullptr) {
        error = writeError();
        return false;
    }
    const std::string text = header(width, height, framesPerSecond);
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
        error = writeError();
        return false;
    }
    return true;
}

bool Y4mSink::write(const AVFrame& picture, std::string& error) {
    static const char marker[] = "FRAME\n";
    const int chromaWidth = picture.width / 2;
    const int chromaHeight = picture.height / 2;
    const bool written =
        std::fwrite(marker, 1, sizeof marker - 1, file) == sizeof marker - 1 &&
        writePlane(picture.data[0], picture.linesize[0], picture.width, picture.height) &&
        writePlane(picture.data[1], picture.linesize[1], chromaWidth, chromaHeight) &&
        writePlane(picture.data[2], picture.linesize[2], chromaWidth, chromaHeight);
    if (!written) {
        error = writeError();
    }
    return written;
}

bool Y4mSink::writePlane(const unsigned char* rows, int stride, int planeWidth, int planeHeight) {
    const auto rowBytes = static_cast<std::size_t>(planeWidth);
    for (int y = 0; y < planeHeight; ++y) {
        if (std::fwrite(rows + static_cast<std::ptrdiff_t>(y) * stride, 1, rowBytes, file) != rowBytes) {
            return false;
        }
    }
    return true;
}

bool Y4mSink::finish(std::string& error) {
    const bool flushed = std::fflush(file) == 0;
    const bool closed = !ownsFile || std::fclose(file) == 0;
    file = ownsFile ? nullptr : file;
    ownsFile = false;
    if (!flushed || !closed) {
        error = writeError();
        return false;
    }
    return true;
}

std::string Y4mSink::writeError() const {
    return "cannot write " + shownPath + ": " + std::strerror(errno);
}

} // namespace velmorra
