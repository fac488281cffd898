// WaitMs on a monotonic clock (a wall-clock deadline would misbehave across midnight).
#include "WaitMs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

void WaitMs(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        const int left = int(ms - clock.elapsed());
        QCoreApplication::processEvents(QEventLoop::AllEvents, left < 100 ? left : 100);
    }
}
