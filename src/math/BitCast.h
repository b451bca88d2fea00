#pragma once

#include <cstring>
#include <type_traits>

namespace velmorra {

// The bits of one trivially copyable value read as another type of the same size. std::bit_cast
// does this, but the browser build's standard library does not have it yet.
template <typename To, typename From>
To bitCast(const From& from) {
    static_assert(sizeof(To) == sizeof(From));
    static_assert(std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>);
    To to;
    std::memcpy(&to, &from, sizeof(To));
    return to;
}

} // namespace velmorra
