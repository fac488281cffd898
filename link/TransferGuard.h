// Only one long transfer at a time: the guard is taken for the whole operation and released at its end.
#pragma once

#include <cstdint>
#include <functional>

struct LinkState;

class TransferGuard
{
public:
    // Takes the transfer slot of the link when it is free. While held, a pending re-read of the processor
    // (ResyncCountdown) is held back; it resumes afterwards unless the operation set its own.
    explicit TransferGuard(LinkState &link);
    ~TransferGuard();
    TransferGuard(const TransferGuard &) = delete;
    TransferGuard &operator=(const TransferGuard &) = delete;

    bool acquired() const { return acquired_; }
    static bool busy(const LinkState &link);
    // Told when the slot is taken (true) and released (false): the window disables its entries.
    static void setObserver(LinkState &link, std::function<void(bool)> observer);
    // Frees the slot and forgets the observer (tests).
    static void reset(LinkState &link);

private:
    LinkState &link_;
    bool acquired_ = false;
    uint16_t heldResync_ = 0;
};
