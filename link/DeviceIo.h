// The seam between the program and a processor: open, write one report, read one report, close.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint16_t PROCESSOR_VID = 0x1A86;
constexpr uint16_t PROCESSOR_PID = 0xE010;
constexpr int REPORT_SIZE = 32;

class DeviceIo
{
public:
    virtual ~DeviceIo() = default;
    // Opens the first device with these ids; false when none is attached.
    virtual bool open(uint16_t vendorId, uint16_t productId) = 0;
    // Writes one 32-byte output report; byte 0 is the report id (0x00).
    // Returns the bytes written, or a negative value when the write failed.
    virtual int write(const uint8_t *report, size_t length) = 0;
    // Reads one input report (report id removed) into buf. Waits at most timeoutMs
    // (a negative timeout waits without bound). Returns the byte count, 0 on time-out,
    // a negative value on failure.
    virtual int read(uint8_t *buf, size_t length, int timeoutMs) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};
