// The left/right link: the dialog, the pair search in both passes, unlinking and the mirrored edits.
#include "WindowMenus.h"
#include "ChannelNaming.h"
#include "OutputSlots.h"
#include "TestRig.h"
#include "TuningModel.h"

#include "ChannelLink.h"
#include "LinkForm.h"
#include "LinkState.h"
#include "Styles.h"
#include "Transport.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list) b.append(char(v));
    return b;
}

QByteArray hpf(uint8_t ch)
{
    const uint16_t f = Session().ParamStore.HpfFreq[ch];
    return bytes({0x05, 0x06, ch, Session().ParamStore.HpfType[ch], f & 0xFF, f >> 8, Session().ParamStore.HpfSlope[ch], Session().ParamStore.HpfBypass[ch]});
}

QByteArray lpf(uint8_t ch)
{
    const uint16_t f = Session().ParamStore.LpfFreq[ch];
    return bytes({0x05, 0x07, ch, Session().ParamStore.LpfType[ch], f & 0xFF, f >> 8, Session().ParamStore.LpfSlope[ch], Session().ParamStore.LpfBypass[ch]});
}

QByteArray eqBand(uint8_t ch, uint8_t b)
{
    const uint16_t f = Session().ParamStore.EqFreq[ch][b];
    const uint16_t g = Session().ParamStore.EqGain[ch][b] + GAIN_DEVICE_OFFSET;
    return bytes({0x05, 0x08, ch, b, f & 0xFF, f >> 8, g & 0xFF, g >> 8, Session().ParamStore.EqQ[ch][b]});
}

// Gives channel ch filters and bands that differ from the defaults and from every other channel.
void markChannel(uint8_t ch)
{
    ParamBlock &s = Session().ParamStore;
    s.HpfFreq[ch] = uint16_t(100 + ch);
    s.HpfSlope[ch] = 2;
    s.HpfBypass[ch] = 0;
    s.HpfType[ch] = 1;
    s.LpfFreq[ch] = uint16_t(5000 + ch);
    s.LpfSlope[ch] = 4;
    s.LpfBypass[ch] = 0;
    s.LpfType[ch] = 2;
    s.EqBypass[ch] = 1;
    for (int b = 0; b < BAND_COUNT; ++b) {
        s.EqFreq[ch][b] = uint16_t(DefaultEqFreq[b] + 1 + ch);
        s.EqGain[ch][b] = uint16_t(60 + b * 4 + ch);
        s.EqQ[ch][b] = uint8_t(10 + b + ch);
    }
}

// The filter and equaliser groups of a channel as bytes, to compare channels.
QByteArray filtersOf(uint8_t ch)
{
    const ParamBlock &s = Session().ParamStore;
    QByteArray b;
    for (int v : {int(s.HpfBypass[ch]), int(s.HpfType[ch]), int(s.HpfFreq[ch]), int(s.HpfSlope[ch]),
                  int(s.LpfBypass[ch]), int(s.LpfType[ch]), int(s.LpfFreq[ch]), int(s.LpfSlope[ch])})
        b += QByteArray::number(v) + ',';
    return b;
}

QByteArray eqOf(uint8_t ch)
{
    const ParamBlock &s = Session().ParamStore;
    QByteArray b = QByteArray::number(s.EqBypass[ch]) + ':';
    for (int k = 0; k < BAND_COUNT; ++k)
        b += QByteArray::number(s.EqFreq[ch][k]) + '/' + QByteArray::number(s.EqGain[ch][k]) + '/' +
             QByteArray::number(s.EqQ[ch][k]) + ',';
    return b;
}

QList<LinkForm *> openForms()
{
    QList<LinkForm *> forms;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<LinkForm *>(w))
            if (f->isVisible()) forms << f;
    return forms;
}

// Opens a dialog with the link button (the selected channel must be unlinked) and returns it.
LinkForm *openForm(Kestrun &w)
{
    const QList<LinkForm *> before = openForms();
    w.ui->BT_LINK->click();
    for (LinkForm *f : openForms())
        if (!before.contains(f)) return f;
    return nullptr;
}

void closeAllForms()
{
    for (LinkForm *f : openForms()) f->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool linked(int a, int b) { return Model().links.LinkMatrix[a][b] && Model().links.LinkMatrix[b][a]; }

int linkCount()
{
    int n = 0;
    for (auto &row : Model().links.LinkMatrix)
        for (uint8_t v : row) n += v;
    return n;
}

}  // namespace

class TestLink : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { closeAllForms(); }

    void dialogLooks()
    {
        TestRig rig;
        LinkForm *f = openForm(*rig.w);
        QVERIFY(f);
        QCOMPARE(f->size(), QSize(534, 227));
        QCOMPARE(f->windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
        QCOMPARE(f->windowTitle(), QStringLiteral("左右联调"));
        QCOMPARE(f->styleSheet(), QStringLiteral("background-color: rgb(67, 67, 68);\nborder : 2px solid gray;"));
        QVERIFY(!f->isModal());
        QVERIFY(!f->parent());
        QCOMPARE(f->lineEdit->text(), QStringLiteral("参数联调同步"));
        QCOMPARE(f->lineEdit_2->text(), QStringLiteral("联调基准"));
        QCOMPARE(f->lineEdit_2->parentWidget(), f->groupBox);
        QCOMPARE(f->radioButton_1->text(), QStringLiteral("以左通道为基准"));
        QCOMPARE(f->radioButton_2->text(), QStringLiteral("以右通道为基准"));
        QCOMPARE(f->lineEdit_3->text(), QStringLiteral("联调参数"));
        QCOMPARE(f->radioButton_3->text(), QStringLiteral("滤波器联调"));
        QCOMPARE(f->radioButton_4->text(), QStringLiteral("均衡联调"));
        QCOMPARE(f->radioButton_5->text(), QStringLiteral("滤波器和均衡联调"));
        QCOMPARE(f->pushButton->text(), QStringLiteral("立即同步"));
        QVERIFY(f->radioButton_1->isChecked());
        QVERIFY(f->radioButton_5->isChecked());
        QVERIFY(f->BT_CLOSE->styleSheet().contains(QStringLiteral(":/PNG/MainClose.png")));
        for (const char *name : {"lineEdit", "lineEdit_2", "lineEdit_3", "groupBox", "groupBox_2", "radioButton_1",
                                 "radioButton_2", "radioButton_3", "radioButton_4", "radioButton_5", "pushButton",
                                 "BT_CLOSE"})
            QVERIFY2(f->findChild<QWidget *>(QString::fromLatin1(name)), name);
        // The two groups are exclusive each on its own.
        f->radioButton_2->click();
        QVERIFY(!f->radioButton_1->isChecked());
        QVERIFY(f->radioButton_5->isChecked());
        f->radioButton_4->click();
        QVERIFY(!f->radioButton_5->isChecked());
        QVERIFY(f->radioButton_2->isChecked());
        // Dragging with the left button moves the dialog by the cursor's travel.
        f->move(100, 100);
        const QPoint start = f->frameGeometry().topLeft();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(start + QPoint(10, 10)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), QPointF(start + QPoint(40, 30)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &move);
        QCOMPARE(f->frameGeometry().topLeft(), start + QPoint(30, 20));
        // The close button closes and frees the dialog.
        QPointer<LinkForm> guard(f);
        f->BT_CLOSE->click();
        QVERIFY(!f->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
        QVERIFY(linkCount() == 0);
    }

    void dialogInEnglish()
    {
        TestRig rig;
        Lang().LanguageFlag = 1;
        LinkForm f(Model(), Lang().LanguageFlag);
        QCOMPARE(f.lineEdit->text(), QStringLiteral("Parameter joint Set"));
        QCOMPARE(f.lineEdit_2->text(), QStringLiteral("Joint Based"));
        QCOMPARE(f.radioButton_1->text(), QStringLiteral("Based on the left channel"));
        QCOMPARE(f.radioButton_2->text(), QStringLiteral("Based on the right channel"));
        QCOMPARE(f.lineEdit_3->text(), QStringLiteral("Joint Parameter"));
        QCOMPARE(f.radioButton_3->text(), QStringLiteral("Joint Filter"));
        QCOMPARE(f.radioButton_4->text(), QStringLiteral("Joint EQ"));
        QCOMPARE(f.radioButton_5->text(), QStringLiteral("Joint EQ and Filter"));
        QCOMPARE(f.pushButton->text(), QStringLiteral("SYNC"));
    }

    void frontPairFromTheLeftReference()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        markChannel(0);
        markChannel(1);
        w.outputs().BT_CH_Switch(0);
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        rig.clearSent();
        LinkForm *f = openForm(w);
        QVERIFY(f);
        QVERIFY(rig.sent().empty());
        f->pushButton->click();  // left reference, equaliser and filters
        QVERIFY(!f->isVisible());
        QCOMPARE(filtersOf(1), filtersOf(0));
        QCOMPARE(eqOf(1), eqOf(0));
        QCOMPARE(Session().ParamStore.HpfFreq[1], uint16_t(100));
        QVERIFY(linked(0, 1));
        QCOMPARE(linkCount(), 2);
        QCOMPARE(Model().links.LinkMode[0], uint8_t(0));
        QCOMPARE(Model().links.LinkMode[1], uint8_t(0));
        QCOMPARE(Model().links.LinkDir, uint8_t(0));
        QCOMPARE(Model().links.LinkPending, uint8_t(1));
        QCOMPARE(Model().CurCh, uint8_t(1));
        QCOMPARE(Model().CurBand, uint8_t(0));
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::light(QStringLiteral("BT_LINK")));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{hpf(1), lpf(1)}));
        QCOMPARE(rig.sim.rejectedCount(), 0);
        QCOMPARE(rig.sim.params().HpfFreq[1], uint16_t(100));
    }

    void frontPairFromTheRightChannelFollows()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        markChannel(0);
        markChannel(1);
        w.outputs().BT_CH_Switch(1);
        LinkForm *f = openForm(w);
        QVERIFY(f);
        f->pushButton->click();  // CH2 is on the right: the second pass copies CH1 into CH2
        QCOMPARE(filtersOf(1), filtersOf(0));
        QCOMPARE(eqOf(1), eqOf(0));
        QCOMPARE(Session().ParamStore.LpfFreq[1], uint16_t(5000));
        QVERIFY(linked(0, 1));
        QCOMPARE(Model().CurCh, uint8_t(1));
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::light(QStringLiteral("BT_LINK")));
    }

    void followerCopiesByTheReferenceMode()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        markChannel(0);
        markChannel(1);
        const QByteArray ownFilters = filtersOf(1);
        Model().links.LinkMode[0] = 1;  // the reference carries the equaliser only
        w.outputs().BT_CH_Switch(1);
        LinkForm *f = openForm(w);
        QVERIFY(f);
        f->radioButton_3->click();  // filters only, recorded for CH2 alone
        QCOMPARE(Model().links.LinkMode[1], uint8_t(2));
        f->pushButton->click();
        QCOMPARE(eqOf(1), eqOf(0));
        QCOMPARE(filtersOf(1), ownFilters);
        QCOMPARE(Model().links.LinkMode[0], uint8_t(1));
        QCOMPARE(Model().links.LinkMode[1], uint8_t(2));
        QVERIFY(linked(0, 1));
    }

    void rightReferenceLinksFromTheRight()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        markChannel(2);
        markChannel(3);
        w.outputs().BT_CH_Switch(3);  // RR-FULL
        LinkForm *f = openForm(w);
        QVERIFY(f);
        f->radioButton_2->click();
        QCOMPARE(Model().links.LinkDir, uint8_t(1));
        f->radioButton_4->click();
        f->pushButton->click();
        QCOMPARE(eqOf(2), eqOf(3));
        QVERIFY(filtersOf(2) != filtersOf(3));
        QCOMPARE(Model().links.LinkMode[2], uint8_t(1));
        QVERIFY(linked(2, 3));
        QCOMPARE(Model().CurCh, uint8_t(2));
    }

    void mirroredEdits()
    {
        TestRig rig;
        markChannel(0);
        Model().links.LinkMatrix[0][1] = Model().links.LinkMatrix[1][0] = 1;
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        rig.clearSent();
        // Band 10 of CH1 goes to CH2 as well.
        Session().ParamStore.EqGain[0][9] = 200;
        Model().links.EQ_Link_Copy(Session(), 0, 9);
        QCOMPARE(Session().ParamStore.EqGain[1][9], uint16_t(200));
        QCOMPARE(Session().ParamStore.EqFreq[1][9], Session().ParamStore.EqFreq[0][9]);
        QCOMPARE(Session().ParamStore.EqQ[1][9], Session().ParamStore.EqQ[0][9]);
        QCOMPARE(Session().ParamStore.EqGain[1][8], GAIN_ZERO);  // only the band
        QCOMPARE(rig.sent(), std::vector<QByteArray>{eqBand(1, 9)});
        // Filters only: the band stays on CH1, crossover changes still go to both.
        rig.clearSent();
        Model().links.LinkMode[0] = 2;
        Session().ParamStore.EqGain[0][9] = 10;
        Model().links.EQ_Link_Copy(Session(), 0, 9);
        QCOMPARE(Session().ParamStore.EqGain[1][9], uint16_t(200));
        QVERIFY(rig.sent().empty());
        Model().links.HPF_Link_Copy(Session(), 0);
        Model().links.LPF_Link_Copy(Session(), 0);
        QCOMPARE(filtersOf(1), filtersOf(0));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{hpf(1), lpf(1)}));
        // Equaliser only: the filters stay.
        rig.clearSent();
        Model().links.LinkMode[0] = 1;
        Session().ParamStore.HpfFreq[0] = 444;
        Model().links.HPF_Link_Copy(Session(), 0);
        QCOMPARE(Session().ParamStore.HpfFreq[1], uint16_t(100));
        QVERIFY(rig.sent().empty());
        // Any other mode carries the filters.
        Model().links.LinkMode[0] = 9;
        Model().links.HPF_Link_Copy(Session(), 0);
        QCOMPARE(Session().ParamStore.HpfFreq[1], uint16_t(444));
        QCOMPARE(rig.sim.rejectedCount(), 0);
        // Offline the copies happen without traffic.
        Session().Link.Connected = 0;
        rig.clearSent();
        Model().links.LinkMode[0] = 0;
        Session().ParamStore.EqGain[0][3] = 130;
        Model().links.EQ_Link_Copy(Session(), 0, 3);
        QCOMPARE(Session().ParamStore.EqGain[1][3], uint16_t(130));
        QVERIFY(rig.sent().empty());
        // Unlinked channels and bad indexes are left alone.
        Model().links.EQ_Link_Copy(Session(), 2, 3);
        Model().links.EQ_Link_Copy(Session(), 0, 31);
        Model().links.HPF_Link_Copy(Session(), 6);
        QCOMPARE(Session().ParamStore.EqGain[3][3], GAIN_ZERO);
    }

    // Named from the menus, linked with the dialog, edited with the window's own controls.
    void editsReachBothSidesOfTheProcessor()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        QVERIFY(rig.connectAndDownload());
        w.naming().ChNameAct[2][1]->trigger();  // CH3: FL / MID
        w.naming().ChNameAct[3][5]->trigger();  // CH4: FR / MID
        w.ui->BT_CH[2]->click();
        rig.clearSent();
        LinkForm *f = openForm(w);
        QVERIFY(f);
        f->pushButton->click();
        QVERIFY(linked(2, 3));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{hpf(3), lpf(3)}));

        w.ui->BT_CH[2]->click();
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::light(QStringLiteral("BT_LINK")));
        rig.clearSent();
        w.ui->Slider_EQ_Gain_Bar[9]->setValue(150);  // band 10
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{eqBand(3, 9), eqBand(2, 9)}));
        QCOMPARE(rig.sim.params().EqGain[3][9], uint16_t(150 + GAIN_DEVICE_OFFSET));
        QCOMPARE(rig.sim.params().EqGain[2][9], uint16_t(150 + GAIN_DEVICE_OFFSET));
        rig.clearSent();
        w.menus().FilterTypeAct[0][2]->trigger();  // high-pass Bessel
        QCOMPARE(Session().ParamStore.HpfType[3], uint8_t(2));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{hpf(3), hpf(2)}));

        // Relink with the filters only: the band stays on CH3, the crossovers still go to both.
        w.ui->BT_LINK->click();
        QCOMPARE(linkCount(), 0);
        f = openForm(w);
        QVERIFY(f);
        f->radioButton_3->click();
        f->pushButton->click();
        QCOMPARE(Model().links.LinkMode[2], uint8_t(2));
        QCOMPARE(Model().links.LinkMode[3], uint8_t(2));
        w.ui->BT_CH[2]->click();
        rig.clearSent();
        w.ui->Slider_EQ_Gain_Bar[9]->setValue(100);
        QCOMPARE(rig.sent(), std::vector<QByteArray>{eqBand(2, 9)});
        QCOMPARE(Session().ParamStore.EqGain[3][9], uint16_t(150));
        rig.clearSent();
        w.menus().FilterSlopeAct[1][5]->trigger();  // low-pass -36dB/Oct
        QCOMPARE(Session().ParamStore.LpfSlope[3], uint8_t(5));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{lpf(3), lpf(2)}));
        QCOMPARE(rig.sim.params().LpfSlope[3], uint8_t(5));
        QCOMPARE(rig.sim.rejectedCount(), 0);
    }

    void copyChannelByMode()
    {
        TestRig::resetGlobals();
        markChannel(4);
        const QByteArray filters5 = filtersOf(5), eq5 = eqOf(5);
        Model().links.LinkMode[4] = 1;
        Model().links.Link_Copy_Channel(Session(), 5, 4);
        QCOMPARE(eqOf(5), eqOf(4));
        QCOMPARE(filtersOf(5), filters5);
        Model().reset();
        markChannel(4);
        Model().links.LinkMode[4] = 2;
        Model().links.Link_Copy_Channel(Session(), 5, 4);
        QCOMPARE(filtersOf(5), filtersOf(4));
        QCOMPARE(eqOf(5), eq5);
        Model().links.LinkMode[4] = 0;
        Model().links.Link_Copy_Channel(Session(), 5, 4);
        QCOMPARE(eqOf(5), eqOf(4));
        Model().links.Link_Copy_Channel(Session(), 6, 4);  // ignored
        Model().links.Link_Copy_Channel(Session(), 4, 200);
    }

    void centreAndLonelyChannelsNeverLink()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        rig.clearSent();
        w.outputs().BT_CH_Switch(4);  // CEN-FULL
        for (int side = 0; side < 2; ++side) {
            LinkForm *f = openForm(w);
            QVERIFY(f);
            (side ? f->radioButton_2 : f->radioButton_1)->click();
            f->pushButton->click();
            QVERIFY(!f->isVisible());
            QCOMPARE(linkCount(), 0);
            QCOMPARE(Model().links.LinkPending, uint8_t(1));
        }
        // FL-FULL without anyone on FR-FULL.
        Session().ParamStore.ChName[1] = 19;
        w.outputs().BT_CH_Switch(0);
        LinkForm *f = openForm(w);
        QVERIFY(f);
        f->pushButton->click();
        QCOMPARE(linkCount(), 0);
        QCOMPARE(Model().CurCh, uint8_t(0));
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::dark(QStringLiteral("BT_LINK")));
        QVERIFY(rig.sent().empty());
    }

    void linkButtonUnlinksWithoutDialog()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        LinkForm *f = openForm(w);
        QVERIFY(f);
        f->pushButton->click();
        QVERIFY(linked(0, 1));
        QCOMPARE(Model().CurCh, uint8_t(1));
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        rig.clearSent();
        const int formsBefore = openForms().size();
        w.ui->BT_LINK->click();  // on CH2, the follower
        QCOMPARE(linkCount(), 0);
        QCOMPARE(openForms().size(), formsBefore);
        QCOMPARE(Model().links.LinkPending, uint8_t(0));
        QCOMPARE(Model().links.LinkDir, uint8_t(0xFF));
        QCOMPARE(w.ui->BT_LINK->styleSheet(), Styles::dark(QStringLiteral("BT_LINK")));
        QVERIFY(rig.sent().empty());
        QCOMPARE(filtersOf(1), filtersOf(0));  // parameters keep their values
        QVERIFY(openForm(w));                  // the next click opens a dialog
    }

    void unlinkRemovesOneLinkAtATime()
    {
        TestRig::resetGlobals();
        Model().links.LinkMatrix[2][0] = Model().links.LinkMatrix[0][2] = 1;
        Model().links.LinkMatrix[2][5] = Model().links.LinkMatrix[5][2] = 1;
        QVERIFY(Model().links.Link_Remove_First(2));
        QVERIFY(!linked(0, 2));
        QVERIFY(linked(2, 5));
        QVERIFY(Model().links.Link_Remove_First(2));
        QCOMPARE(linkCount(), 0);
        QVERIFY(!Model().links.Link_Remove_First(2));
        QVERIFY(!Model().links.Link_Remove_First(9));
    }

    void severalDialogsActOnTheCurrentChannel()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        markChannel(0);
        markChannel(2);
        LinkForm *a = openForm(w);
        LinkForm *b = openForm(w);
        QVERIFY(a && b && a != b);
        w.outputs().BT_CH_Switch(2);  // RL-FULL
        b->radioButton_4->click();
        QCOMPARE(Model().links.LinkMode[2], uint8_t(1));
        QCOMPARE(Model().links.LinkMode[0], uint8_t(0));
        b->pushButton->click();  // links CH3 and CH4 by the equaliser
        QVERIFY(linked(2, 3));
        QCOMPARE(eqOf(3), eqOf(2));
        QVERIFY(filtersOf(3) != filtersOf(2));
        QCOMPARE(Model().CurCh, uint8_t(3));
        QVERIFY(a->isVisible());
        w.outputs().BT_CH_Switch(0);
        a->radioButton_3->click();
        a->pushButton->click();  // dialog a reads its own radio buttons and the channel selected now
        QCOMPARE(Model().links.LinkMode[0], uint8_t(2));
        QCOMPARE(Model().links.LinkMode[1], uint8_t(2));
        QVERIFY(linked(0, 1));
        QCOMPARE(filtersOf(1), filtersOf(0));
        QVERIFY(eqOf(1) != eqOf(0));
        QCOMPARE(linkCount(), 4);
        QCOMPARE(Model().CurCh, uint8_t(1));
    }

    void twoChannelsOnOnePartnerCode()
    {
        // Only a download or a scene can give two channels the same position: the second partner
        // follows the first, which the view had just switched to.
        TestRig rig;
        Kestrun &w = *rig.w;
        Session().ParamStore.ChName[4] = 7;
        markChannel(0);
        markChannel(4);
        LinkForm *f = openForm(w);
        QVERIFY(f);
        f->pushButton->click();
        QVERIFY(linked(0, 1));
        QVERIFY(linked(1, 4));
        QVERIFY(!linked(0, 4));
        QCOMPARE(eqOf(4), eqOf(0));
        QCOMPARE(Model().CurCh, uint8_t(4));
    }
};

QTEST_MAIN(TestLink)
#include "test_link.moc"
