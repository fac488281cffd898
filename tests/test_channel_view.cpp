// Channel selection: button looks, the refresh of every per-channel control and the traffic it causes.
#include "OutputSlots.h"
#include "TestRig.h"
#include "ResponseGraph.h"
#include "TuningModel.h"

#include "ChannelLink.h"
#include "LinkState.h"
#include "ResponseMath.h"
#include "Styles.h"
#include "Texts.h"
#include "Transport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <algorithm>

namespace {

void connectRig(TestRig &rig)
{
    QVERIFY(Session().Port.open());
    Session().Link.Connected = 1;
    rig.clearSent();
}

std::vector<QByteArray> eqBandFrames(const std::vector<QByteArray> &sent)
{
    std::vector<QByteArray> out;
    for (const QByteArray &p : sent)
        if (p.size() >= 2 && uint8_t(p[0]) == 5 && uint8_t(p[1]) == 0x08) out.push_back(p);
    return out;
}

// The equaliser band frame as the processor expects it (gain in its encoding).
QByteArray eqFrame(int ch, int b)
{
    QByteArray a;
    const uint16_t f = Session().ParamStore.EqFreq[ch][b];
    const uint16_t g = uint16_t(Session().ParamStore.EqGain[ch][b] + 120);
    for (int v : {5, 0x08, ch, b, f & 0xFF, f >> 8, g & 0xFF, g >> 8, int(Session().ParamStore.EqQ[ch][b])}) a.append(char(v));
    return a;
}

}  // namespace

class TestChannelView : public QObject
{
    Q_OBJECT
private slots:
    void buttonLooksAfterSwitch()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        w.outputs().BT_CH_Switch(3);
        QCOMPARE(Model().CurCh, uint8_t(3));
        for (int k = 0; k < CH_COUNT; ++k) {
            const QString name = QStringLiteral("BT_CH%1").arg(k + 1);
            QCOMPARE(w.ui->BT_CH[k]->styleSheet(), k == 3 ? Styles::light(name) : Styles::dark(name));
        }
        QCOMPARE(w.ui->BT_CH[3]->styleSheet(),
                 QStringLiteral("QPushButton#BT_CH4{background-color: rgb(204, 204, 204);color:black;border:1px groove gray;"
                                "border-radius:6px;padding:1px 4px;border-style: outset;}"));
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::dark(QStringLiteral("BT_LINK")));

        Model().links.LinkMatrix[3][2] = Model().links.LinkMatrix[2][3] = 1;
        w.outputs().BT_CH_Switch(3);
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::light(QStringLiteral("BT_LINK")));
        w.outputs().BT_CH_Switch(1);
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::dark(QStringLiteral("BT_LINK")));
        w.outputs().BT_CH_Switch(2);
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::light(QStringLiteral("BT_LINK")));

        // Out of range: nothing changes.
        w.outputs().BT_CH_Switch(6);
        QCOMPARE(Model().CurCh, uint8_t(2));
        QCOMPARE(w.ui->BT_CH[2]->styleSheet(), Styles::light(QStringLiteral("BT_CH3")));
    }

    void clickFindsChannelByName()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        w.ui->BT_CH[4]->click();
        QCOMPARE(Model().CurCh, uint8_t(4));
        QCOMPARE(w.ui->BT_CH[4]->styleSheet(), Styles::light(QStringLiteral("BT_CH5")));

        // Other senders: the last two characters, else the last one, must give 1..6.
        const struct {
            const char *name;
            int expect;
        } cases[] = {{"Other_2", 1}, {"X12", 0}, {"X7", 0}, {"X0", 0}, {"BT-1", 0}, {"X", 0}, {"", 0}, {"Ab6", 5}};
        w.outputs().BT_CH_Switch(0);
        for (const auto &c : cases) {
            QPushButton other(&w);
            other.setObjectName(QString::fromLatin1(c.name));
            QObject::connect(&other, &QPushButton::clicked, &w.outputs(), &OutputSlots::BT_CH_Click);
            other.click();
            QVERIFY2(Model().CurCh == c.expect, c.name);
            w.outputs().BT_CH_Switch(0);
        }
        w.outputs().BT_CH_Click();  // no sender at all
        QCOMPARE(Model().CurCh, uint8_t(0));
    }

    void refreshShowsChannel()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        Session().ParamStore.ChVol[2] = 570;
        Session().ParamStore.ChDelay[2] = 250;
        Session().ParamStore.HpfFreq[2] = 80;
        Session().ParamStore.LpfFreq[2] = 12000;
        Session().ParamStore.HpfType[2] = 2;
        Session().ParamStore.LpfType[2] = 1;
        Session().ParamStore.HpfBypass[2] = 1;
        Session().ParamStore.HpfSlope[2] = 5;
        Session().ParamStore.LpfBypass[2] = 0;
        Session().ParamStore.LpfSlope[2] = 7;
        Session().ParamStore.EqBypass[2] = 1;
        Session().ParamStore.EqGain[2][0] = 0;
        Session().ParamStore.EqGain[2][4] = 240;
        Session().ParamStore.EqFreq[2][4] = 55;
        Session().ParamStore.EqQ[2][4] = 47;
        w.outputs().BT_CH_Switch(2);

        QCOMPARE(w.ui->Edit_CHVol[2]->text(), QStringLiteral("-3.0dB"));
        QCOMPARE(w.ui->Edit_CHDelay[2]->text(), QStringLiteral("2.50ms"));
        QCOMPARE(w.ui->Edit_HPF_Freq->text(), QStringLiteral("80"));
        QCOMPARE(w.ui->Edit_LPF_Freq->text(), QStringLiteral("12000"));
        QCOMPARE(w.ui->BT_HPF_TYPE->text(), QStringLiteral("贝塞尔"));
        QCOMPARE(w.ui->BT_LPF_TYPE->text(), QStringLiteral("宁克"));
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("关闭"));  // off whatever the slope
        QCOMPARE(w.ui->BT_LPF_SLOPE->text(), QStringLiteral("-48dB/Oct"));
        QCOMPARE(w.ui->BT_EQ_BYPASS->styleSheet(), Styles::light(QStringLiteral("BT_EQ_BYPASS")));
        QVERIFY(!w.ui->Label[14]->isHidden());

        QCOMPARE(w.ui->Edit_EQ_Gain[0]->text(), QStringLiteral("-12.0"));
        QCOMPARE(w.ui->BT_LED[0]->styleSheet(), Styles::bandActive());
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[0]->value(), 0);
        QCOMPARE(w.ui->Edit_EQ_Gain[1]->text(), QStringLiteral("0.0"));
        QCOMPARE(w.ui->BT_LED[1]->styleSheet(),
                 QStringLiteral("border-radius:6px;padding:1px 5px;border-style: outset;background-color:white;"));
        QCOMPARE(w.ui->Edit_EQ_Gain[4]->text(), QStringLiteral("12.0"));
        QCOMPARE(w.ui->Edit_EQ_Freq[4]->text(), QStringLiteral("55"));
        QCOMPARE(w.ui->Edit_EQ_Q[4]->text(), QStringLiteral("4.7"));
        QCOMPARE(w.ui->Edit_EQ_Q[5]->text(), QStringLiteral("3.0"));
        // Band labels sit 15 px above their marker's top, at the band's frequency.
        QCOMPARE(w.ui->Edit_Label[4]->geometry(), QRect(Freq_To_Pos(55), int(144 - 12.0 / 0.2127) - 5 - 15, 18, 18));
        QCOMPARE(w.ui->Edit_Label[1]->geometry(), QRect(Freq_To_Pos(25), 144 - 5 - 15, 18, 18));
        QCOMPARE(Model().CurBand, uint8_t(30));
        // The plotted curve is the channel's, computed after all bands were in place.
        std::vector<QPoint> shown(w.graph().curves().CurvePoint[2], w.graph().curves().CurvePoint[2] + GRAPH_POINTS);
        w.graph().curves().HPF_Curve_Update(2);
        w.graph().curves().LPF_Curve_Update(2);
        w.graph().curves().EQ_Curve_Update(2);
        w.graph().curves().Curve_Point_Update(2);
        QCOMPARE(shown, std::vector<QPoint>(w.graph().curves().CurvePoint[2], w.graph().curves().CurvePoint[2] + GRAPH_POINTS));
        QVERIFY(std::any_of(shown.begin(), shown.end(), [](const QPoint &p) { return p.y() < 144 - 40; }));

        // English texts, and a channel without bypasses.
        Lang().LanguageFlag = 1;
        w.outputs().BT_CH_Switch(2);
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("OFF"));
        QCOMPARE(w.ui->BT_HPF_TYPE->text(), QStringLiteral("Bessel"));
        w.outputs().BT_CH_Switch(0);
        QCOMPARE(w.ui->BT_HPF_TYPE->text(), QStringLiteral("Butterworth"));
        QCOMPARE(w.ui->BT_EQ_BYPASS->styleSheet(), Styles::dark(QStringLiteral("BT_EQ_BYPASS")));
        QVERIFY(w.ui->Label[14]->isHidden());
        Session().ParamStore.HpfBypass[0] = 0;
        Session().ParamStore.HpfSlope[0] = 0;
        w.outputs().BT_CH_Switch(0);
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("-6dB/Oct"));
    }

    void reselectSendsNothing()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        Session().ParamStore.EqGain[0][3] = 150;
        w.outputs().BT_CH_Switch(0);
        connectRig(rig);
        w.outputs().BT_CH_Switch(0);
        w.outputs().BT_CH_Switch(0);
        QVERIFY(rig.sent().empty());
    }

    void switchSendsDifferingBandsOnlyWhileConnected()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        Session().ParamStore.EqGain[1][2] = 100;
        Session().ParamStore.EqGain[1][7] = 200;
        Session().ParamStore.EqGain[1][30] = 0;
        // Not connected: the sliders follow, nothing goes out.
        QVERIFY(Session().Port.open());
        w.outputs().BT_CH_Switch(1);
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[7]->value(), 200);
        QVERIFY(rig.sent().empty());
        w.outputs().BT_CH_Switch(0);
        QVERIFY(rig.sent().empty());

        // Connected: one band frame per band whose slider moves, lowest band first.
        Session().Link.Connected = 1;
        w.outputs().BT_CH_Switch(1);
        const std::vector<QByteArray> expect = {eqFrame(1, 2), eqFrame(1, 7), eqFrame(1, 30)};
        QCOMPARE(eqBandFrames(rig.sent()), expect);
        QCOMPARE(rig.sent().size(), expect.size());
        // And back to CH1: the same three bands, with CH1's values.
        rig.clearSent();
        w.outputs().BT_CH_Switch(0);
        QCOMPARE(eqBandFrames(rig.sent()), (std::vector<QByteArray>{eqFrame(0, 2), eqFrame(0, 7), eqFrame(0, 30)}));
        QCOMPARE(Session().ParamStore.EqGain[1][7], uint16_t(200));  // the other channel's store is untouched

        // A channel linked to the new one gets each differing band too, its copy going out first.
        Model().links.LinkMatrix[1][2] = Model().links.LinkMatrix[2][1] = 1;
        Model().links.LinkMode[1] = 0;
        rig.clearSent();
        w.outputs().BT_CH_Switch(1);
        QCOMPARE(eqBandFrames(rig.sent()), (std::vector<QByteArray>{eqFrame(2, 2), eqFrame(1, 2), eqFrame(2, 7),
                                                                  eqFrame(1, 7), eqFrame(2, 30), eqFrame(1, 30)}));
        QCOMPARE(Session().ParamStore.EqGain[2][7], uint16_t(200));
    }
};

QTEST_MAIN(TestChannelView)
#include "test_channel_view.moc"
