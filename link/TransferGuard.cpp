// The one transfer slot of the program.
#include "TransferGuard.h"

#include "LinkState.h"

namespace {
bool taken = false;
std::function<void(bool)> observer;
}  // namespace

TransferGuard::TransferGuard()
{
    if (taken) return;
    taken = true;
    acquired_ = true;
    heldResync_ = Link.ResyncCountdown;
    Link.ResyncCountdown = 0;
    if (observer) observer(true);
}

TransferGuard::~TransferGuard()
{
    if (!acquired_) return;
    taken = false;
    if (Link.ResyncCountdown == 0) Link.ResyncCountdown = heldResync_;
    if (observer) observer(false);
}

bool TransferGuard::busy()
{
    return taken;
}

void TransferGuard::setObserver(std::function<void(bool)> o)
{
    observer = std::move(o);
}

void TransferGuard::reset()
{
    taken = false;
    observer = nullptr;
}
