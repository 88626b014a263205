#pragma once
// What the fuzz targets share: the entry point libFuzzer calls, and a check
// that stops the run (so that libFuzzer keeps the input) when a promise a
// function makes does not hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#define FUZZ_REQUIRE(condition)                                                                  \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "broken promise: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

namespace fuzz {

// Takes bytes off the front of the input, and zeros once it runs dry.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }
    std::uint64_t Word() {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) value = value << 8 | Byte();
        return value;
    }
    const std::uint8_t* Rest() const { return data_; }
    std::size_t RestSize() const { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace fuzz
