// Sending a firmware image in acknowledged 16-byte blocks; the last block carries the number 0xFFFF.
#pragma once

#include "FirmwareImage.h"
#include "TransferLink.h"

#include <functional>

class FirmwareTransfer
{
public:
    // Transfers over the session's link.
    explicit FirmwareTransfer(ProcessorSession &session) : p_(session), link_(session) {}

    // The progress bar's value, 0..100: the percentage of the image's blocks acknowledged (the final
    // block when sent), told at the start and whenever it changes.
    using Progress = std::function<void(int)>;

    // Blocks 0 .. n-2 are sent with their numbers (high byte first), each acknowledged before the
    // next; the last block is sent once as 0xFFFF. Afterwards the link is treated as down so that
    // the poll loop finds the restarted processor again. An image of more than 32768 blocks is not
    // sent at all (NoAnswer is never its result: such images are refused by FirmwareImage first).
    TransferResult send(const FirmwareImage &image, const Progress &progress);

private:
    ProcessorSession &p_;
    TransferLink link_;
};
