// Opens, writes, reads and closes the simulated processor through the device seam.
#include "SimDevice.h"

#include "SimProcessor.h"

#include <chrono>
#include <cstring>
#include <thread>

bool SimDevice::open(uint16_t vendorId, uint16_t productId)
{
    close();
    const bool ours = vendorId == PROCESSOR_VID && productId == PROCESSOR_PID;
    listing_ = ours && proc_.plugged() ? DeviceListing::Unopenable : DeviceListing::NoneFound;
    if (!ours || !proc_.plugged() || openRefused_) {
        ++failedOpens_;
        return false;
    }
    listing_ = DeviceListing::Opened;
    open_ = true;
    generation_ = proc_.plugGeneration();
    proc_.clearReplies();
    ++opens_;
    return true;
}

bool SimDevice::usable() const
{
    return open_ && proc_.plugged() && generation_ == proc_.plugGeneration();
}

int SimDevice::write(const uint8_t *report, size_t length)
{
    if (!usable() || !report || length != size_t(REPORT_SIZE)) {
        ++failedWrites_;
        return -1;
    }
    proc_.receive(report);
    ++writes_;
    return REPORT_SIZE;
}

int SimDevice::read(uint8_t *buf, size_t length, int timeoutMs)
{
    if (!usable() || !buf) return -1;
    if (length == 0) return 0;
    uint8_t report[REPORT_SIZE];
    if (proc_.takeReply(report)) {
        const size_t n = length < sizeof report ? length : sizeof report;
        std::memcpy(buf, report, n);
        ++reads_;
        return int(n);
    }
    ++timeouts_;
    if (realTimeouts_) {
        const int ms = timeoutMs < 0 ? UNBOUNDED_READ_MS : timeoutMs;
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    return 0;
}

void SimDevice::close()
{
    if (!open_) return;
    open_ = false;
    ++closes_;
}

bool SimDevice::watchPresence(std::function<void(PresenceEvent)> onChange)
{
    onPresence_ = presenceEvents_ ? std::move(onChange) : nullptr;
    return onPresence_ != nullptr;
}

void SimDevice::setPlugged(bool plugged)
{
    const bool wasOpen = usable();
    proc_.setPlugged(plugged);
    if (!onPresence_) return;
    if (plugged)
        onPresence_(PresenceEvent::Arrived);
    else if (wasOpen)
        onPresence_(PresenceEvent::Removed);
}
