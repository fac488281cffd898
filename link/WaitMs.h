// Waiting inside a slot while the window stays responsive.
#pragma once

// Processes pending events (at most 100 ms at a time) until ms milliseconds have passed.
// Timer ticks keep arriving meanwhile.
void WaitMs(int ms);
