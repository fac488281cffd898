// The seam between the program and a processor: open, write one report, read one report, close, hot-plug.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

constexpr uint16_t PROCESSOR_VID = 0x1A86;
constexpr uint16_t PROCESSOR_PID = 0xE010;
constexpr int REPORT_SIZE = 32;

// A hot-plug notification from the system.
enum class PresenceEvent {
    Arrived,  // a device with our ids appeared (or changed, e.g. its permissions)
    Removed,  // the device this seam has open went away
};

// What the last open attempt found among the devices the system lists with our ids.
enum class DeviceListing {
    NoneFound,   // no device with our ids is listed
    Unopenable,  // one is listed but could not be opened (e.g. no permission)
    Opened,      // one is listed and was opened
};

class DeviceIo
{
public:
    virtual ~DeviceIo() = default;
    // Opens the first device with these ids; false when none is attached or it cannot be opened.
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

    // Hot-plug: from now on onChange is called from the event loop when a device with our ids appears
    // or the open one disappears; an empty function stops the calls. False when the system offers no
    // such notification here (the caller then has to try an open now and then).
    virtual bool watchPresence(std::function<void(PresenceEvent)> onChange)
    {
        (void)onChange;
        return false;
    }
    // The outcome of the last open attempt.
    virtual DeviceListing listing() const { return isOpen() ? DeviceListing::Opened : DeviceListing::NoneFound; }
};
