// What the fuzz targets check besides the sanitizers. A property that does not hold stops
// the run the way a crash does, so libFuzzer keeps the input that broke it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace relperm::fuzz {

inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property does not hold: %s\n", what);
        std::abort();
    }
}

inline void require(bool holds, const char* what, const std::string& detail) {
    if (!holds) {
        std::fprintf(stderr, "property does not hold: %s\n%s\n", what, detail.c_str());
        std::abort();
    }
}

inline std::string_view textOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace relperm::fuzz
