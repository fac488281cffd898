// The system's hot-plug notification for hidraw devices (libudev), watched from the event loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class HotplugMonitor
{
public:
    // added: the node appeared or changed (and carries these ids); false: the node went away (any ids,
    // as a removed node can no longer be asked for them). devNode is e.g. "/dev/hidraw3".
    using Handler = std::function<void(bool added, const std::string &devNode)>;

    HotplugMonitor(uint16_t vendorId, uint16_t productId, Handler handler);
    ~HotplugMonitor();
    HotplugMonitor(const HotplugMonitor &) = delete;
    HotplugMonitor &operator=(const HotplugMonitor &) = delete;

    // False when the monitor could not be set up (no udev here, no netlink socket).
    bool running() const { return notifier_ != nullptr; }

private:
    void drain();
    bool hasOurIds(struct udev_device *dev) const;

    uint16_t vendorId_;
    uint16_t productId_;
    Handler handler_;
    udev *udev_ = nullptr;
    udev_monitor *monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};
