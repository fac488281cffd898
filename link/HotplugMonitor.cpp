// Hot-plug events of hidraw nodes from udev, filtered by the ids of their HID parent.
#include "HotplugMonitor.h"

#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <libudev.h>

HotplugMonitor::HotplugMonitor(uint16_t vendorId, uint16_t productId, Handler handler)
    : vendorId_(vendorId), productId_(productId), handler_(std::move(handler))
{
    udev_ = udev_new();
    if (!udev_) return;
    // Events from the udev daemon come after its rules ran, so a new node already has its permissions.
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0)
        return;
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { drain(); });
}

HotplugMonitor::~HotplugMonitor()
{
    notifier_.reset();
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

bool HotplugMonitor::hasOurIds(udev_device *dev) const
{
    // The HID parent names the ids as "bus:vendor:product", e.g. "0003:00001A86:0000E010".
    udev_device *hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr);
    const char *id = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    unsigned bus = 0, vendor = 0, product = 0;
    if (!id || std::sscanf(id, "%x:%x:%x", &bus, &vendor, &product) != 3) return false;
    return vendor == vendorId_ && product == productId_;
}

void HotplugMonitor::drain()
{
    // Several events may be queued behind one activation; the socket is non-blocking. A handler may show
    // a box, whose event loop must not read the socket again meanwhile.
    notifier_->setEnabled(false);
    while (udev_device *dev = udev_monitor_receive_device(monitor_)) {
        const char *action = udev_device_get_action(dev);
        const char *node = udev_device_get_devnode(dev);
        if (action && node) {
            if (std::strcmp(action, "remove") == 0)
                handler_(false, node);
            else if ((std::strcmp(action, "add") == 0 || std::strcmp(action, "change") == 0) && hasOurIds(dev))
                handler_(true, node);
        }
        udev_device_unref(dev);
    }
    notifier_->setEnabled(true);
}
