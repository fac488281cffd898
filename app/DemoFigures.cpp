// Figures of the demo: time to the first paint, plug-in to connected, idle CPU while connected, peak memory.
#include "DemoFigures.h"

#include "LinkState.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <sys/resource.h>

namespace {
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
}  // namespace

DemoFigures::DemoFigures(QWidget *window, const QElapsedTimer &sinceStart, int idleSeconds)
    : QObject(window), window_(window), start_(sinceStart), idleSeconds_(idleSeconds)
{
    window_->installEventFilter(this);
    auto *t = new QTimer(this);
    connect(t, &QTimer::timeout, this, &DemoFigures::poll);
    t->start(1);
}

void DemoFigures::pluggedIn()
{
    plugMs_ = start_.elapsed();
}

bool DemoFigures::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_ && event->type() == QEvent::Paint && firstPaintMs_ < 0) firstPaintMs_ = start_.elapsed();
    return false;
}

void DemoFigures::poll()
{
    if (connectedMs_ >= 0 || plugMs_ < 0) return;
    if (Link.Connected && Link.LinkStatus == 2 && !Link.NamesPending && !Link.AwaitingReply) {
        connectedMs_ = start_.elapsed();
        cpuAtConnect_ = cpuSeconds();
        QTimer::singleShot(idleSeconds_ * 1000, this, &DemoFigures::finish);
    }
}

void DemoFigures::finish()
{
    const double idleCpu = (cpuSeconds() - cpuAtConnect_) / idleSeconds_ * 100.0;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("start-up to first paint: %lld ms\n", static_cast<long long>(firstPaintMs_));
    std::printf("plug-in to connected (all pages and names read): %lld ms\n",
                static_cast<long long>(connectedMs_ - plugMs_));
    std::printf("idle CPU while connected: %.1f %% of one core over %d s\n", idleCpu, idleSeconds_);
    std::printf("peak memory (max RSS): %ld MiB\n", u.ru_maxrss / 1024);
    std::fflush(stdout);
    QCoreApplication::exit(0);
}
