// Flags and counters of the processor link, shared by the poll loop, the senders and the transfers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct LinkState {
    uint8_t Connected = 0;      // the processor answered with the expected name
    uint8_t Downloading = 0;    // the 55 parameter pages are being requested
    uint8_t AwaitingReply = 0;  // a page or name request waits for its reply
    uint8_t NamesPending = 0;   // the nine scene names are still to be requested
    uint8_t SuppressSend = 0;   // set only while the whole view is refreshed from the store
    uint8_t LinkLost = 0;       // a write failed; the status text still shows connected
    uint8_t ParamPage = 0;      // next parameter page 0..54
    uint8_t NamePage = 0;       // next scene number 1..9
    uint16_t HeartbeatCountdown = 0;
    uint16_t ResyncCountdown = 0;
    uint8_t LinkStatus = 0;  // 0 not identified, 1 downloading, 2 download complete
    uint8_t BtnRepeatDelay = 0;
    std::string ExpectedDeviceName = "NV_PRC52";
    // The one transfer slot (TransferGuard): held by a long transfer, and who is told when it changes hands.
    bool TransferTaken = false;
    std::function<void(bool)> TransferObserver;
};
