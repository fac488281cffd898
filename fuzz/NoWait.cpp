// The fuzz targets' WaitMs: returns at once, so that the pauses of the link cost no time. Linked in place of
// the event-processing wait of the base library.
#include "WaitMs.h"

void WaitMs(int)
{
}
