// The firmware block loop.
#include "FirmwareTransfer.h"

#include "Commands.h"
#include "ProcessorSession.h"
#include "WaitMs.h"

namespace {
constexpr uint8_t FIRMWARE_BLOCK = 0xB0;
}  // namespace

TransferResult FirmwareTransfer::send(const FirmwareImage &image, const Progress &progress)
{
    const int blocks = image.blockCount();
    if (blocks < 1 || blocks > FirmwareImage::MAX_BLOCKS) return TransferResult::NoAnswer;
    int shown = 0;
    progress(shown);
    link_.drain();
    uint8_t data[FirmwareImage::BLOCK_SIZE];
    for (int number = 0; number < blocks - 1;) {
        image.block(number, data);
        const uint8_t index[2] = {uint8_t(number >> 8), uint8_t(number & 0xFF)};
        TransferLink::AckStep step;
        step.send = [&] { CMD_FIRMWARE_BLOCK(p_, uint16_t(number), data); };
        step.accept = [&](const uint8_t *payload, int n) { return TransferLink::isAck(payload, n, FIRMWARE_BLOCK, index, 2); };
        step.hold = 2000;
        step.gapMs = 1;
        const TransferResult r = link_.acknowledged(step);
        if (r != TransferResult::Ok) return r;
        ++number;
        WaitMs(1);
        const int v = TransferLink::percent(number, blocks);
        if (v != shown) progress(shown = v);
        if ((number & 0xFF) == 0) WaitMs(5);
    }
    image.block(blocks - 1, data);
    const TransferResult last = link_.once([&] { CMD_FIRMWARE_BLOCK(p_, FirmwareImage::FINAL_BLOCK, data); });
    if (last != TransferResult::Ok) return last;
    progress(100);
    // The processor restarts with the new firmware: identify it again once it answers.
    p_.Link.Connected = 0;
    p_.Link.LinkStatus = 0;
    p_.Link.HeartbeatCountdown = 20000;
    p_.Port.Rx.clear();
    return TransferResult::Ok;
}
