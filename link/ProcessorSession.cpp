// The session's link reset.
#include "ProcessorSession.h"

void ProcessorSession::resetLink()
{
    LinkState fresh;  // the transfer slot is not part of the reset (TransferGuard::reset frees it)
    fresh.TransferTaken = Link.TransferTaken;
    fresh.TransferObserver = std::move(Link.TransferObserver);
    Link = std::move(fresh);
}
