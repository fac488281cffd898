// The fuzzer's bytes read as a stream of choices, and the invariant check that stops a run when one fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Aborts with the failed condition, so that libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(cond)                                                                        \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

// Marks the checking and bookkeeping code of a target. It is not the code under test: its edges teach the
// fuzzer nothing, and every edge an input touches costs libFuzzer's bookkeeping for that input.
#define FUZZ_UNTRACED __attribute__((no_sanitize("coverage")))

// A hash of the whole input (FNV-1a), for choosing a costly check for a share of the runs: a byte of the
// input would not do, as the fuzzer keeps the inputs that reach more code and runs their mutants far more often.
inline FUZZ_UNTRACED uint32_t InputHash(const uint8_t *data, size_t size)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

// Fills `size` bytes of `out` with `n` bytes of `data` (n > 0) and their repeats, doubling what is there.
inline FUZZ_UNTRACED void FillRepeating(char *out, int size, const uint8_t *data, size_t n)
{
    const int chunk = n < size_t(size) ? int(n) : size;
    std::memcpy(out, data, size_t(chunk));
    for (int filled = chunk; filled < size; filled *= 2)
        std::memcpy(out + filled, out, size_t(filled < size - filled ? filled : size - filled));
}

class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    size_t left() const { return size_ - pos_; }
    // The next byte, 0 once the input is used up.
    uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
    uint16_t word() { return uint16_t(byte() | byte() << 8); }
    // Up to n bytes; returns how many were taken.
    size_t take(uint8_t *out, size_t n)
    {
        if (n > left()) n = left();
        for (size_t i = 0; i < n; ++i) out[i] = data_[pos_ + i];
        pos_ += n;
        return n;
    }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};
