// A device that answers every read with the next 32 bytes of the fuzzer's input.
#pragma once

#include "DeviceIo.h"

#include <cstring>

class FuzzDevice : public DeviceIo
{
public:
    void load(const uint8_t *data, size_t size)
    {
        data_ = data;
        size_ = size;
        pos_ = 0;
    }
    bool exhausted() const { return pos_ >= size_; }

    bool open(uint16_t, uint16_t) override { return open_ = true; }
    int write(const uint8_t *, size_t length) override { return open_ ? int(length) : -1; }
    int read(uint8_t *buf, size_t length, int) override
    {
        if (!open_ || exhausted()) return 0;
        // The first byte of each chunk chooses its length, so short and empty reports occur too.
        const size_t want = data_[pos_++] % 33;
        size_t n = want < length ? want : length;
        if (n > size_ - pos_) n = size_ - pos_;
        std::memcpy(buf, data_ + pos_, n);
        pos_ += n;
        return int(n);
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }

private:
    const uint8_t *data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool open_ = false;
};
