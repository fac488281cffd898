// Outgoing frames and incoming reports over the device seam, with the gates of the send path.
#pragma once

#include "DeviceIo.h"
#include "Framing.h"

#include <functional>

struct LinkState;

class Transport
{
public:
    // The send path's gates and the heartbeat countdown live in the session's link state.
    explicit Transport(LinkState &link) : link_(link) {}
    Transport(const Transport &) = delete;
    Transport &operator=(const Transport &) = delete;

    // The device this program talks to (not owned); null means no device at all.
    void setDevice(DeviceIo *device) { device_ = device; }
    DeviceIo *device() const { return device_; }
    bool isOpen() const { return device_ && device_->isOpen(); }
    bool open();
    void close();
    // What the last open attempt found: none listed, listed but not openable, opened.
    DeviceListing listing() const { return device_ ? device_->listing() : DeviceListing::NoneFound; }

    // The send path of every control and transfer: reloads the heartbeat countdown,
    // honours SuppressSend and the download gate, frames and writes.
    void SendFrame(const uint8_t *payload, int n);
    // Frames and writes without the countdown reload and without the gates (the heartbeat).
    void SendFrameDirect(const uint8_t *payload, int n);
    // Reads one report into the scanner's buffer at RxCount (timeout in ms; the read is
    // bounded); returns what the device returned.
    int readIntoRx(int timeoutMs);
    // Reads one report into buf without touching the scanner.
    int readRaw(uint8_t *buf, int length, int timeoutMs);

    uint8_t SeqNo = 0;
    uint8_t ReportFrame[32] = {};
    ReplyScanner Rx;

    // Called after a write failed and the link was marked lost (shows the lost-link box).
    std::function<void()> onWriteFailed;
    // Counts the frames actually written (for tests and figures).
    unsigned long framesWritten = 0;
    // Counts the reloads of the heartbeat countdown by SendFrame: a sleeping link notices from it that
    // the heartbeat moved, even when the countdown was reloaded to the value it already had.
    unsigned long heartbeatReloads = 0;

private:
    LinkState &link_;
    DeviceIo *device_ = nullptr;
};

// The bound on every read that would otherwise wait for ever.
constexpr int READ_BOUND_MS = 100;
