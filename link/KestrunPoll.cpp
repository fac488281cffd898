// The poll loop of the processor link, driven by the window's 2 ms timer.
#include "Kestrun.h"

#include <QTimerEvent>

void Kestrun::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId_) return;
}
