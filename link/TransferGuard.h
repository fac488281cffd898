// Only one long transfer at a time: the guard is taken for the whole operation and released at its end.
#pragma once

#include <cstdint>
#include <functional>

class TransferGuard
{
public:
    // Takes the transfer slot when it is free. While held, a pending re-read of the processor
    // (ResyncCountdown) is held back; it resumes afterwards unless the operation set its own.
    TransferGuard();
    ~TransferGuard();
    TransferGuard(const TransferGuard &) = delete;
    TransferGuard &operator=(const TransferGuard &) = delete;

    bool acquired() const { return acquired_; }
    static bool busy();
    // Told when the slot is taken (true) and released (false): the window disables its entries.
    static void setObserver(std::function<void(bool)> observer);
    // Frees the slot and forgets the observer (tests).
    static void reset();

private:
    bool acquired_ = false;
    uint16_t heldResync_ = 0;
};
