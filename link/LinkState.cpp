// The program-wide link state.
#include "LinkState.h"

LinkState Link;

void ResetLinkState()
{
    Link = LinkState();
}
