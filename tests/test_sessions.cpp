// Two complete processor sessions in one process: each processor hears only its own session's frames, and
// each model's history is its own.
#include "HeadlessSession.h"
#include "TuningModel.h"

#include <QtTest>

namespace {

QByteArray hex(const std::vector<QByteArray> &payloads)
{
    QByteArray all;
    for (const QByteArray &p : payloads) all += p.toHex().toUpper() + ' ';
    return all.trimmed();
}

}  // namespace

class TestSessions : public QObject
{
    Q_OBJECT
private slots:
    void framesAndUndoStayInTheirSession()
    {
        HeadlessSession a;
        HeadlessSession b;
        const QByteArray aStart = a.processor().memoryBytes();
        const QByteArray bStart = b.processor().memoryBytes();

        QVERIFY(a.model().setVolume(0, 500));
        b.model().togglePhase(2);
        QVERIFY(b.model().setVolume(1, 300));
        QCOMPARE(hex(a.processor().payloads()), QByteArray("050400F401"));
        QCOMPARE(hex(b.processor().payloads()), QByteArray("050A0201 0504012C01"));
        QCOMPARE(a.model().store.ChPhase[2], uint8_t(0));
        QCOMPARE(b.model().store.ChVol[0], a.model().store.ChVol[1]);  // both still at the start value

        // Undo in one session sends to its own processor only and leaves the other's history alone.
        a.processor().clearLog();
        b.processor().clearLog();
        QVERIFY(a.model().undo());
        QVERIFY(!a.model().undo());
        QCOMPARE(a.processor().memoryBytes(), aStart);
        QVERIFY(b.processor().payloads().empty());
        QCOMPARE(b.model().store.ChVol[1], uint16_t(300));
        QCOMPARE(b.model().store.ChPhase[2], uint8_t(1));

        QVERIFY(b.model().undo());
        QVERIFY(b.model().undo());
        QVERIFY(!b.model().undo());
        QCOMPARE(b.processor().memoryBytes(), bStart);
        QVERIFY(a.processor().payloads().size() == 1);  // a's own undo frame, nothing of b's

        // A lost link is lost in its own session only.
        a.setPlugged(false);
        a.model().togglePhase(0);
        QVERIFY(!a.model().linked());
        QVERIFY(b.model().linked());
    }
};

QTEST_MAIN(TestSessions)
#include "test_sessions.moc"
