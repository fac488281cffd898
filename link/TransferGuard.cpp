// The transfer slot of the link state.
#include "TransferGuard.h"

#include "LinkState.h"

TransferGuard::TransferGuard()
{
    if (Link.TransferTaken) return;
    Link.TransferTaken = true;
    acquired_ = true;
    heldResync_ = Link.ResyncCountdown;
    Link.ResyncCountdown = 0;
    if (Link.TransferObserver) Link.TransferObserver(true);
}

TransferGuard::~TransferGuard()
{
    if (!acquired_) return;
    Link.TransferTaken = false;
    if (Link.ResyncCountdown == 0) Link.ResyncCountdown = heldResync_;
    if (Link.TransferObserver) Link.TransferObserver(false);
}

bool TransferGuard::busy()
{
    return Link.TransferTaken;
}

void TransferGuard::setObserver(std::function<void(bool)> o)
{
    Link.TransferObserver = std::move(o);
}

void TransferGuard::reset()
{
    Link.TransferTaken = false;
    Link.TransferObserver = nullptr;
}
