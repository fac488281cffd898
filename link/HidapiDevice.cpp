// hidapi implementation of the device seam; the only place that includes hidapi.h.
#include "HidapiDevice.h"

#include "HotplugMonitor.h"

#include <hidapi.h>

HidapiDevice::HidapiDevice()
{
    hid_init();
}

HidapiDevice::~HidapiDevice()
{
    monitor_.reset();
    close();
    hid_exit();
}

bool HidapiDevice::open(uint16_t vendorId, uint16_t productId)
{
    close();
    // One enumeration, as hid_open would do, which also tells "listed but not openable" from "none".
    hid_device_info *list = hid_enumerate(vendorId, productId);
    listing_ = list ? DeviceListing::Unopenable : DeviceListing::NoneFound;
    if (list && list->path) {
        handle_ = hid_open_path(list->path);
        if (handle_) {
            path_ = list->path;
            listing_ = DeviceListing::Opened;
        }
    }
    hid_free_enumeration(list);
    return handle_ != nullptr;
}

int HidapiDevice::write(const uint8_t *report, size_t length)
{
    if (!handle_) return -1;
    return hid_write(handle_, report, length);
}

int HidapiDevice::read(uint8_t *buf, size_t length, int timeoutMs)
{
    if (!handle_) return -1;
    return hid_read_timeout(handle_, buf, length, timeoutMs);
}

void HidapiDevice::close()
{
    if (handle_) {
        hid_close(handle_);
        handle_ = nullptr;
        path_.clear();
    }
}

bool HidapiDevice::watchPresence(std::function<void(PresenceEvent)> onChange)
{
    monitor_.reset();
    if (!onChange) return false;
    auto handler = [this, onChange](bool added, const std::string &node) {
        if (added)
            onChange(PresenceEvent::Arrived);
        else if (handle_ && node == path_)
            onChange(PresenceEvent::Removed);
    };
    monitor_ = std::make_unique<HotplugMonitor>(PROCESSOR_VID, PROCESSOR_PID, handler);
    if (monitor_->running()) return true;
    monitor_.reset();
    return false;
}
