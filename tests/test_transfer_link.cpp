// The pieces under every transfer: reply frames, acknowledgements, bounded tries and the one transfer slot.
#include "TestRig.h"
#include "TransferKit.h"

#include "Commands.h"
#include "LinkState.h"
#include "TransferGuard.h"
#include "TransferLink.h"

#include <QtTest>

#include <initializer_list>

namespace {

// An input report carrying one reply frame with this payload.
QByteArray report(std::initializer_list<uint8_t> payload, int checksumError = 0)
{
    QByteArray r(32, 0);
    r[0] = char(0xFA);
    r[1] = 0x2A;
    r[2] = 9;
    r[3] = char(payload.size());
    unsigned sum = 0xFA + 0x2A + 9 + unsigned(payload.size());
    int i = 4;
    for (uint8_t b : payload) {
        r[i++] = char(b);
        sum += b;
    }
    r[i++] = char((sum + unsigned(checksumError)) & 0xFF);
    r[i] = char(0xF5);
    return r;
}

bool ack(const QByteArray &r, uint8_t code, std::initializer_list<uint8_t> index)
{
    const uint8_t *payload = nullptr;
    int n = 0;
    if (!TransferLink::framedPayload(reinterpret_cast<const uint8_t *>(r.constData()), r.size(), &payload, &n)) return false;
    const std::vector<uint8_t> idx(index);
    return TransferLink::isAck(payload, n, code, idx.data(), int(idx.size()));
}

}  // namespace

class TestTransferLink : public QObject
{
    Q_OBJECT
private slots:
    void acknowledgements()
    {
        QVERIFY(ack(report({5, 0x41, 7}), 0x41, {7}));
        QVERIFY(ack(report({5, 0x41}), 0x41, {7}));  // an acknowledgement without its index
        QVERIFY(!ack(report({5, 0x41, 6}), 0x41, {7}));  // a late one for another page
        QVERIFY(!ack(report({5, 0x41, 7}, 1), 0x41, {7}));  // checksum
        QVERIFY(!ack(report({5, 0x15, 3, 7}), 0x41, {7}));
        QVERIFY(ack(report({5, 0xB0, 0x01, 0x02}), 0xB0, {0x01, 0x02}));
        QVERIFY(!ack(report({5, 0xB0, 0x02, 0x01}), 0xB0, {0x01, 0x02}));  // block number high byte first
        QVERIFY(ack(report({5, 0x15, 3, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}), 0x15, {3, 7}));
        QVERIFY(!ack(report({5}), 0x41, {}));
        QByteArray cut = report({5, 0x41, 7});
        QVERIFY(!ack(cut.left(6), 0x41, {7}));  // the frame runs past the data
        cut = report({5, 0x41, 7});
        cut[1] = 0x2B;
        QVERIFY(!ack(cut, 0x41, {7}));
        QByteArray longLength = report({5, 0x41, 7});
        longLength[3] = 40;
        QVERIFY(!ack(longLength, 0x41, {7}));
    }

    void boundedTriesResendTheSameFrame()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        rig.sim.setSilent(true);
        Session().Pace.maxTries = 7;
        int sends = 0;
        TransferLink::AckStep step;
        const uint8_t data[20] = {1, 2, 3};
        step.send = [&] {
            ++sends;
            CMD_PARAM_PAGE_WRITE(Session(), 4, data);
        };
        step.accept = [](const uint8_t *, int) { return true; };
        step.gapMs = 0;
        QCOMPARE(TransferLink(Session()).acknowledged(step), TransferResult::NoAnswer);
        QCOMPARE(sends, 7);
        const auto sent = rig.sent();
        QCOMPARE(int(sent.size()), 7);
        for (const QByteArray &p : sent) QCOMPARE(p, sent[0]);
        // A stray report before the acknowledgement is skipped, not taken for it.
        rig.sim.setSilent(false);
        sends = 0;
        step.send = [&] {
            ++sends;
            rig.sim.pushUnsolicitedInputSource(1);  // arrives between the frame and its acknowledgement
            CMD_PARAM_PAGE_WRITE(Session(), 4, data);
        };
        step.accept = [](const uint8_t *p, int n) { return TransferLink::isAck(p, n, 0x41, nullptr, 0); };
        QCOMPARE(TransferLink(Session()).acknowledged(step), TransferResult::Ok);
        QCOMPARE(sends, 1);
        // A lost link ends it before anything is sent.
        Session().Link.Connected = 0;
        QCOMPARE(TransferLink(Session()).acknowledged(step), TransferResult::LinkLost);
        QCOMPARE(sends, 1);
    }

    void oneTransferSlot()
    {
        TestRig rig;
        Session().Link.ResyncCountdown = 30;
        QList<bool> seen;
        TransferGuard::setObserver(Session().Link, [&seen](bool busy) { seen << busy; });
        {
            TransferGuard first(Session().Link);
            QVERIFY(first.acquired());
            QCOMPARE(Session().Link.ResyncCountdown, uint16_t(0));  // no re-read in the middle of a transfer
            TransferGuard second(Session().Link);
            QVERIFY(!second.acquired());
            QVERIFY(TransferGuard::busy(Session().Link));
        }
        QVERIFY(!TransferGuard::busy(Session().Link));
        QCOMPARE(Session().Link.ResyncCountdown, uint16_t(30));
        {
            TransferGuard g(Session().Link);
            Session().Link.ResyncCountdown = 10;  // the operation asked for its own re-read
        }
        QCOMPARE(Session().Link.ResyncCountdown, uint16_t(10));
        QCOMPARE(seen, (QList<bool>{true, false, true, false}));
    }
};

QTEST_MAIN(TestTransferLink)
#include "test_transfer_link.moc"
