#include "video/AvError.h"

extern "C" {
#include <libavutil/error.h>
}

namespace velmorra {

std::string avErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace velmorra
