#pragma once

#include <string>
#include <string_view>

namespace velmorra::test {

// The SHA-256 digest of `text` as 64 lower-case hex digits, for comparing built-in data with
// the digest published alongside it.
std::string sha256Hex(std::string_view text);

} // namespace velmorra::test
