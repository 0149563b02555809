// Helpers shared by the fuzz targets: a failed check stops the run where the fuzzer (or the
// replay runner of the unit-test build) sees it, and inputs are taken apart byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline void Require(bool ok) {
    if (!ok) __builtin_trap();
}

// Takes fixed-size values off the front of an input; past its end every value reads zero.
struct FuzzInput {
    const uint8_t* data;
    size_t size;

    template <typename T> T Take() {
        T value{};
        const size_t n = size < sizeof value ? size : sizeof value;
        if (n > 0) std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
    // Fills `bytes` bytes of `out` from the input (the rest stays as it was).
    void TakeBytes(void* out, size_t bytes) {
        const size_t n = size < bytes ? size : bytes;
        if (n > 0) std::memcpy(out, data, n);
        data += n;
        size -= n;
    }
};
