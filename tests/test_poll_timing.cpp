// The link's timing when its tick runs only for work: frames and their times on a fake clock.
#include "TestRig.h"

#include "Commands.h"
#include "LinkScheduler.h"
#include "LinkState.h"
#include "ParamStore.h"
#include "Transport.h"

#include <QPushButton>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<uint8_t> list)
{
    QByteArray b;
    for (uint8_t v : list) b.append(char(v));
    return b;
}

// A window's link driven by a scheduler on a fake clock, run as its timers would run it.
struct Timeline {
    TestRig &rig;
    qint64 now = 0;
    LinkScheduler sched{rig.w->pollLoop(), [this] { return now; }};
    int wakeups = 0;  // timer events: ticks and wake-ups
    std::vector<std::pair<qint64, QByteArray>> frames;

    explicit Timeline(TestRig &r, bool presenceEvents) : rig(r)
    {
        rig.dev.setPresenceEvents(presenceEvents);
        sched.start();
    }
    // Runs the timers up to time `until`; the event loop looks at the link before each wait.
    void runUntil(qint64 until)
    {
        sched.replan();
        for (;;) {
            const qint64 next = sched.ticking() ? now + LinkScheduler::TICK_MS : sched.wakeDueMs();
            if (next < 0 || next > until) break;
            now = next;
            const size_t before = rig.sim.payloads().size();
            if (sched.ticking())
                sched.tick();
            else
                sched.wake();
            ++wakeups;
            const auto all = rig.sim.payloads();
            for (size_t k = before; k < all.size(); ++k) frames.emplace_back(now, all[k]);
            sched.replan();
        }
        now = until;
        sched.replan();
    }
    bool idle() const { return Session().Link.Connected && Session().Link.LinkStatus == 2 && !Session().Link.NamesPending && !Session().Link.AwaitingReply; }
    // Runs until the pages and names are read; returns the time that took.
    qint64 connect()
    {
        const qint64 from = now;
        while (!idle() && now - from < 2000) runUntil(now + LinkScheduler::TICK_MS);
        return now - from;
    }
    std::vector<qint64> timesOf(const QByteArray &payload, qint64 from) const
    {
        std::vector<qint64> t;
        for (const auto &f : frames)
            if (f.second == payload && f.first >= from) t.push_back(f.first);
        return t;
    }
};

}  // namespace

class TestPollTiming : public QObject
{
    Q_OBJECT
private slots:
    // As with a tick every 2 ms: the first heartbeat 400 ticks after the last frame (the tick that sent it
    // counting), then every 200; an edit postpones it by 400 ticks. Asleep in between.
    void heartbeatRhythmAndEdit()
    {
        TestRig rig;
        Timeline t(rig, false);
        QVERIFY(t.connect() < 2000);
        const qint64 last = t.timesOf(bytes({6, 0x10, 9}), 0).back();
        t.runUntil(last + 100);
        const int wakeupsBefore = t.wakeups;
        t.runUntil(last + 1700);
        QCOMPARE(t.timesOf(bytes({6, 0x00}), 0), (std::vector<qint64>{last + 798, last + 1198, last + 1598}));
        QCOMPARE(t.wakeups - wakeupsBefore, 3);  // one per heartbeat, no ticks in between
        QCOMPARE(rig.sim.pendingReplies(), size_t(0));
        const qint64 edit = last + 1700;
        Session().ParamStore.ChVol[0] = 600;
        CMD_CH_VOLUME(Session(), 0);
        t.runUntil(edit + 1700);
        QCOMPARE(t.timesOf(bytes({6, 0x00}), edit), (std::vector<qint64>{edit + 800, edit + 1200, edit + 1600}));
    }

    // A recalled scene is read again 100 ticks after the recall, with nothing sent in between.
    void recallResyncAfter100Ticks()
    {
        TestRig rig;
        Timeline t(rig, false);
        t.connect();
        t.runUntil(t.now + 300);
        const qint64 recall = t.now;
        CMD_SCENE_LOAD(Session(), 3);
        Session().Link.ResyncCountdown = 100;
        const size_t before = t.frames.size();
        t.runUntil(recall + 200);
        QCOMPARE(t.frames.size(), before + 1);
        QCOMPARE(t.frames.back(), std::make_pair(recall + 200, bytes({6, 0x16})));
    }

    // Unplugged while idle, without a hot-plug notification: the heartbeat finds out, with one box; then
    // an open is tried every 200 ms.
    void unplugFoundByHeartbeat()
    {
        TestRig rig;
        Timeline t(rig, false);
        t.connect();
        rig.sim.setPlugged(false);
        t.runUntil(t.now + 790);
        QVERIFY(rig.notices.isEmpty());
        t.runUntil(t.now + 10);
        QCOMPARE(rig.notices.size(), 1);
        QCOMPARE(rig.notices[0].text, QStringLiteral("机器通讯异常！"));
        const int opens = rig.dev.failedOpenCount();
        t.runUntil(t.now + 2000);
        QCOMPARE(rig.notices.size(), 1);
        QCOMPARE(rig.w->ui->BT_CONNECT->text(), QStringLiteral("已断开"));
        QCOMPARE(rig.dev.failedOpenCount() - opens, 10);
    }

    // With the notification: the unplug is noticed at once (one box, nothing written), plugging in connects
    // at the protocol's pace (1 + 110 + 18 ticks), and while nothing is attached an open is tried once a
    // second only, asleep in between.
    void notificationThroughTheSeam()
    {
        TestRig rig(false);
        Timeline t(rig, true);
        t.runUntil(4999);
        QCOMPARE(rig.dev.failedOpenCount(), 5);  // at 2, 1002, .. 4002 ms: one wake-up each
        QCOMPARE(Session().Port.listing(), DeviceListing::NoneFound);
        QCOMPARE(t.wakeups, 5);
        rig.dev.setPlugged(true);
        QCOMPARE(t.connect(), qint64(2 * (1 + 110 + 18)));
        t.runUntil(t.now + 300);
        const int written = rig.dev.writeCount();
        rig.dev.setPlugged(false);
        QCOMPARE(rig.notices.size(), 1);
        QCOMPARE(rig.notices[0].text, QStringLiteral("机器通讯异常！"));
        const int opens = rig.dev.failedOpenCount();
        t.runUntil(t.now + 3000);
        QCOMPARE(rig.notices.size(), 1);
        QCOMPARE(rig.dev.writeCount(), written);
        QCOMPARE(rig.dev.failedWriteCount(), 0);
        QCOMPARE(rig.w->ui->BT_CONNECT->text(), QStringLiteral("已断开"));
        QCOMPARE(rig.dev.failedOpenCount() - opens, 3);  // once a second
        // Listed but refused (no permission): told apart from none found; opened once allowed.
        rig.dev.setOpenRefused(true);
        rig.dev.setPlugged(true);
        t.runUntil(t.now + 3000);
        QCOMPARE(Session().Port.listing(), DeviceListing::Unopenable);
        rig.dev.setOpenRefused(false);
        rig.dev.setPlugged(true);  // e.g. the permissions changed
        QVERIFY(t.connect() < 300);
        QCOMPARE(Session().Port.listing(), DeviceListing::Opened);
    }

    // A monitor that is set up but never delivers (no udev daemon, as in containers): a processor plugged
    // in later, and one plugged back after an unplug, is still found by the open tried once a second.
    void silentMonitorStillReconnects()
    {
        TestRig rig(false);
        Timeline t(rig, true);
        t.runUntil(2500);
        rig.sim.setPlugged(true);  // the processor itself: no event through the seam
        QVERIFY(t.connect() <= 1000 + 2 * (1 + 110 + 18));
        rig.sim.setPlugged(false);
        t.runUntil(t.now + 1000);  // found by the heartbeat
        QCOMPARE(rig.w->ui->BT_CONNECT->text(), QStringLiteral("已断开"));
        rig.sim.setPlugged(true);
        QVERIFY(t.connect() <= 1000 + 2 * (1 + 110 + 18));
        QVERIFY(t.idle());
    }
};

QTEST_MAIN(TestPollTiming)
#include "test_poll_timing.moc"
