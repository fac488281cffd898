// The device seam over hidapi: the real processor on the USB bus.
#pragma once

#include "DeviceIo.h"

struct hid_device_;

class HidapiDevice : public DeviceIo
{
public:
    HidapiDevice();
    ~HidapiDevice() override;
    bool open(uint16_t vendorId, uint16_t productId) override;
    int write(const uint8_t *report, size_t length) override;
    int read(uint8_t *buf, size_t length, int timeoutMs) override;
    void close() override;
    bool isOpen() const override { return handle_ != nullptr; }

private:
    hid_device_ *handle_ = nullptr;
};
