// Cases the fuzz targets found, kept as plain tests against the simulated processor.
#include "TestRig.h"

#include "FirmwareImage.h"
#include "FirmwareTransfer.h"
#include "LinkState.h"
#include "SimDevice.h"
#include "SimProcessor.h"
#include "TransferLink.h"
#include "Transport.h"

#include <QtTest>

#include <algorithm>
#include <vector>

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestRig::resetGlobals();
        Session().Pace = TransferPace();
        Session().Pace.readMs = 20;
    }

    // An image of one block is only the final block: its progress used to stop short of 100.
    void firmwareOfOneBlockEndsAtFullProgress()
    {
        SimProcessor sim;
        SimDevice device(sim);
        Session().Port.setDevice(&device);
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        for (const int size : {3, 16, 17}) {
            FirmwareImage image;
            QCOMPARE(image.loadData(QByteArray("MVO") + QByteArray(size - 3, char(0x5A))), FirmwareImage::Load::Ok);
            std::vector<int> progress;
            Session().Link.Connected = 1;
            QCOMPARE(FirmwareTransfer(Session()).send(image, [&](int v) { progress.push_back(v); }), TransferResult::Ok);
            QCOMPARE(progress.back(), 100);
            QVERIFY(std::is_sorted(progress.begin(), progress.end()));
            QCOMPARE(sim.firmwareBlockLog().back(), SimProcessor::FINAL_FIRMWARE_BLOCK);
        }
        Session().Port.setDevice(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "test_fuzz_regressions.moc"
