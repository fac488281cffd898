// WaitMs on a monotonic clock (a wall-clock deadline would misbehave across midnight), sleeping between events.
#include "WaitMs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

void WaitMs(int ms)
{
    if (ms <= 0) return;
    QElapsedTimer clock;
    clock.start();
    // The single-shot timer wakes the wait below at the deadline even when nothing else happens.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(ms);
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
