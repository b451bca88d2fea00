#pragma once

#include <string>

namespace velmorra {

// The text FFmpeg gives for one of its negative result codes ("Permission denied").
std::string avErrorText(int code);

} // namespace velmorra
