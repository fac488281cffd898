// The plausibility check of scene files: the ranges at their edges, the readable findings, both file kinds.
#include "ParamStore.h"
#include "SceneCheck.h"
#include "SceneFile.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cstring>
#include <functional>

namespace {
// A file of the factory parameters, gains in the processor's encoding.
ParamBlock factoryFile()
{
    ParamBlock b;
    std::memset(&b, 0, sizeof b);
    b.setDefaults();
    b.MasterVol = 600;
    std::memcpy(&b, SceneFile::singleImage(b).constData(), sizeof b);
    return b;
}

QByteArray bytesOf(const ParamBlock &b) { return QByteArray(reinterpret_cast<const char *>(b.bytes()), STORE_SIZE); }
}  // namespace

Q_DECLARE_METATYPE(std::function<void(ParamBlock &, int)>)

class TestSceneCheck : public QObject
{
    Q_OBJECT

private slots:
    void factoryFilePasses()
    {
        QVERIFY(SceneCheck::checkFile(bytesOf(factoryFile())).empty());
    }

    void edges_data()
    {
        QTest::addColumn<std::function<void(ParamBlock &, int)>>("set");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<QString>("text");
        using S = std::function<void(ParamBlock &, int)>;
        QTest::newRow("gain") << S([](ParamBlock &b, int v) { b.EqGain[1][4] = uint16_t(v); }) << 120 << 360
                              << "CH2 EQ5 EqGain: %1 (120..360)";
        QTest::newRow("q") << S([](ParamBlock &b, int v) { b.EqQ[5][30] = uint8_t(v); }) << 4 << 100 << "CH6 EQ31 EqQ: %1 (4..100)";
        QTest::newRow("band freq") << S([](ParamBlock &b, int v) { b.EqFreq[0][0] = uint16_t(v); }) << 20 << 20000
                                   << "CH1 EQ1 EqFreq: %1 (20..20000)";
        QTest::newRow("hpf") << S([](ParamBlock &b, int v) { b.HpfFreq[2] = uint16_t(v); }) << 20 << 20000
                             << "CH3 HpfFreq: %1 (20..20000)";
        QTest::newRow("lpf slope") << S([](ParamBlock &b, int v) { b.LpfSlope[3] = uint8_t(v); }) << 0 << 7 << "CH4 LpfSlope: %1 (0..7)";
        QTest::newRow("hpf type") << S([](ParamBlock &b, int v) { b.HpfType[0] = uint8_t(v); }) << 0 << 2 << "CH1 HpfType: %1 (0..2)";
        QTest::newRow("name") << S([](ParamBlock &b, int v) { b.ChName[4] = uint8_t(v); }) << 0 << 20 << "CH5 ChName: %1 (0..20)";
        QTest::newRow("volume") << S([](ParamBlock &b, int v) { b.ChVol[1] = uint16_t(v); }) << 0 << 600 << "CH2 ChVol: %1 (0..600)";
        QTest::newRow("delay") << S([](ParamBlock &b, int v) { b.ChDelay[5] = uint16_t(v); }) << 0 << 1500 << "CH6 ChDelay: %1 (0..1500)";
        QTest::newRow("master") << S([](ParamBlock &b, int v) { b.MasterVol = uint16_t(v); }) << 0 << 600 << "MasterVol: %1 (0..600)";
        QTest::newRow("gate") << S([](ParamBlock &b, int v) { b.NoiseGate = uint16_t(v); }) << 0 << 6 << "NoiseGate: %1 (0..6)";
        QTest::newRow("source") << S([](ParamBlock &b, int v) { b.InputSource = uint8_t(v); }) << 0 << 2 << "InputSource: %1 (0..2)";
        QTest::newRow("bypass") << S([](ParamBlock &b, int v) { b.LpfBypass[2] = uint8_t(v); }) << 0 << 1 << "CH3 LpfBypass: %1 (0..1)";
    }
    void edges()
    {
        QFETCH(std::function<void(ParamBlock &, int)>, set);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(QString, text);
        for (int v : {low, high, low - 1, high + 1}) {
            if (v < 0) continue;
            ParamBlock b = factoryFile();
            set(b, v);
            const SceneCheck::Findings f = SceneCheck::checkFile(bytesOf(b));
            if (v >= low && v <= high) {
                QVERIFY2(f.empty(), qPrintable(QString::number(v)));
            } else {
                QCOMPARE(int(f.size()), 1);
                QCOMPARE(SceneCheck::describe(f[0]), text.arg(v));
            }
        }
    }

    void allScenesFileNamesTheScene()
    {
        QByteArray all;
        for (int k = 1; k <= SCENE_COUNT; ++k) {
            ParamBlock b = factoryFile();
            if (k == 3) b.EqQ[1][4] = 250;
            if (k == 9) b.ChMute[0] = b.ChMute[5] = 2;
            all += bytesOf(b);
        }
        const SceneCheck::Findings f = SceneCheck::checkFile(all);
        QCOMPARE(int(f.size()), 3);
        QCOMPARE(SceneCheck::describeFirst(f, 2),
                 QStringList({"Mode3 CH2 EQ5 EqQ: 250 (4..100)", "Mode9 CH1 ChMute: 2 (0..1)"}));
        QCOMPARE(SceneCheck::describe(f[1], QStringLiteral("静音")), QStringLiteral("Mode9 CH1 静音: 2 (0..1)"));
    }

    void garbageAndShortData()
    {
        // A random file, as a mistaken pick in the file dialog: hundreds of fields out.
        QByteArray junk(STORE_SIZE, '\0');
        QRandomGenerator rng(7);
        for (char &c : junk) c = char(rng.bounded(256));
        QVERIFY(SceneCheck::checkFile(junk).size() > 300);
        QCOMPARE(SceneCheck::describeFirst(SceneCheck::checkFile(junk), 4).size(), 4);
        // Less than one parameter image is not a scene file at all.
        QVERIFY(SceneCheck::checkFile(junk.left(IMAGE_SIZE - 1)).empty());
    }
};

QTEST_GUILESS_MAIN(TestSceneCheck)
#include "test_scene_check.moc"
