// Framing: output report layout and the reply scanner.
#include "Framing.h"

#include <QtTest>

class TestFraming : public QObject
{
    Q_OBJECT
private slots:
    void deviceNameRequestBytes()
    {
        uint8_t f[32] = {};
        const uint8_t p[] = {6, 0x16};
        QVERIFY(BuildReportFrame(f, 0, p, 2));
        const uint8_t want[] = {0x00, 0x20, 0xFA, 0xA2, 0x00, 0x02, 0x06, 0x16, 0xBA, 0xF5};
        QCOMPARE(QByteArray((const char *)f, 10), QByteArray((const char *)want, 10));
    }
};

QTEST_GUILESS_MAIN(TestFraming)
#include "test_framing.moc"
