// The device seam over the simulated processor: what the program opens instead of the USB device.
#pragma once

#include "DeviceIo.h"

class SimProcessor;

// open succeeds only while the processor is plugged in and for its vendor/product ids; opening
// discards replies queued before (as a freshly opened handle sees no earlier input reports).
// A handle opened before an unplug stays "open" (isOpen) but every write and read on it fails (-1)
// until it is closed and opened again after the processor is plugged back in.
// read returns the next queued reply (at most `length` bytes of the 32-byte report); with none it
// returns 0 at once, or, with setRealTimeouts(true), after sleeping the timeout (a negative timeout
// counts as 100 ms, so nothing ever waits for ever).
// Plugging and unplugging through setPlugged raises the hot-plug notification (when switched on with
// setPresenceEvents, as on a system with a monitor): Arrived on plugging in, Removed on unplugging
// while a handle is open. setOpenRefused makes opens fail while the processor stays listed.
class SimDevice : public DeviceIo
{
public:
    static constexpr int UNBOUNDED_READ_MS = 100;

    explicit SimDevice(SimProcessor &processor) : proc_(processor) {}
    ~SimDevice() override { close(); }
    SimDevice(const SimDevice &) = delete;
    SimDevice &operator=(const SimDevice &) = delete;

    bool open(uint16_t vendorId, uint16_t productId) override;
    int write(const uint8_t *report, size_t length) override;
    int read(uint8_t *buf, size_t length, int timeoutMs) override;
    void close() override;
    bool isOpen() const override { return open_; }

    bool watchPresence(std::function<void(PresenceEvent)> onChange) override;
    DeviceListing listing() const override { return listing_; }

    // Offers the hot-plug notification (off: watchPresence refuses, as where there is no monitor).
    void setPresenceEvents(bool on) { presenceEvents_ = on; }
    // Plugs the processor in or out and raises the notification.
    void setPlugged(bool plugged);
    // Opens fail although the processor is plugged in (as without permission to open it).
    void setOpenRefused(bool refused) { openRefused_ = refused; }

    void setRealTimeouts(bool on) { realTimeouts_ = on; }
    bool realTimeouts() const { return realTimeouts_; }

    SimProcessor &processor() { return proc_; }
    int openHandles() const { return open_ ? 1 : 0; }
    int openCount() const { return opens_; }         // successful opens
    int closeCount() const { return closes_; }       // closes of an open handle
    int failedOpenCount() const { return failedOpens_; }
    int writeCount() const { return writes_; }       // reports handed to the processor
    int failedWriteCount() const { return failedWrites_; }
    int readCount() const { return reads_; }         // reads that returned a report
    int timedOutReadCount() const { return timeouts_; }

private:
    bool usable() const;

    SimProcessor &proc_;
    bool open_ = false;
    unsigned generation_ = 0;
    bool realTimeouts_ = false;
    bool presenceEvents_ = false;
    bool openRefused_ = false;
    std::function<void(PresenceEvent)> onPresence_;
    DeviceListing listing_ = DeviceListing::NoneFound;
    int opens_ = 0;
    int closes_ = 0;
    int failedOpens_ = 0;
    int writes_ = 0;
    int failedWrites_ = 0;
    int reads_ = 0;
    int timeouts_ = 0;
};
