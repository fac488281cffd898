// hidapi implementation of the device seam; the only place that includes hidapi.h.
#include "HidapiDevice.h"

#include <hidapi.h>

HidapiDevice::HidapiDevice()
{
    hid_init();
}

HidapiDevice::~HidapiDevice()
{
    close();
    hid_exit();
}

bool HidapiDevice::open(uint16_t vendorId, uint16_t productId)
{
    close();
    handle_ = hid_open(vendorId, productId, nullptr);
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
    }
}
