// Figures of the demo: time to the first paint, plug-in to connected, idle CPU and wake-ups while connected, peak memory.
#include "DemoFigures.h"

#include "LinkState.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
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

// Voluntary context switches of all the process's threads: each is one wake-up after a sleep.
long long voluntarySwitches()
{
    long long total = 0;
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &t : tasks) {
        QFile f(QStringLiteral("/proc/self/task/%1/status").arg(t));
        if (!f.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:")) total += line.mid(24).trimmed().toLongLong();
    }
    return total;
}
}  // namespace

DemoFigures::DemoFigures(QWidget *window, const LinkState &link, const QElapsedTimer &sinceStart, int idleSeconds)
    : QObject(window), window_(window), link_(link), start_(sinceStart), idleSeconds_(idleSeconds)
{
    window_->installEventFilter(this);
    connect(&watch_, &QTimer::timeout, this, &DemoFigures::poll);
    watch_.start(1);
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
    if (plugMs_ < 0) return;
    if (link_.Connected && link_.LinkStatus == 2 && !link_.NamesPending && !link_.AwaitingReply) {
        connectedMs_ = start_.elapsed();
        watch_.stop();  // the idle figures must not count this watch
        cpuAtConnect_ = cpuSeconds();
        switchesAtConnect_ = voluntarySwitches();
        QTimer::singleShot(idleSeconds_ * 1000, this, &DemoFigures::finish);
    }
}

void DemoFigures::finish()
{
    const double idleCpu = (cpuSeconds() - cpuAtConnect_) / idleSeconds_ * 100.0;
    const double wakeups = double(voluntarySwitches() - switchesAtConnect_) / idleSeconds_;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("start-up to first paint: %lld ms\n", static_cast<long long>(firstPaintMs_));
    std::printf("plug-in to connected (all pages and names read): %lld ms\n",
                static_cast<long long>(connectedMs_ - plugMs_));
    std::printf("idle CPU while connected: %.2f %% of one core over %d s\n", idleCpu, idleSeconds_);
    std::printf("idle wake-ups while connected: %.1f per second (voluntary context switches)\n", wakeups);
    std::printf("peak memory (max RSS): %ld MiB\n", u.ru_maxrss / 1024);
    std::fflush(stdout);
    QCoreApplication::exit(0);
}
