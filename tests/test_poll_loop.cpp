// The connection and polling loop against the simulated processor, tick by tick.
#include "TestRig.h"

#include "Commands.h"
#include "LinkState.h"
#include "ParamStore.h"
#include "PollLoop.h"
#include "Texts.h"
#include "Transport.h"

#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <utility>
#include <vector>

namespace {

QByteArray bytes(std::initializer_list<uint8_t> list)
{
    QByteArray b;
    for (uint8_t v : list) b.append(char(v));
    return b;
}

// The window side of the loop, with the completion of the download done as the download handlers do it.
struct FakeHost : PollHost {
    QStringList status;  // "online" / "offline", one per change
    std::vector<int> progress;
    bool progressVisible = false;
    int mismatches = 0;
    int completions = 0;
    std::vector<int> pages, names;
    std::vector<QByteArray> others;

    void showLinkStatus(bool online) override { status << (online ? "online" : "offline"); }
    void setProgress(int value) override { progress.push_back(value); }
    void showProgress(bool visible) override { progressVisible = visible; }
    void reportNameMismatch() override { ++mismatches; }
    void paramPageReply(const uint8_t *p, int n) override
    {
        if (n < 2 || p[1] > 54) return;
        pages.push_back(p[1]);
        if (p[1] != 54) return;
        ++completions;
        Session().Link.LinkStatus = 2;
        showProgress(false);
        showLinkStatus(true);
        Session().Link.NamesPending = 1;
        Session().Link.NamePage = 1;
        Session().Link.AwaitingReply = 0;
    }
    void sceneNameReply(const uint8_t *p, int n) override
    {
        if (n < 2) return;
        names.push_back(p[1]);
        if (p[1] == 9) Session().Link.AwaitingReply = 0;
    }
    void inputSourceReply(const uint8_t *p, int n) override { others.push_back(QByteArray((const char *)p, n)); }
    void masterVolumeReply(const uint8_t *p, int n) override { others.push_back(QByteArray((const char *)p, n)); }
};

// Passes everything to the simulated device and notes how long each read was allowed to wait.
class RecordingDevice : public DeviceIo
{
public:
    explicit RecordingDevice(DeviceIo &inner) : inner_(inner) {}
    bool open(uint16_t v, uint16_t p) override { return inner_.open(v, p); }
    int write(const uint8_t *r, size_t n) override { return inner_.write(r, n); }
    int read(uint8_t *buf, size_t n, int timeoutMs) override
    {
        ++reads;
        if (timeoutMs < 0) ++unboundedReads;
        if (timeoutMs > longestWaitMs) longestWaitMs = timeoutMs;
        return inner_.read(buf, n, timeoutMs);
    }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }

    int reads = 0;
    int unboundedReads = 0;
    int longestWaitMs = 0;

private:
    DeviceIo &inner_;
};

// The loop without a window: simulated processor, recording device, fake host.
struct Bench {
    SimProcessor sim;
    SimDevice dev{sim};
    RecordingDevice rec{dev};
    FakeHost host;
    PollLoop loop{host, Session()};
    int lostBoxes = 0;
    int ticks = 0;

    explicit Bench(bool plugged = true)
    {
        TestRig::resetGlobals();
        sim.setPlugged(plugged);
        Session().Port.setDevice(&rec);
        Session().Port.onWriteFailed = [this] { ++lostBoxes; };
    }
    ~Bench()
    {
        Session().Port.onWriteFailed = nullptr;
        Session().Port.close();
        Session().Port.setDevice(nullptr);
    }
    // Runs n ticks; returns the payloads written during them with the number of the tick that wrote them.
    std::vector<std::pair<int, QByteArray>> run(int n)
    {
        std::vector<std::pair<int, QByteArray>> out;
        for (int i = 0; i < n; ++i) {
            const size_t before = sim.payloads().size();
            loop.tick();
            ++ticks;
            const auto all = sim.payloads();
            for (size_t k = before; k < all.size(); ++k) out.emplace_back(ticks, all[k]);
        }
        return out;
    }
    bool idle() const { return Session().Link.Connected && Session().Link.LinkStatus == 2 && !Session().Link.NamesPending && !Session().Link.AwaitingReply; }
    // Ticks until the pages and the names are through.
    bool connect(int maxTicks = 1000)
    {
        for (int i = 0; i < maxTicks; ++i) {
            run(1);
            if (idle()) return true;
        }
        return false;
    }
};

QByteArray identBytes(const QByteArray &name, uint8_t fill, const QByteArray &tail = QByteArray())
{
    QByteArray raw = name + tail;
    while (raw.size() < 16) raw.append(char(fill));
    return raw;
}

}  // namespace

class TestPollLoop : public QObject
{
    Q_OBJECT
private slots:
    void identification_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("zeros") << identBytes("NV_PRC52", 0x00) << true;
        QTest::newRow("0xFF") << identBytes("NV_PRC52", 0xFF) << true;
        QTest::newRow("ends at 0, junk behind") << identBytes("NV_PRC52", 0x00, bytes({0, 'X', 'Y'})) << true;
        QTest::newRow("ends at FF, junk behind") << identBytes("NV_PRC52", 0x00, bytes({0xFF, 'X'})) << true;
        QTest::newRow("further letter") << identBytes("NV_PRC52", 0x00, "X") << false;
        QTest::newRow("further 0x01") << identBytes("NV_PRC52", 0xFF, bytes({0x01})) << false;
        QTest::newRow("further 0xFE") << identBytes("NV_PRC52", 0x00, bytes({0xFE})) << false;
        QTest::newRow("shorter") << identBytes("NV_PRC5", 0x00) << false;
        QTest::newRow("other") << identBytes("NV_PRC53", 0x00) << false;
        QTest::newRow("empty") << identBytes("", 0x00) << false;
    }
    void identification()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, accepted);
        Bench b;
        b.sim.setIdentName(raw);
        b.run(1);
        QCOMPARE(bool(Session().Link.Connected), accepted);
        QCOMPARE(bool(Session().Link.Downloading), accepted);
        QCOMPARE(int(Session().Link.LinkStatus), accepted ? 1 : 0);
        QCOMPARE(b.host.mismatches, accepted ? 0 : 1);
        QCOMPARE(b.host.progressVisible, accepted);
        if (accepted) QCOMPARE(b.host.progress, std::vector<int>{1});
    }

    void nameTakesAtMostSixteenBytes()
    {
        uint8_t p[20] = {0x16};
        for (int i = 1; i < 20; ++i) p[i] = uint8_t('A' + i);
        QCOMPARE(PollLoop::DeviceNameOf(p, 20).size(), size_t(16));
        QCOMPARE(PollLoop::DeviceNameOf(p, 5), std::string("BCDE"));  // a short payload ends the name
        QCOMPARE(PollLoop::DeviceNameOf(p, 1), std::string());
    }

    // 06 16, then 06 AA 00 .. 06 AA 36 one per two ticks, then 06 10 01 .. 06 10 09.
    void requestSequenceAndRhythm()
    {
        Bench b;
        const auto sent = b.run(129);
        std::vector<std::pair<int, QByteArray>> want;
        want.emplace_back(1, bytes({6, 0x16}));
        for (int p = 0; p <= 54; ++p) want.emplace_back(2 + 2 * p, bytes({6, 0xAA, uint8_t(p)}));
        for (int k = 1; k <= 9; ++k) want.emplace_back(112 + 2 * (k - 1), bytes({6, 0x10, uint8_t(k)}));
        QCOMPARE(sent, want);
        QVERIFY(b.idle());
        // The progress bar followed the page number and went away after the last page.
        std::vector<int> progress{1};
        for (int p = 1; p <= 54; ++p) progress.push_back(p);
        QCOMPARE(b.host.progress, progress);
        QVERIFY(!b.host.progressVisible);
        QCOMPARE(b.host.completions, 1);
        QCOMPARE(b.host.pages.size(), size_t(55));
        QCOMPARE(b.host.names, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(b.host.status, QStringList{"online"});
        QCOMPARE(b.rec.unboundedReads, 0);
        QCOMPARE(b.sim.pendingReplies(), size_t(0));
    }

    void tickBarFollowsPageInWindow()
    {
        TestRig rig;
        rig.tick(1);
        QVERIFY(!rig.w->ui->TickBar->isHidden());
        QCOMPARE(rig.w->ui->TickBar->value(), 1);
        rig.tick(2 * 20);  // pages 0..19 requested and read
        QCOMPARE(rig.w->ui->TickBar->value(), 20);
        QCOMPARE(int(Session().Link.ParamPage), 20);
        rig.tick(2 * 35);
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QCOMPARE(rig.sim.countPayloads(6, 0xAA), 55);
    }

    void lostReplyRequestsSamePageAgain()
    {
        Bench b;
        b.run(1 + 2 * 5);  // pages 0..4
        b.sim.dropNextReplies(1);
        const auto sent = b.run(6);
        QCOMPARE(sent.size(), size_t(3));
        QCOMPARE(sent[0], std::make_pair(b.ticks - 5, bytes({6, 0xAA, 5})));
        QCOMPARE(sent[1], std::make_pair(b.ticks - 3, bytes({6, 0xAA, 5})));  // the tick right after the empty read
        QCOMPARE(sent[2], std::make_pair(b.ticks - 1, bytes({6, 0xAA, 6})));
        QVERIFY(b.connect());
        QCOMPARE(b.sim.countPayloads(6, 0xAA), 56);
        QCOMPARE(b.dev.timedOutReadCount(), 1);
    }

    // A garbled reply to the last page would leave the download hanging; the last page is asked again.
    void garbledLastPageIsRequestedAgain()
    {
        Bench b;
        b.run(1 + 2 * 54 + 1);  // identification, pages 0..53, the request of page 54
        b.sim.clearReplies();
        b.sim.pushRawReply(bytes({0xFA, 0x2A, 0, 3, 0xAA, 54, 0x00, 0x00, 0xF5}));  // bad checksum
        b.run(1);
        QCOMPARE(b.host.completions, 0);
        QVERIFY(!Session().Link.Downloading);
        const auto sent = b.run(1);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sent[0].second, bytes({6, 0xAA, 54}));
        QVERIFY(b.host.progressVisible);
        QVERIFY(b.connect(100));
        QCOMPARE(b.host.completions, 1);
    }

    void heartbeatAfter400ThenEvery200()
    {
        Bench b;
        QVERIFY(b.connect());
        const int last = b.ticks - 1;  // the tick that requested scene 9
        auto sent = b.run(820);
        std::vector<int> at;
        for (const auto &s : sent) {
            QCOMPARE(s.second, bytes({6, 0x00}));
            at.push_back(s.first - last);
        }
        // The tick that sent the last request already counts down: 400 ticks including it.
        QCOMPARE(at, (std::vector<int>{399, 599, 799}));
        QCOMPARE(b.sim.pendingReplies(), size_t(0));  // each answer was drained
        // A control postpones the next heartbeat by 400 ticks.
        b.run(50);  // 72 ticks after the last heartbeat, which would come again 128 ticks later
        Session().ParamStore.ChVol[0] = 600;
        CMD_CH_VOLUME(Session(), 0);
        QCOMPARE(b.sim.lastPayload(), bytes({5, 0x04, 0, 0x58, 0x02}));
        sent = b.run(450);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sent[0].first - (b.ticks - 450), 400);
        QCOMPARE(b.rec.unboundedReads, 0);
    }

    void unplugWhileIdleThenReplug()
    {
        Bench b;
        QVERIFY(b.connect());
        b.sim.setPlugged(false);
        b.run(397);
        QCOMPARE(b.lostBoxes, 0);  // nothing written yet, nothing noticed
        b.run(1);                  // the heartbeat write fails
        QCOMPARE(b.lostBoxes, 1);
        QCOMPARE(b.host.status, (QStringList{"online", "offline"}));
        QCOMPARE(int(Session().Link.LinkStatus), 0);
        QVERIFY(!Session().Link.Connected);
        const int written = b.dev.writeCount();
        const int failedOpens = b.dev.failedOpenCount();
        b.run(1000);
        QCOMPARE(b.lostBoxes, 1);
        QCOMPARE(b.dev.writeCount(), written);
        QCOMPARE(b.dev.failedOpenCount() - failedOpens, 10);  // one attempt per 100 ticks
        QCOMPARE(b.host.status.size(), 2);
        b.sim.setPlugged(true);
        b.sim.clearLog();
        QVERIFY(b.connect(100 + 200));
        QCOMPARE(b.host.completions, 2);
        QCOMPARE(b.sim.countPayloads(6, 0xAA), 55);
        QCOMPARE(b.host.status.last(), QStringLiteral("online"));
        QCOMPARE(b.dev.openHandles(), 1);
        QCOMPARE(b.lostBoxes, 1);
    }

    void noHandleLeakedAcrossCycles()
    {
        Bench b;
        for (int cycle = 0; cycle < 5; ++cycle) {
            QVERIFY(b.connect(400));
            b.sim.setPlugged(false);
            b.run(500);
            QCOMPARE(b.dev.openHandles(), 0);
            b.sim.setPlugged(true);
        }
        QVERIFY(b.connect(400));
        QCOMPARE(b.lostBoxes, 5);
        QCOMPARE(b.dev.openHandles(), 1);
        QCOMPARE(b.dev.openCount() - b.dev.closeCount(), 1);
    }

    // Unplugged while the scene names came in: after re-attaching, the pages and names come again.
    void lostDuringNamesStartsAfresh()
    {
        Bench b;
        b.run(1 + 110 + 6);  // names 1..3 through
        QVERIFY(Session().Link.NamesPending);
        b.sim.setPlugged(false);
        b.run(2);
        QCOMPARE(b.lostBoxes, 1);
        b.sim.setPlugged(true);
        b.sim.clearLog();
        QVERIFY(b.connect(300));
        QCOMPARE(b.host.completions, 2);
        QCOMPARE(b.sim.countPayloads(6, 0xAA), 55);
        QCOMPARE(b.sim.countPayloads(6, 0x10), 9);
    }

    void noProcessor()
    {
        TestRig rig(false);
        rig.tick(1000);
        QVERIFY(rig.notices.isEmpty());
        QCOMPARE(rig.dev.writeCount(), 0);
        QCOMPARE(int(rig.sim.reportLog().size()), 0);
        QCOMPARE(rig.dev.failedOpenCount(), 10);  // ticks 1, 101, ..., 901
        QCOMPARE(rig.w->ui->BT_CONNECT->text(), QStringLiteral("已断开"));
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QVERIFY(!Session().Link.Connected);
        // Attached later: found at the next attempt.
        rig.sim.setPlugged(true);
        rig.tick(100);
        QVERIFY(Session().Link.Connected);
    }

    // Every read waits at most the bound, whichever phase meets the silence.
    void silentProcessorNeverBlocksLong()
    {
        Bench b;
        b.sim.setSilent(true);
        b.run(300);  // three attempts, two reads each
        QVERIFY(!Session().Link.Connected);
        QCOMPARE(b.dev.timedOutReadCount(), 6);
        QCOMPARE(b.dev.openCount(), 3);
        QCOMPARE(b.host.mismatches, 0);
        b.sim.setSilent(false);
        for (int i = 0; i < 100 && !Session().Link.Connected; ++i) b.run(1);
        QVERIFY(Session().Link.Connected);
        b.run(2 * 10);
        b.sim.setSilent(true);
        const int timedOut = b.dev.timedOutReadCount();
        const auto sent = b.run(40);
        QCOMPARE(b.dev.timedOutReadCount() - timedOut, 20);  // one bounded read per request
        QCOMPARE(sent.size(), size_t(20));
        for (const auto &s : sent) QCOMPARE(s.second, bytes({6, 0xAA, 10}));
        QCOMPARE(b.rec.unboundedReads, 0);
        QVERIFY(b.rec.longestWaitMs <= READ_BOUND_MS);
        QVERIFY(b.rec.longestWaitMs > 0);
    }

    void resyncReidentifiesAndDownloadsAgain()
    {
        Bench b;
        QVERIFY(b.connect());
        b.sim.clearLog();
        const int opens = b.dev.openCount();
        Session().Link.ResyncCountdown = 10;
        auto sent = b.run(9);
        QVERIFY(sent.empty());
        sent = b.run(2);
        QCOMPARE(sent.size(), size_t(2));
        QCOMPARE(sent[0], std::make_pair(b.ticks - 1, bytes({6, 0x16})));
        QCOMPARE(sent[1], std::make_pair(b.ticks, bytes({6, 0xAA, 0})));
        QCOMPARE(b.dev.openCount(), opens + 1);
        QCOMPARE(b.dev.openHandles(), 1);
        QCOMPARE(int(Session().Link.LinkStatus), 1);
        QVERIFY(b.connect(200));
        QCOMPARE(b.host.completions, 2);
        QCOMPARE(b.sim.countPayloads(6, 0xAA), 55);
    }

    // A re-read still counting down when the processor is identified anew waits for that download, then reads
    // everything once more. Expiring on the tick that reads the last page, it drops that page with the rest
    // of the received bytes, and only the second download completes.
    void resyncPendingAcrossReidentification()
    {
        for (const int left : {1, 3}) {
            Bench b;
            QVERIFY(b.connect());
            const int before = b.host.completions;
            b.sim.clearLog();
            Session().Link.ResyncCountdown = uint16_t(left);
            QVERIFY(b.loop.ConnectDevice());  // as a tick does it: the name is read and parsed at once
            b.loop.ParseReply();
            QVERIFY(b.connect(400));
            QCOMPARE(int(Session().Link.ResyncCountdown), 0);
            QCOMPARE(b.host.completions, before + (left == 1 ? 1 : 2));
            QCOMPARE(b.sim.countPayloads(6, 0xAA), 2 * 55);
        }
    }

    // Expiry after the processor has gone: noticed as a lost link, not left looking connected.
    void resyncWithProcessorGone()
    {
        Bench b;
        QVERIFY(b.connect());
        Session().Link.ResyncCountdown = 5;
        b.sim.setPlugged(false);
        b.run(5);
        QVERIFY(!Session().Link.Connected);
        QCOMPARE(b.lostBoxes, 1);
        QCOMPARE(b.host.status.last(), QStringLiteral("offline"));
    }

    // Another name at re-identification: reported, and no longer shown as connected.
    void resyncFindsAnotherName()
    {
        Bench b;
        QVERIFY(b.connect());
        b.sim.setIdentName("NV_PRC99");
        Session().Link.ResyncCountdown = 1;
        b.run(1);
        QVERIFY(!Session().Link.Connected);
        QCOMPARE(int(Session().Link.LinkStatus), 0);
        QCOMPARE(b.host.mismatches, 1);
        QCOMPARE(b.host.status, (QStringList{"online", "offline"}));
        QCOMPARE(b.lostBoxes, 0);
    }

    void btnRepeatDelayCountsDown()
    {
        Bench b(false);
        Session().Link.BtnRepeatDelay = 3;
        b.run(2);
        QCOMPARE(int(Session().Link.BtnRepeatDelay), 1);
        b.run(5);
        QCOMPARE(int(Session().Link.BtnRepeatDelay), 0);
    }

    void repliesDispatchedByCode()
    {
        Bench b;
        QVERIFY(b.connect());
        b.sim.pushUnsolicitedInputSource(2);
        Session().Port.Rx.clear();
        Session().Port.readIntoRx(READ_BOUND_MS);
        QVERIFY(b.loop.ParseReply());
        b.sim.pushUnsolicitedMasterVolume(0x123);
        Session().Port.Rx.clear();
        Session().Port.readIntoRx(READ_BOUND_MS);
        QVERIFY(b.loop.ParseReply());
        QCOMPARE(b.host.others, (std::vector<QByteArray>{bytes({0x02, 2}), bytes({0x0D, 0x23, 0x01})}));
        const uint8_t ack[] = {5, 0x41, 3};
        b.sim.pushReply(ack, 3);
        Session().Port.Rx.clear();
        Session().Port.readIntoRx(READ_BOUND_MS);
        QVERIFY(b.loop.ParseReply());  // parsed, ignored
        QCOMPARE(b.host.others.size(), size_t(2));
        QVERIFY(Session().Link.Connected);
    }

    // --- Boxes and texts in the window ---------------------------------------------------------------

    void mismatchBoxOncePerAttachedProcessor_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("zh") << 0 << QStringLiteral("提示") << QStringLiteral("设备名称不匹配！");
        QTest::newRow("en") << 1 << QStringLiteral("Notice") << QStringLiteral("Connect error！");
    }
    void mismatchBoxOncePerAttachedProcessor()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        QFETCH(QString, text);
        TestRig rig;
        Lang().LanguageFlag = uint8_t(language);
        rig.sim.setIdentName("NV_PRC52X");
        // Ticks keep arriving while the box is open.
        int nested = 0;
        rig.noticeBox.setResponder([&](const Notice::Request &r) {
            rig.notices.append(r);
            if (nested++ == 0) rig.tick(500);
            return true;
        });
        rig.tick(1000);
        QCOMPARE(rig.notices.size(), 1);
        QCOMPARE(rig.notices[0].title, title);
        QCOMPARE(rig.notices[0].text, text);
        QVERIFY(!rig.notices[0].question);
        QVERIFY(!Session().Link.Connected);
        QVERIFY(rig.sim.countPayloads(6, 0x16) >= 14);  // still trying, about every 100 ticks
        QCOMPARE(rig.sim.countPayloads(6, 0xAA), 0);
        // Unplugged and attached again: reported again.
        rig.sim.setPlugged(false);
        rig.tick(200);
        rig.sim.setPlugged(true);
        rig.tick(200);
        QCOMPARE(rig.notices.size(), 2);
        // The right processor is accepted.
        rig.sim.setIdentName("NV_PRC52");
        rig.tick(101);
        QVERIFY(Session().Link.Connected);
        QCOMPARE(rig.notices.size(), 2);
    }

    void unplugWhileIdleInWindow()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        QCOMPARE(rig.w->ui->BT_CONNECT->text(), QStringLiteral("已连接"));
        rig.sim.setPlugged(false);
        rig.tick(400);
        QCOMPARE(rig.notices.size(), 1);
        QCOMPARE(rig.notices[0].text, QStringLiteral("机器通讯异常！"));
        QCOMPARE(rig.w->ui->BT_CONNECT->text(), QStringLiteral("已断开"));
        rig.tick(1000);
        QCOMPARE(rig.notices.size(), 1);
        rig.sim.setPlugged(true);
        rig.clearSent();
        QVERIFY(rig.connectAndDownload(400));
        QCOMPARE(rig.w->ui->BT_CONNECT->text(), QStringLiteral("已连接"));
        QCOMPARE(rig.sim.countPayloads(6, 0xAA), 55);
        QCOMPARE(rig.sim.countPayloads(6, 0x10), 9);
        QCOMPARE(rig.notices.size(), 1);
    }

    void lostLinkBoxOnceThenOff_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("off");
        QTest::newRow("zh") << 0 << QStringLiteral("提示") << QStringLiteral("机器通讯异常！") << QStringLiteral("已断开");
        QTest::newRow("en") << 1 << QStringLiteral("Notice") << QStringLiteral("Connect error！") << QStringLiteral("OFF");
    }
    void lostLinkBoxOnceThenOff()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, off);
        TestRig rig;
        Lang().LanguageFlag = uint8_t(language);
        rig.tick(1 + 2 * 10);
        rig.w->ui->BT_CONNECT->setText(QStringLiteral("x"));
        rig.sim.setPlugged(false);
        QString textWhileBoxOpen;
        rig.noticeBox.setResponder([&](const Notice::Request &r) {
            rig.notices.append(r);
            textWhileBoxOpen = rig.w->ui->BT_CONNECT->text();
            rig.tick(300);  // ticks inside the modal box
            return true;
        });
        rig.tick(1000);
        QCOMPARE(rig.notices.size(), 1);
        QCOMPARE(rig.notices[0].title, title);
        QCOMPARE(rig.notices[0].text, text);
        QCOMPARE(textWhileBoxOpen, QStringLiteral("x"));  // the box first, then the status text
        QCOMPARE(rig.w->ui->BT_CONNECT->text(), off);
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QCOMPARE(rig.dev.openHandles(), 0);
        // Plugged in again: reconnects and downloads again.
        rig.sim.setPlugged(true);
        rig.clearSent();
        for (int i = 0; i < 100 && rig.sim.countPayloads(6, 0x16) == 0; ++i) rig.tick();
        QCOMPARE(rig.sim.countPayloads(6, 0x16), 1);
        rig.tick(2 * 55);
        QCOMPARE(rig.sim.countPayloads(6, 0xAA), 55);
        QCOMPARE(rig.notices.size(), 1);
    }
};

QTEST_MAIN(TestPollLoop)
#include "test_poll_loop.moc"
