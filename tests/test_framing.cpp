// Framing: the output report layout, the send gates and the reply scanner.
#include "Commands.h"
#include "TestModel.h"
#include "Framing.h"
#include "LinkState.h"
#include "Transport.h"

#include <QtTest>
#include <cstring>
#include <vector>

namespace {

// A device that records every report written.
class RecordingDevice : public DeviceIo
{
public:
    std::vector<QByteArray> writes;
    bool failWrites = false;
    bool opened = false;
    bool open(uint16_t, uint16_t) override { return opened = true; }
    int write(const uint8_t *r, size_t n) override
    {
        if (failWrites) return -1;
        writes.emplace_back(reinterpret_cast<const char *>(r), int(n));
        return int(n);
    }
    int read(uint8_t *, size_t, int) override { return 0; }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
};

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

// Places raw bytes in the scanner's buffer.
void feed(ReplyScanner &s, const QByteArray &bytes)
{
    s.clear();
    std::memset(s.RxBuffer, 0, sizeof s.RxBuffer);
    std::memcpy(s.RxBuffer, bytes.constData(), size_t(qMin(bytes.size(), 32)));
    s.RxCount = uint16_t(qMin(bytes.size(), 32));
}

// A valid reply frame with this sequence number and payload.
QByteArray reply(uint8_t seq, const QByteArray &payload)
{
    QByteArray f;
    f.append(char(0xFA)).append(char(0x2A)).append(char(seq)).append(char(payload.size())).append(payload);
    unsigned sum = 0xFA + 0x2A + seq + unsigned(payload.size());
    for (char c : payload) sum += uint8_t(c);
    f.append(char(sum & 0xFF)).append(char(0xF5));
    return f;
}

}  // namespace

class TestFraming : public QObject
{
    Q_OBJECT
    RecordingDevice dev;

private slots:
    void init()
    {
        Session().resetLink();
        dev.writes.clear();
        dev.failWrites = false;
        dev.opened = true;
        Session().Port.setDevice(&dev);
        Session().Port.SeqNo = 0;
        Session().Port.onWriteFailed = nullptr;
        std::memset(Session().Port.ReportFrame, 0, sizeof Session().Port.ReportFrame);
    }
    void cleanup() { Session().Port.setDevice(nullptr); }

    void deviceNameRequestBytes()
    {
        REQ_DEVICE_NAME(Session());
        QCOMPARE(dev.writes.size(), size_t(1));
        QCOMPARE(dev.writes[0].size(), 32);
        QCOMPARE(dev.writes[0].left(10), hex("0020FAA2000206 16BAF5"));
        QCOMPARE(Session().Port.SeqNo, uint8_t(1));
    }

    void longestPayloadPutsTrailerInByte31()
    {
        uint8_t frame[32] = {};
        uint8_t payload[24];
        for (int i = 0; i < 24; ++i) payload[i] = uint8_t(i + 1);
        QVERIFY(BuildReportFrame(frame, 7, payload, 24));
        QCOMPARE(frame[5], uint8_t(24));
        QCOMPARE(frame[31], uint8_t(0xF5));
        unsigned sum = 0xFA + 0xA2 + 7 + 24 + 300;  // 1 + 2 + ... + 24 = 300
        QCOMPARE(frame[30], uint8_t(sum & 0xFF));
        QVERIFY(!BuildReportFrame(frame, 0, payload, 25));
        QVERIFY(!BuildReportFrame(frame, 0, payload, 0));
    }

    void downloadGateDropsSetCommandsOnly()
    {
        Session().Link.Downloading = 1;
        Session().Link.HeartbeatCountdown = 3;
        CMD_CH_VOLUME(Session(), 0);
        QCOMPARE(dev.writes.size(), size_t(0));
        QCOMPARE(Session().Link.HeartbeatCountdown, uint16_t(400));
        Session().Link.HeartbeatCountdown = 3;
        REQ_PARAM_PAGE(Session(), 5);
        QCOMPARE(dev.writes.size(), size_t(1));
        QCOMPARE(dev.writes[0].mid(6, 3), hex("06AA05"));
        QCOMPARE(Session().Link.HeartbeatCountdown, uint16_t(400));
    }

    void suppressDropsEverythingButReloadsCountdown()
    {
        Session().Link.SuppressSend = 1;
        Session().Link.HeartbeatCountdown = 9;
        REQ_PARAM_PAGE(Session(), 1);
        CMD_MASTER_VOLUME(Session());
        QCOMPARE(dev.writes.size(), size_t(0));
        QCOMPARE(Session().Link.HeartbeatCountdown, uint16_t(400));
        QCOMPARE(Session().Port.SeqNo, uint8_t(0));  // dropped frames take no sequence number
    }

    void heartbeatBypassesGatesAndCountdown()
    {
        Session().Link.SuppressSend = 1;
        Session().Link.Downloading = 1;
        Session().Link.HeartbeatCountdown = 17;
        REQ_HEARTBEAT(Session());
        QCOMPARE(dev.writes.size(), size_t(1));
        QCOMPARE(dev.writes[0].mid(5, 3), hex("020600"));
        QCOMPARE(Session().Link.HeartbeatCountdown, uint16_t(17));
    }

    void sequenceNumberWrapsAfter256Frames()
    {
        for (int i = 0; i < 256; ++i) REQ_HEARTBEAT(Session());
        QCOMPARE(Session().Port.SeqNo, uint8_t(0));
        QCOMPARE(uint8_t(dev.writes[255][4]), uint8_t(255));
        REQ_HEARTBEAT(Session());
        QCOMPARE(uint8_t(dev.writes[256][4]), uint8_t(0));
    }

    void noDeviceBuildsButDoesNotSend()
    {
        dev.opened = false;
        REQ_DEVICE_NAME(Session());
        QCOMPARE(dev.writes.size(), size_t(0));
        QCOMPARE(Session().Port.SeqNo, uint8_t(1));
    }

    void failedWriteMarksLinkLostAndReportsOnce()
    {
        int boxes = 0;
        Session().Port.onWriteFailed = [&boxes] { ++boxes; };
        Session().Link.Connected = 1;
        dev.failWrites = true;
        CMD_CH_MUTE(Session(), 2);
        CMD_CH_MUTE(Session(), 3);
        QCOMPARE(Session().Link.Connected, uint8_t(0));
        QCOMPARE(Session().Link.LinkLost, uint8_t(1));
        QCOMPARE(boxes, 1);
    }

    void scannerFindsValidReply()
    {
        ReplyScanner s;
        feed(s, QByteArray(3, '\x00') + reply(9, hex("0D5802")));
        QVERIFY(s.scan());
        QCOMPARE(s.ReplyLength, uint8_t(3));
        QCOMPARE(QByteArray((const char *)s.ReplyPayload, 3), hex("0D5802"));
        QCOMPARE(s.RxPos, uint16_t(3 + 9));
    }

    void wrongChecksumDroppedAndScanResumesBehindIt()
    {
        QByteArray bad = reply(1, hex("0201"));
        bad[6] = char(bad[6] + 1);  // checksum
        ReplyScanner s;
        feed(s, bad + reply(2, hex("0202")));
        QVERIFY(!s.scan());
        QCOMPARE(s.RxPos, uint16_t(7));  // behind the checksum byte
        QVERIFY(s.scan());
        QCOMPARE(QByteArray((const char *)s.ReplyPayload, 2), hex("0202"));
    }

    void badTrailerAndBadSecondHeaderDropped()
    {
        QByteArray bad = reply(1, hex("0201"));
        bad[7] = 0x00;
        ReplyScanner s;
        feed(s, bad);
        QVERIFY(!s.scan());
        feed(s, hex("FA2B0102020100F5"));
        QVERIFY(!s.scan());
        QCOMPARE(s.RxPos, uint16_t(1));
    }

    void truncatedFrameStopsAtTheEndOfData()
    {
        const QByteArray full = reply(1, hex("AA01000102030405060708090A0B0C0D0E0F10111213"));
        ReplyScanner s;
        feed(s, full.left(20));
        QVERIFY(!s.scan());
        QCOMPARE(s.RxPos, uint16_t(20));
        QVERIFY(!s.scan());  // nothing more to read
    }

    void lengthClaimingMoreThanTheReportNeverReadsPast()
    {
        // Header claims 200 payload bytes in a 32-byte report.
        QByteArray r = hex("FA2A01C8");
        r.append(QByteArray(28, '\x11'));
        ReplyScanner s;
        feed(s, r);
        s.RxBuffer[31] = 0x11;
        QVERIFY(!s.scan());
        QCOMPARE(s.RxPos, uint16_t(32));
        QVERIFY(s.ReplyLength <= 28);
        // A count beyond the buffer is clamped as well.
        s.clear();
        s.RxCount = 400;
        QVERIFY(!s.scan());
        QVERIFY(s.RxPos <= 32);
    }

    void tooFewBytesDoNotStartAScan()
    {
        ReplyScanner s;
        feed(s, hex("FA2A0101"));
        QVERIFY(!s.scan());
        QCOMPARE(s.RxPos, uint16_t(0));
    }
};

QTEST_GUILESS_MAIN(TestFraming)
#include "test_framing.moc"
