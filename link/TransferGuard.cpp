// The transfer slot of the link state.
#include "TransferGuard.h"

#include "LinkState.h"

TransferGuard::TransferGuard(LinkState &link) : link_(link)
{
    if (link_.TransferTaken) return;
    link_.TransferTaken = true;
    acquired_ = true;
    heldResync_ = link_.ResyncCountdown;
    link_.ResyncCountdown = 0;
    if (link_.TransferObserver) link_.TransferObserver(true);
}

TransferGuard::~TransferGuard()
{
    if (!acquired_) return;
    link_.TransferTaken = false;
    if (link_.ResyncCountdown == 0) link_.ResyncCountdown = heldResync_;
    if (link_.TransferObserver) link_.TransferObserver(false);
}

bool TransferGuard::busy(const LinkState &link)
{
    return link.TransferTaken;
}

void TransferGuard::setObserver(LinkState &link, std::function<void(bool)> o)
{
    link.TransferObserver = std::move(o);
}

void TransferGuard::reset(LinkState &link)
{
    link.TransferTaken = false;
    link.TransferObserver = nullptr;
}
