// The program-wide link state.
#include "LinkState.h"

LinkState Link;

void ResetLinkState()
{
    LinkState fresh;  // the transfer slot is not part of the reset (TransferGuard::reset frees it)
    fresh.TransferTaken = Link.TransferTaken;
    fresh.TransferObserver = std::move(Link.TransferObserver);
    Link = std::move(fresh);
}
