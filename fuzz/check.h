// Shared by the fuzz targets: an invariant that fails stops the run as a finding, with its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace fuzz {

// A heap block of exactly the size asked for, so that AddressSanitizer sees any access past it.
template <typename T>
struct Exact {
    explicit Exact(size_t count) : block(static_cast<T*>(std::calloc(count ? count : 1, sizeof(T)))), count(count) {}
    Exact(const void* bytes, size_t byteCount, size_t count) : Exact(count) {
        if (bytes && byteCount) std::memcpy(block.get(), bytes, byteCount < count * sizeof(T) ? byteCount : count * sizeof(T));
    }
    T* get() const { return block.get(); }
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    std::unique_ptr<T, Free> block;
    size_t count;
};

// Up to `size` bytes of the input from `offset` on, zero beyond its end.
inline void TakeBytes(const uint8_t* data, size_t size, size_t offset, void* out, size_t outSize) {
    std::memset(out, 0, outSize);
    if (offset < size) std::memcpy(out, data + offset, size - offset < outSize ? size - offset : outSize);
}

template <size_t N>
bool Terminated(const wchar_t (&s)[N]) {
    return s[N - 1] == 0;
}

}  // namespace fuzz
