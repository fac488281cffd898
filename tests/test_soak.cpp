// A long run on the simulated processor: random edits of every control kind, channel and language switches,
// unplugging, lost and corrupted replies and a processor that stops answering for a while.
#include "CrossoverSlots.h"
#include "EqualizerSlots.h"
#include "InputSlots.h"
#include "LanguageSwitch.h"
#include "ChannelNaming.h"
#include "OutputSlots.h"
#include "ChannelLink.h"
#include "TuningModel.h"
#include "LinkState.h"
#include "TestRig.h"
#include "Transport.h"

#include <QLineEdit>
#include <QRandomGenerator>
#include <QSlider>
#include <QtTest>

namespace {

constexpr int SoakTicks = 30000;

// One random edit through the window's own slots, as a user would make it.
void randomEdit(Kestrun &w, QRandomGenerator &rng)
{
    const int ch = rng.bounded(CH_COUNT);
    const int b = rng.bounded(BAND_COUNT);
    switch (rng.bounded(22)) {
    case 0: w.ui->Slider_EQ_Gain_Bar[b]->setValue(rng.bounded(241)); break;
    case 1:
        w.ui->Edit_EQ_Freq[b]->setText(QString::number(rng.bounded(25000)));
        w.equalizer().eqFreqEdited(b);
        break;
    case 2:
        w.ui->Edit_EQ_Q[b]->setText(QString::number(rng.bounded(120) / 10.0));
        w.equalizer().eqQEdited(b);
        break;
    case 3:
        w.ui->Edit_EQ_Gain[b]->setText(QString::number(rng.bounded(-200, 200) / 10.0));
        w.equalizer().eqGainEdited(b);
        break;
    case 4: w.ui->Slider_CHVol_Bar[ch]->setValue(rng.bounded(601)); break;
    case 5:
        w.ui->Edit_CHDelay[ch]->setText(QString::number(rng.bounded(1700) / 100.0));
        w.outputs().chDelayEdited(ch);
        break;
    case 6: w.outputs().phaseClicked(ch); break;
    case 7: w.outputs().muteClicked(ch); break;
    case 8: w.outputs().syncClicked(ch); break;
    case 9: w.outputs().on_BT_MainMute_clicked(); break;
    case 10: w.ui->Slider_Total_Bar->setValue(rng.bounded(601)); break;
    case 11: w.crossover().filterTypeChosen(rng.bounded(2), rng.bounded(3)); break;
    case 12: w.crossover().filterSlopeChosen(rng.bounded(2), rng.bounded(9)); break;
    case 13: {
        const int f = rng.bounded(2);
        (f ? w.ui->Edit_LPF_Freq : w.ui->Edit_HPF_Freq)->setText(QString::number(rng.bounded(21000)));
        w.crossover().filterFreqEdited(f);
        break;
    }
    case 14: w.crossover().filterStep(rng.bounded(2), rng.bounded(2)); break;
    case 15: w.inputs().noiseGateChosen(rng.bounded(7)); break;
    case 16: (rng.bounded(2) ? w.inputs().on_BT_INPUT_HI_clicked() : w.inputs().on_BT_INPUT_OPT_clicked()); break;
    case 17: w.naming().channelNameChosen(ch, rng.bounded(21)); break;
    case 18: w.outputs().BT_CH_Switch(uint8_t(ch)); break;
    case 19: (rng.bounded(2) ? w.language().Option_Sub6_Fun() : w.language().Option_Sub7_Fun()); break;
    case 20: w.equalizer().on_BT_EQ_BYPASS_clicked(); break;
    case 21: (rng.bounded(2) ? w.outputs().ms_Fun() : w.outputs().cm_Fun()); break;
    }
}

// The processor's memory in the store's encoding: gains in host encoding.
QByteArray processorAsStore(const SimProcessor &sim)
{
    ParamBlock p = sim.params();
    for (auto &row : p.EqGain)
        for (auto &g : row) g = uint16_t(g - GAIN_DEVICE_OFFSET);
    return QByteArray(reinterpret_cast<const char *>(p.bytes()), IMAGE_SIZE);
}

}  // namespace

class TestSoak : public QObject
{
    Q_OBJECT
private slots:
    void longRunStaysConsistent()
    {
        TestRig rig(true);
        Kestrun &w = *rig.w;
        QRandomGenerator rng(20261209);
        int silentUntil = -1;
        for (int t = 0; t < SoakTicks; ++t) {
            // Set commands are held back while the state is read (the download overwrites the store), so
            // the installer's edits come between downloads, as they do at the desk.
            if (!Session().Link.Downloading && rng.bounded(12) == 0) randomEdit(w, rng);
            switch (rng.bounded(2500)) {
            case 0: rig.sim.setPlugged(false); break;
            case 1: rig.sim.setPlugged(true); break;
            case 2: rig.sim.dropNextReplies(1 + rng.bounded(3)); break;
            case 3: rig.sim.corruptNextReply(); break;
            case 4:
                rig.sim.setSilent(true);
                silentUntil = t + 200 + rng.bounded(800);
                break;
            default: break;
            }
            if (t == silentUntil) rig.sim.setSilent(false);
            rig.tick();
            QVERIFY(rig.dev.openHandles() <= 1);
            QVERIFY(Model().CurCh < CH_COUNT);
        }

        // The link comes back, the state is read again, and the last edits reach the processor.
        rig.sim.setSilent(false);
        rig.sim.setPlugged(true);
        Session().Link.ResyncCountdown = 1;
        rig.tick(400);  // long enough to re-identify or, if the link was down, to find the processor again
        QVERIFY(rig.connectAndDownload());
        for (int i = 0; i < 200; ++i) {
            randomEdit(w, rng);
            rig.tick();
        }
        QVERIFY(Session().Link.Connected);
        QVERIFY(!Session().Link.Downloading);

        const ParamBlock &s = Session().ParamStore;
        QVERIFY(s.InputSource <= 2 && s.MasterVol <= 600 && s.NoiseGate <= 6);
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            QVERIFY(s.ChVol[ch] <= 600 && s.ChDelay[ch] <= 1500 && s.ChPhase[ch] <= 1 && s.ChMute[ch] <= 1);
            QVERIFY(s.HpfFreq[ch] >= 20 && s.HpfFreq[ch] <= 20000 && s.HpfSlope[ch] <= 7 && s.HpfType[ch] <= 2);
            QVERIFY(s.LpfFreq[ch] >= 20 && s.LpfFreq[ch] <= 20000 && s.LpfSlope[ch] <= 7 && s.LpfType[ch] <= 2);
            for (int b = 0; b < BAND_COUNT; ++b) {
                QVERIFY(s.EqGain[ch][b] <= 240);
                QVERIFY(s.EqFreq[ch][b] >= 20 && s.EqFreq[ch][b] <= 20000);
                QVERIFY(s.EqQ[ch][b] >= 4 && s.EqQ[ch][b] <= 100);
            }
        }
        const QByteArray store(reinterpret_cast<const char *>(s.bytes()), IMAGE_SIZE);
        const QByteArray processor = processorAsStore(rig.sim);
        for (int i = 0; i < IMAGE_SIZE; ++i)
            QVERIFY2(store[i] == processor[i], qPrintable(QStringLiteral("byte %1: store %2, processor %3")
                                                             .arg(i)
                                                             .arg(uint8_t(store[i]))
                                                             .arg(uint8_t(processor[i]))));
        QVERIFY(rig.sim.rejectedCount() == 0);
    }

    void garbledPagesAreAskedForAgainBeforeTheLast()
    {
        TestRig rig(true);
        // A processor image that differs from the window's defaults on every page.
        for (int i = 4; i < IMAGE_SIZE; ++i) rig.sim.memory()[i] = uint8_t(rig.sim.memory()[i] ^ 0x01);
        for (int ch = 0; ch < CH_COUNT; ++ch)
            for (int b = 0; b < BAND_COUNT; ++b) {
                ParamBlock &p = *reinterpret_cast<ParamBlock *>(rig.sim.memory());
                p.EqGain[ch][b] = uint16_t(130 + b);
                p.EqFreq[ch][b] = uint16_t(100 + b);
                p.EqQ[ch][b] = 20;
            }
        // Identification, then pages 0..4 arrive; the reply to page 5 is garbled.
        rig.tick(1);  // open and identify (the first open happens on the first tick)
        int guard = 0;
        while (!(Session().Link.Downloading && Session().Link.ParamPage == 5 && !Session().Link.AwaitingReply) && ++guard < 100) rig.tick();
        rig.sim.corruptNextReply();
        QVERIFY(rig.connectAndDownload());
        int requestsOf5 = 0;
        std::vector<int> order;
        for (const QByteArray &p : rig.sent())
            if (p.size() == 3 && uint8_t(p[0]) == 6 && uint8_t(p[1]) == 0xAA) order.push_back(uint8_t(p[2]));
        for (int page : order) requestsOf5 += page == 5;
        QCOMPARE(requestsOf5, 2);
        QCOMPARE(order.back(), 54);  // the last page, which completes the download, comes last
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes()) + 100, 20),
                 processorAsStore(rig.sim).mid(100, 20));
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
