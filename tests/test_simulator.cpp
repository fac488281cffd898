// The simulated processor: wire bytes of its replies, the commands it applies, scenes, firmware, faults.
#include "Commands.h"
#include "TestModel.h"
#include "Framing.h"
#include "LinkState.h"
#include "ParamStore.h"
#include "SimDevice.h"
#include "SimProcessor.h"
#include "Transport.h"

#include <QtTest>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

QByteArray bytes(std::initializer_list<uint8_t> list)
{
    QByteArray b;
    for (uint8_t v : list) b.append(char(v));
    return b;
}

QByteArray mem(const SimProcessor &sim, int offset, int n)
{
    return QByteArray(reinterpret_cast<const char *>(sim.memory()) + offset, n);
}

QByteArray u16le(uint16_t v) { return bytes({uint8_t(v & 0xFF), uint8_t(v >> 8)}); }

// Frames a payload as the program does and hands the report to the processor.
void send(SimProcessor &sim, const QByteArray &payload, uint8_t seq = 7)
{
    uint8_t f[32] = {};
    QVERIFY(BuildReportFrame(f, seq, reinterpret_cast<const uint8_t *>(payload.constData()), payload.size()));
    sim.receive(f);
}
void send(SimProcessor &sim, std::initializer_list<uint8_t> payload) { send(sim, bytes(payload)); }

// Takes the next reply, checks its frame with the program's own scanner and returns the payload
// (empty when there was none or the frame did not pass).
QByteArray reply(SimProcessor &sim, uint8_t *rawOut = nullptr)
{
    uint8_t r[32];
    if (!sim.takeReply(r)) return QByteArray();
    if (rawOut) std::memcpy(rawOut, r, 32);
    ReplyScanner sc;
    std::memcpy(sc.RxBuffer, r, 32);
    sc.RxCount = 32;
    if (r[0] != 0xFA || !sc.scan()) return QByteArray();
    for (int i = sc.RxPos; i < 32; ++i)
        if (r[i] != 0) return QByteArray();  // the rest of the report is zero
    return QByteArray(reinterpret_cast<const char *>(sc.ReplyPayload), sc.ReplyLength);
}

QByteArray page20(uint8_t start)
{
    QByteArray b;
    for (int i = 0; i < PAGE_SIZE; ++i) b.append(char(start + i));
    return b;
}

}  // namespace

class TestSimulator : public QObject
{
    Q_OBJECT
private slots:
    void factoryState()
    {
        SimProcessor sim;
        QCOMPARE(mem(sim, 0, 4), bytes({0x34, 0x12, 0, 0}));
        QCOMPARE(mem(sim, 4, 6), bytes({3, 7, 11, 15, 16, 19}));
        QCOMPARE(mem(sim, 24, 2), u16le(600));
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            QCOMPARE(mem(sim, 26 + 2 * ch, 2), u16le(600));
            QCOMPARE(mem(sim, 1016 + 2 * ch, 2), u16le(20));
            QCOMPARE(mem(sim, 1046 + 2 * ch, 2), u16le(20000));
            for (int b = 0; b < BAND_COUNT; ++b) {
                QCOMPARE(mem(sim, 452 + 2 * (ch * 31 + b), 2), u16le(240));
                QCOMPARE(mem(sim, 80 + 2 * (ch * 31 + b), 2), u16le(DefaultEqFreq[b]));
                QCOMPARE(sim.memory()[824 + ch * 31 + b], uint8_t(30));
            }
        }
        for (int k = 1; k <= 9; ++k) {
            QCOMPARE(sim.sceneName(k), QByteArray(16, char(0xFF)));
            QVERIFY(!sim.sceneUsed(k));
        }
        QCOMPARE(sim.identName(), QByteArray("NV_PRC52") + QByteArray(8, '\0'));
        QVERIFY(sim.scene(0) == nullptr && sim.scene(10) == nullptr);
    }

    void requestsAnsweredWithExactFrames()
    {
        SimProcessor sim;
        sim.memory()[23 * 20 + 5] = 0xAB;
        uint8_t raw[32];
        send(sim, {6, 0xAA, 23});
        const QByteArray p = reply(sim, raw);
        QCOMPARE(p, bytes({0xAA, 23}) + mem(sim, 460, 20));
        // FA 2A seq n ... checksum F5, seq starting at 0, checksum over header, seq, n and payload.
        QCOMPARE(raw[0], uint8_t(0xFA));
        QCOMPARE(raw[2], uint8_t(0));
        QCOMPARE(raw[3], uint8_t(22));
        unsigned sum = 0xFA + 0x2A + 0 + 22;
        for (char c : p) sum += uint8_t(c);
        QCOMPARE(raw[26], uint8_t(sum));
        QCOMPARE(raw[27], uint8_t(0xF5));

        // Every page reads back the memory, in device encoding.
        for (int pg = 0; pg < PAGE_COUNT; ++pg) {
            send(sim, {6, 0xAA, uint8_t(pg)});
            QCOMPARE(reply(sim), bytes({0xAA, uint8_t(pg)}) + mem(sim, pg * 20, 20));
        }
        send(sim, {6, 0xAA, 55});
        QCOMPARE(sim.pendingReplies(), size_t(0));
        QCOMPARE(sim.rejectedCount(), 1);

        send(sim, {6, 0x16});
        QCOMPARE(reply(sim, raw), bytes({0x16}) + QByteArray("NV_PRC52") + QByteArray(8, '\0'));
        QCOMPARE(raw[2], uint8_t(56));  // the processor's own sequence counter
        send(sim, {6, 0x00});
        QCOMPARE(reply(sim), bytes({6, 0}));
    }

    void malformedReportsRejected_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("value");
        // Base: 00 20 FA A2 07 05 | 05 04 02 2C 01 | cs F5 (volume of CH3 = 300).
        QTest::newRow("report id") << 0 << 0x01;
        QTest::newRow("header 20") << 1 << 0x21;
        QTest::newRow("header FA") << 2 << 0xFB;
        QTest::newRow("header A2") << 3 << 0x2A;
        QTest::newRow("length 0") << 5 << 0;
        QTest::newRow("length 25") << 5 << 25;
        QTest::newRow("length 6") << 5 << 6;
        QTest::newRow("checksum") << 11 << -1;
        QTest::newRow("trailer") << 12 << 0xF4;
    }
    void malformedReportsRejected()
    {
        QFETCH(int, byte);
        QFETCH(int, value);
        SimProcessor sim;
        const QByteArray before = sim.memoryBytes();
        uint8_t f[32] = {};
        const uint8_t p[] = {5, 0x04, 2, 0x2C, 0x01};
        QVERIFY(BuildReportFrame(f, 7, p, 5));
        f[byte] = value < 0 ? uint8_t(f[byte] + 1) : uint8_t(value);
        sim.receive(f);
        QCOMPARE(sim.rejectedCount(), 1);
        QCOMPARE(sim.pendingReplies(), size_t(0));
        QCOMPARE(sim.memoryBytes(), before);
        QCOMPARE(sim.reportLog().size(), size_t(1));
        QVERIFY(sim.payloads().empty());
    }

    void badCommandsRejected_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("unknown set") << bytes({5, 0x03, 1});
        QTest::newRow("unknown request") << bytes({6, 0x99});
        QTest::newRow("unknown class") << bytes({7, 0x16});
        QTest::newRow("class only") << bytes({6});
        QTest::newRow("volume 601") << bytes({5, 0x04, 0, 0x59, 0x02});
        QTest::newRow("volume ch 6") << bytes({5, 0x04, 6, 0x00, 0x01});
        QTest::newRow("volume short") << bytes({5, 0x04, 0, 0x00});
        QTest::newRow("volume long") << bytes({5, 0x04, 0, 0x00, 0x01, 0});
        QTest::newRow("gain 119") << bytes({5, 0x08, 0, 0, 20, 0, 119, 0, 30});
        QTest::newRow("gain 361") << bytes({5, 0x08, 0, 0, 20, 0, 0x69, 0x01, 30});
        QTest::newRow("band 31") << bytes({5, 0x08, 0, 31, 20, 0, 240, 0, 30});
        QTest::newRow("eq freq 19") << bytes({5, 0x08, 0, 0, 19, 0, 240, 0, 30});
        QTest::newRow("q 3") << bytes({5, 0x08, 0, 0, 20, 0, 240, 0, 3});
        QTest::newRow("hpf slope 8") << bytes({5, 0x06, 0, 0, 20, 0, 8, 0});
        QTest::newRow("lpf freq 20001") << bytes({5, 0x07, 0, 0, 0x21, 0x4E, 3, 0});
        QTest::newRow("delay 1501") << bytes({5, 0x09, 0, 0xDD, 0x05});
        QTest::newRow("master 601") << bytes({5, 0x0D, 0x59, 0x02});
        QTest::newRow("input 3") << bytes({5, 0x02, 3});
        QTest::newRow("gate on mismatch") << bytes({5, 0x13, 2, 0});
        QTest::newRow("gate 7") << bytes({5, 0x13, 7, 1});
        QTest::newRow("name code 21") << bytes({5, 0x17, 0, 1, 2, 3, 4, 21});
        QTest::newRow("scene 0 recall") << bytes({5, 0x0F, 0});
        QTest::newRow("scene 10 delete") << bytes({5, 0x11, 10});
        QTest::newRow("page write 55") << bytes({5, 0x41, 55}) + QByteArray(20, '\0');
        QTest::newRow("scene name 10") << bytes({6, 0x10, 10});
        QTest::newRow("scene data page 55") << bytes({6, 0x15, 1, 55});
        QTest::newRow("reset arg") << bytes({5, 0x01, 0x00});
    }
    void badCommandsRejected()
    {
        QFETCH(QByteArray, payload);
        SimProcessor sim;
        sim.memory()[11] = 0x5A;  // a reserved byte, to see a page write would have changed it
        const QByteArray before = sim.memoryBytes();
        send(sim, payload);
        QCOMPARE(sim.rejectedCount(), 1);
        QVERIFY(*sim.lastRejectReason());
        QCOMPARE(sim.pendingReplies(), size_t(0));
        QCOMPARE(sim.memoryBytes(), before);
        QCOMPARE(sim.payloads().size(), size_t(1));  // logged all the same
    }

    void setCommandsChangeMemoryByteExact()
    {
        SimProcessor sim;
        QByteArray expect = sim.memoryBytes();
        auto put = [&](int off, const QByteArray &b) { expect.replace(off, b.size(), b); };

        send(sim, {5, 0x04, 2, 0x2C, 0x01});  // CH3 volume 300
        put(30, u16le(300));
        send(sim, {5, 0x08, 1, 5, 0xD2, 0x04, 0x0E, 0x01, 45});  // CH2 band 6: 1234 Hz, gain 270, Q 4.5
        put(80 + 2 * 36, u16le(1234));
        put(452 + 2 * 36, u16le(270));
        put(824 + 36, bytes({45}));
        send(sim, {5, 0x06, 3, 2, 0xF4, 0x01, 5, 0});  // CH4 high-pass: type 2, 500 Hz, slope 5, on
        put(1016 + 6, u16le(500));
        put(1028 + 3, bytes({5}));
        put(1034 + 3, bytes({0}));
        put(1040 + 3, bytes({2}));
        send(sim, {5, 0x07, 5, 1, 0x10, 0x27, 7, 1});  // CH6 low-pass: type 1, 10000 Hz, slope 7, off
        put(1046 + 10, u16le(10000));
        put(1058 + 5, bytes({7}));
        put(1064 + 5, bytes({1}));
        put(1070 + 5, bytes({1}));
        send(sim, {5, 0x09, 4, 0xDC, 0x05});  // CH5 delay 1500
        put(44 + 8, u16le(1500));
        send(sim, {5, 0x0A, 0, 1});
        put(56, bytes({1}));
        send(sim, {5, 0x0B, 5, 1});
        put(62 + 5, bytes({1}));
        send(sim, {5, 0x05, 1, 1});
        put(38 + 1, bytes({1}));
        send(sim, {5, 0x0D, 0x00, 0x00});
        put(24, u16le(0));
        send(sim, {5, 0x02, 2});
        put(10, bytes({2}));
        send(sim, {5, 0x13, 4, 1});
        put(68, u16le(4));
        send(sim, {5, 0x17, 20, 0, 4, 17, 18, 19});
        put(4, bytes({20, 0, 4, 17, 18, 19}));
        send(sim, {5, 0xC1, 0x01});

        QCOMPARE(sim.rejectedCount(), 0);
        QCOMPARE(sim.pendingReplies(), size_t(0));  // ordinary set commands are not answered
        QCOMPARE(sim.memoryBytes(), expect);
        QCOMPARE(sim.closeNotices(), 1);
        QCOMPARE(sim.countPayloads(5, 0x04), 1);
        QCOMPARE(sim.lastPayload(), bytes({5, 0xC1, 0x01}));
    }

    void programBuildersReachTheProcessor()
    {
        // The program's own command builders through the transport and the simulated device.
        SimProcessor sim;
        SimDevice dev(sim);
        Session().resetLink();
        Model().reset();
        Session().ParamStore.setDefaults();
        Session().Port.setDevice(&dev);
        QVERIFY(Session().Port.open());
        Session().ParamStore.EqGain[4][30] = 0;  // -12 dB in host encoding
        Session().ParamStore.EqFreq[4][30] = 19999;
        Session().ParamStore.EqQ[4][30] = 100;
        CMD_EQ_BAND(Session(), 4, 30);
        Session().ParamStore.ChVol[5] = 123;
        CMD_CH_VOLUME(Session(), 5);
        REQ_PARAM_PAGE(Session(), 54);
        const int off = 4 * 31 + 30;
        QCOMPARE(mem(sim, 452 + 2 * off, 2), u16le(120));
        QCOMPARE(mem(sim, 80 + 2 * off, 2), u16le(19999));
        QCOMPARE(sim.memory()[824 + off], uint8_t(100));
        QCOMPARE(mem(sim, 36, 2), u16le(123));
        QCOMPARE(sim.rejectedCount(), 0);
        Session().Port.Rx.clear();
        QCOMPARE(Session().Port.readIntoRx(100), 32);
        QVERIFY(Session().Port.Rx.scan());
        QCOMPARE(Session().Port.Rx.ReplyPayload[1], uint8_t(54));
        Session().Port.close();
        Session().Port.setDevice(nullptr);
    }

    void scenesSaveRecallDelete()
    {
        SimProcessor sim;
        send(sim, {5, 0x04, 0, 0x64, 0x00});  // CH1 volume 100
        const QByteArray name = QByteArray("Evening_Drive_16");
        send(sim, bytes({5, 0x0E, 3}) + name);
        QVERIFY(sim.sceneUsed(3));
        QCOMPARE(sim.sceneName(3), name);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(sim.scene(3)), IMAGE_SIZE), sim.memoryBytes());
        QCOMPARE(sim.sceneName(4), QByteArray(16, char(0xFF)));

        send(sim, {6, 0x10, 3});
        QCOMPARE(reply(sim), bytes({0x10, 3}) + name);
        send(sim, {6, 0x10, 9});
        QCOMPARE(reply(sim), bytes({0x10, 9}) + QByteArray(16, char(0xFF)));

        // Recall brings the scene back, but the running firmware version stays.
        send(sim, {5, 0x04, 0, 0x58, 0x02});
        sim.setFirmwareVersion(99);
        send(sim, {5, 0x0F, 3});
        QCOMPARE(mem(sim, 26, 2), u16le(100));
        QCOMPARE(sim.firmwareVersion(), 99u);

        // Recalling an empty slot changes nothing.
        send(sim, {5, 0x04, 0, 0x2C, 0x01});
        const QByteArray before = sim.memoryBytes();
        send(sim, {5, 0x0F, 5});
        QCOMPARE(sim.memoryBytes(), before);

        send(sim, {5, 0x11, 3});
        QVERIFY(!sim.sceneUsed(3));
        QCOMPARE(sim.sceneName(3), QByteArray(16, char(0xFF)));
        send(sim, {5, 0x0F, 3});
        QCOMPARE(sim.memoryBytes(), before);
        QCOMPARE(sim.rejectedCount(), 0);
        QCOMPARE(sim.pendingReplies(), size_t(0));
    }

    void sceneDataTransfers()
    {
        SimProcessor sim;
        sim.setSceneName(2, "Alpha");
        QCOMPARE(sim.sceneName(2), QByteArray("Alpha") + QByteArray(11, '\0'));
        sim.scene(2)[7 * 20 + 3] = 0x77;
        uint8_t raw[32];
        // Reply: report byte 5 = 0x15, 6 = scene, 7 = page, 8..27 = the page.
        send(sim, {6, 0x15, 2, 7});
        QVERIFY(!reply(sim, raw).isEmpty());
        QCOMPARE(raw[5], uint8_t(0x15));
        QCOMPARE(raw[6], uint8_t(2));
        QCOMPARE(raw[7], uint8_t(7));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(raw + 8), 20),
                 QByteArray(reinterpret_cast<const char *>(sim.scene(2)) + 140, 20));
        QCOMPARE(raw[8 + 3], uint8_t(0x77));

        // Writes: pages 0..53 acknowledged with report byte 5 = 0x15; page 54 is not answered.
        send(sim, bytes({5, 0x15, 6, 10}) + page20(1));
        QCOMPARE(reply(sim, raw), bytes({5, 0x15, 6, 10}));
        QCOMPARE(raw[5], uint8_t(0x15));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(sim.scene(6)) + 200, 20), page20(1));
        QVERIFY(sim.sceneUsed(6));
        QCOMPARE(sim.sceneName(6), QByteArray(16, char(0xFF)));
        send(sim, bytes({5, 0x15, 6, 54}) + page20(9));
        QCOMPARE(sim.pendingReplies(), size_t(0));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(sim.scene(6)) + 1080, 20), page20(9));

        sim.dropAckForScenePage(6, 11, 1);
        send(sim, bytes({5, 0x15, 6, 11}) + page20(2));
        QCOMPARE(sim.pendingReplies(), size_t(0));
        send(sim, bytes({5, 0x15, 6, 11}) + page20(2));
        QCOMPARE(reply(sim), bytes({5, 0x15, 6, 11}));
    }

    void parameterPageWrites()
    {
        SimProcessor sim;
        uint8_t raw[32];
        send(sim, bytes({5, 0x41, 1}) + page20(0x40));
        QCOMPARE(reply(sim, raw), bytes({5, 0x41, 1}));
        QCOMPARE(raw[5], uint8_t(0x41));
        QCOMPARE(mem(sim, 20, 20), page20(0x40));
        // Page 0 leaves the firmware version alone.
        send(sim, bytes({5, 0x41, 0}) + page20(0x10));
        QCOMPARE(reply(sim), bytes({5, 0x41, 0}));
        QCOMPARE(mem(sim, 0, 4), bytes({0x34, 0x12, 0, 0}));
        QCOMPARE(mem(sim, 4, 16), page20(0x10).mid(4));
        send(sim, bytes({5, 0x41, 54}) + page20(0x60));
        QCOMPARE(sim.pendingReplies(), size_t(0));
        QCOMPARE(mem(sim, 1080, 20), page20(0x60));

        sim.dropAckForPage(3, 2);
        for (int i = 0; i < 2; ++i) {
            send(sim, bytes({5, 0x41, 3}) + page20(0));
            QCOMPARE(sim.pendingReplies(), size_t(0));
        }
        send(sim, bytes({5, 0x41, 3}) + page20(0));
        QCOMPARE(reply(sim), bytes({5, 0x41, 3}));
    }

    void factoryResetRestoresMemoryAndEmptiesScenes()
    {
        SimProcessor sim;
        const QByteArray factory = sim.memoryBytes();
        sim.setFirmwareVersion(7);
        send(sim, {5, 0x04, 0, 0, 0});
        send(sim, bytes({5, 0x0E, 1}) + QByteArray("Keep me?").leftJustified(16, '\0'));
        send(sim, {5, 0x01, 0x01});
        QCOMPARE(sim.memoryBytes().mid(4), factory.mid(4));
        QCOMPARE(sim.firmwareVersion(), 7u);
        QVERIFY(!sim.sceneUsed(1));
        QCOMPARE(sim.sceneName(1), QByteArray(16, char(0xFF)));
        QCOMPARE(sim.pendingReplies(), size_t(0));
    }

    void firmwareBlocksAssembled()
    {
        SimProcessor sim;
        const QByteArray file = QByteArray("MVO") + QByteArray(37, 'x');  // 40 bytes
        auto block = [&](uint16_t index, const QByteArray &data) {
            send(sim, bytes({5, 0xB0, uint8_t(index >> 8), uint8_t(index)}) + data.leftJustified(16, char(0xFF)));
        };
        uint8_t raw[32];
        block(0, file.mid(0, 16));
        QCOMPARE(reply(sim, raw), bytes({5, 0xB0, 0, 0}));
        QCOMPARE(raw[5], uint8_t(0xB0));
        // A lost acknowledgement: the program sends the same block again.
        sim.dropAckForFirmwareBlock(1, 1);
        block(1, file.mid(16, 16));
        QCOMPARE(sim.pendingReplies(), size_t(0));
        block(1, file.mid(16, 16));
        QCOMPARE(reply(sim), bytes({5, 0xB0, 0, 1}));
        QVERIFY(!sim.firmwareComplete());
        sim.pushUnsolicitedInputSource(1);  // anything still queued is lost when the processor restarts
        block(0xFFFF, file.mid(32));
        QCOMPARE(sim.pendingReplies(), size_t(0));
        QVERIFY(sim.firmwareComplete());
        QCOMPARE(sim.firmwareUpgrades(), 1);
        QCOMPARE(sim.firmwareImage(), file + QByteArray(8, char(0xFF)));
        QCOMPARE(sim.firmwareBlockLog(), (std::vector<uint16_t>{0, 1, 1, 0xFFFF}));

        // The next image starts afresh; a missing block leaves it incomplete. Indexes are big-endian.
        block(0, QByteArray(16, 'a'));
        block(0x0102, QByteArray(16, 'b'));
        block(0xFFFF, QByteArray(16, 'c'));
        QVERIFY(!sim.firmwareComplete());
        QCOMPARE(sim.firmwareImage(), QByteArray(16, 'a'));
        QCOMPARE(sim.firmwareUpgrades(), 1);

        // A single-block image.
        block(0xFFFF, QByteArray("MVO"));
        QVERIFY(sim.firmwareComplete());
        QCOMPARE(sim.firmwareImage(), QByteArray("MVO").leftJustified(16, char(0xFF)));
        QCOMPARE(sim.rejectedCount(), 0);
    }

    void unsolicitedReplies()
    {
        SimProcessor sim;
        sim.pushUnsolicitedInputSource(2);
        sim.pushUnsolicitedMasterVolume(0x0123);
        QCOMPARE(reply(sim), bytes({0x02, 2}));
        QCOMPARE(reply(sim), bytes({0x0D, 0x23, 0x01}));
        QCOMPARE(sim.params().InputSource, uint8_t(2));
        QCOMPARE(sim.params().MasterVol, uint16_t(0x0123));
        sim.pushRawReply(bytes({0xFA, 0x2A}));
        uint8_t r[32];
        QVERIFY(sim.takeReply(r));
        QCOMPARE(r[1], uint8_t(0x2A));
        QCOMPARE(r[2], uint8_t(0));
    }

    void replyFaults()
    {
        SimProcessor sim;
        sim.dropNextReplies(2);
        send(sim, {6, 0x16});
        send(sim, {6, 0xAA, 0});
        QCOMPARE(sim.pendingReplies(), size_t(0));
        send(sim, {6, 0xAA, 1});
        QCOMPARE(reply(sim).left(2), bytes({0xAA, 1}));

        sim.corruptNextReply();
        send(sim, {6, 0xAA, 2});
        send(sim, {6, 0xAA, 3});
        QVERIFY(sim.pendingReplies() == 2);
        QVERIFY(reply(sim).isEmpty());  // the scanner drops it
        QCOMPARE(reply(sim).left(2), bytes({0xAA, 3}));

        sim.setSilent(true);
        send(sim, {6, 0x16});
        send(sim, bytes({5, 0x41, 2}) + page20(5));
        sim.pushUnsolicitedMasterVolume(10);
        QCOMPARE(sim.pendingReplies(), size_t(0));
        QCOMPARE(mem(sim, 40, 20), page20(5));  // writes still applied
        sim.setSilent(false);

        sim.setIdentName(QByteArray("NV_PRC52X"));
        send(sim, {6, 0x16});
        QCOMPARE(reply(sim), bytes({0x16}) + QByteArray("NV_PRC52X") + QByteArray(7, '\0'));
        sim.setIdentName(QByteArray("NV_PRC52") + QByteArray(8, char(0xFF)));
        send(sim, {6, 0x16});
        QCOMPARE(reply(sim).mid(9), QByteArray(8, char(0xFF)));

        sim.clearLog();
        QVERIFY(sim.reportLog().empty());
        QCOMPARE(sim.rejectedCount(), 0);
    }

    void deviceOpenWriteReadClose()
    {
        SimProcessor sim;
        SimDevice dev(sim);
        uint8_t f[32] = {};
        const uint8_t req[] = {6, 0x16};
        BuildReportFrame(f, 0, req, 2);
        uint8_t buf[32];

        QCOMPARE(dev.write(f, 32), -1);  // not open
        QCOMPARE(dev.read(buf, 32, 100), -1);
        QVERIFY(!dev.open(PROCESSOR_VID, 0x0001));
        QVERIFY(!dev.open(0x0001, PROCESSOR_PID));
        sim.setPlugged(false);
        QVERIFY(!dev.open(PROCESSOR_VID, PROCESSOR_PID));
        QCOMPARE(dev.openHandles(), 0);
        sim.setPlugged(true);

        sim.pushUnsolicitedInputSource(1);  // queued before the open: never seen
        QVERIFY(dev.open(PROCESSOR_VID, PROCESSOR_PID));
        QCOMPARE(dev.read(buf, 32, 0), 0);
        QCOMPARE(dev.write(f, 31), -1);
        QCOMPARE(dev.write(f, 32), 32);
        QCOMPARE(sim.reportLog().size(), size_t(1));
        QCOMPARE(dev.read(buf, 5, 100), 5);  // a short buffer takes the head of the report
        QCOMPARE(buf[4], uint8_t(0x16));
        QCOMPARE(dev.read(buf, 32, -1), 0);  // nothing left: no waiting by default

        // Opening again closes the old handle first.
        QVERIFY(dev.open(PROCESSOR_VID, PROCESSOR_PID));
        QCOMPARE(dev.openHandles(), 1);
        QCOMPARE(dev.openCount(), 2);
        QCOMPARE(dev.closeCount(), 1);

        // Unplugged while open: writes and reads fail, even after re-plugging, until reopened.
        dev.write(f, 32);
        sim.setPlugged(false);
        QCOMPARE(sim.pendingReplies(), size_t(0));
        QCOMPARE(dev.write(f, 32), -1);
        QCOMPARE(dev.read(buf, 32, 0), -1);
        QVERIFY(dev.isOpen());
        sim.setPlugged(true);
        QCOMPARE(dev.write(f, 32), -1);
        QVERIFY(dev.open(PROCESSOR_VID, PROCESSOR_PID));
        QCOMPARE(dev.write(f, 32), 32);
        QCOMPARE(dev.read(buf, 32, 0), 32);
        dev.close();
        dev.close();
        QCOMPARE(dev.openHandles(), 0);
        QCOMPARE(dev.openCount(), dev.closeCount());

        // Real time-outs wait, but a negative time-out is still bounded.
        QVERIFY(dev.open(PROCESSOR_VID, PROCESSOR_PID));
        dev.setRealTimeouts(true);
        QElapsedTimer t;
        t.start();
        QCOMPARE(dev.read(buf, 32, -1), 0);
        QVERIFY(t.elapsed() >= 90);
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"
