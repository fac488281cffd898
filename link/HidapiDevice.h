// The device seam over hidapi: the real processor on the USB bus, with udev hot-plug notification.
#pragma once

#include "DeviceIo.h"

#include <memory>
#include <string>

class HotplugMonitor;
struct hid_device_;

class HidapiDevice : public DeviceIo
{
public:
    HidapiDevice();
    ~HidapiDevice() override;
    HidapiDevice(const HidapiDevice &) = delete;
    HidapiDevice &operator=(const HidapiDevice &) = delete;

    bool open(uint16_t vendorId, uint16_t productId) override;
    int write(const uint8_t *report, size_t length) override;
    int read(uint8_t *buf, size_t length, int timeoutMs) override;
    void close() override;
    bool isOpen() const override { return handle_ != nullptr; }
    bool watchPresence(std::function<void(PresenceEvent)> onChange) override;
    DeviceListing listing() const override { return listing_; }

private:
    hid_device_ *handle_ = nullptr;
    std::string path_;  // the node of the open device
    DeviceListing listing_ = DeviceListing::NoneFound;
    std::unique_ptr<HotplugMonitor> monitor_;
};
