// Graph interaction: marker drags with real mouse events, band-button double-clicks, and the
// arrow-key, wheel and focus handling of the value edits.
#include "GraphMarkers.h"
#include "OutputSlots.h"
#include "TestRig.h"
#include "ResponseGraph.h"
#include "TuningModel.h"

#include "ChannelLink.h"
#include "DragPushButton.h"
#include "LinkState.h"
#include "ResponseMath.h"
#include "Styles.h"
#include "Transport.h"
#include "ValueEditKeys.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QWindow>
#include <QtTest>

namespace {

// The mouse on the shown window, in window coordinates, through the platform's event path.
struct Mouse {
    QWindow *win;
    void press(QPoint p) { QTest::mousePress(win, Qt::LeftButton, Qt::NoModifier, p); }
    void move(QPoint p) { QTest::mouseMove(win, p); }
    void release(QPoint p) { QTest::mouseRelease(win, Qt::LeftButton, Qt::NoModifier, p); }
    void doubleClick(QWidget *w) { QTest::mouseDClick(win, Qt::LeftButton, Qt::NoModifier, w->geometry().center()); }
};

Mouse shown(Kestrun &w)
{
    w.move(0, 0);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) qWarning("window not exposed");
    return Mouse{w.windowHandle()};
}

void key(QWidget *target, Qt::Key k, bool autoRepeat)
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(target, &release);
}

void wheel(QWidget *target, int delta)
{
    const QPointF at(5, 5);
    QWheelEvent e(at, target->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &e);
}

const QString HpfNor = QStringLiteral("DragPushButton{border-image: url(:/PNG/H_Nor.png);background-color: transparent;}");
const QString HpfOn = QStringLiteral("DragPushButton{border-image: url(:/PNG/H_On.png);background-color: transparent;}");
const QString LpfNor = QStringLiteral("DragPushButton{border-image: url(:/PNG/L_Nor.png);background-color: transparent;}");
const QString LpfOn = QStringLiteral("DragPushButton{border-image: url(:/PNG/L_On.png);background-color: transparent;}");

}  // namespace

class TestMarkers : public QObject
{
    Q_OBJECT
private slots:
    void editNames()
    {
        auto check = [](const char *name, ValueEditKind kind, int index) {
            const ValueEditRef r = ParseValueEditName(QString::fromLatin1(name));
            QCOMPARE(int(r.kind), int(kind));
            if (kind != ValueEditKind::None) QCOMPARE(r.index, index);
        };
        check("Edit_CHVol_1", ValueEditKind::ChVol, 0);
        check("Edit_CHVol_6", ValueEditKind::ChVol, 5);
        check("Edit_CHVol_7", ValueEditKind::None, 0);
        check("Edit_CHDelay_3", ValueEditKind::ChDelay, 2);
        check("Edit_EQ_Gain_5", ValueEditKind::EqGain, 4);
        check("Edit_EQ_Freq_31", ValueEditKind::EqFreq, 30);
        check("Edit_EQ_Q_32", ValueEditKind::None, 0);
        check("Edit_EQ_Q_0", ValueEditKind::None, 0);
        check("Edit_EQ_Q_", ValueEditKind::None, 0);
        check("Edit_Label_3", ValueEditKind::None, 0);
        check("Edit_HPF_Freq", ValueEditKind::None, 0);
        QCOMPARE(StepWithinRange(599, 1, 3, 0, 600), 600);
        QCOMPARE(StepWithinRange(1, -1, 3, 0, 600), 0);
        QCOMPARE(StepWithinRange(300, -1, 3, 0, 240), 237);  // a damaged value comes back first
    }

    void highPassMarkerEnds()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        Mouse m = shown(w);
        DragPushButton *h = w.markers().HpfMark;
        h->move(631, 148);
        h->raise();
        m.press(QPoint(639, 156));
        QVERIFY(h->heldAtHeight);
        QCOMPARE(h->styleSheet(), HpfOn);
        for (QPoint p : {QPoint(300, 100), QPoint(10, 200), QPoint(11, 30)}) {
            m.move(p);
            QCOMPARE(h->y(), 148);
        }
        QCOMPARE(h->x(), 36);
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(20));
        QCOMPARE(w.ui->Edit_HPF_Freq->text(), QStringLiteral("20"));
        m.move(QPoint(1250, 300));
        m.move(QPoint(1251, 60));
        QCOMPARE(h->x(), 1096);
        QCOMPARE(h->y(), 148);
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(20000));
        QCOMPARE(w.ui->Edit_HPF_Freq->text(), QStringLiteral("20000"));
        QCOMPARE(rig.sent().size(), size_t(5));  // one frame per move
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x06\x00\x00\x20\x4E\x03\x01", 8));
        QCOMPARE(w.graph().curves().HPF_Line.x1(), Freq_To_Pos(20000) + 4);
        m.release(QPoint(1251, 60));
        QVERIFY(!h->heldAtHeight);
        QCOMPARE(h->styleSheet(), HpfNor);
        // With the drag over, moving the mouse changes nothing.
        rig.clearSent();
        m.move(QPoint(600, 150));
        QCOMPARE(rig.sent().size(), size_t(0));
    }

    void lowPassMarkerDragAndLinkOrder()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        Model().links.LinkMatrix[0][1] = Model().links.LinkMatrix[1][0] = 1;
        Mouse m = shown(w);
        DragPushButton *l = w.markers().LpfMark;
        l->move(631, 148);
        l->raise();
        m.press(QPoint(639, 156));
        QVERIFY(l->heldAtHeight);
        QCOMPARE(l->styleSheet(), LpfOn);
        m.move(QPoint(700, 60));
        const uint16_t f = Pos_To_Freq(631);
        QCOMPARE(Session().ParamStore.LpfFreq[0], f);
        QCOMPARE(Session().ParamStore.LpfFreq[1], f);
        QCOMPARE(rig.sent().size(), size_t(2));
        QCOMPARE(rig.sent()[0].mid(0, 3), QByteArray("\x05\x07\x00", 3));  // the selected channel first
        QCOMPARE(rig.sent()[1].mid(0, 3), QByteArray("\x05\x07\x01", 3));
        QCOMPARE(l->y(), 148);
        m.release(QPoint(700, 60));
        QVERIFY(!l->heldAtHeight);
        QCOMPARE(l->styleSheet(), LpfNor);
    }

    void bandMarkerTopAndBottom()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        Mouse m = shown(w);
        DragPushButton *b = w.markers().BandMark[15];
        b->setGeometry(631, 139, 11, 11);
        b->raise();
        m.press(QPoint(636, 144));
        m.move(QPoint(636, 2));    // the marker goes to the top edge
        QCOMPARE(b->y(), 50);
        rig.clearSent();
        const int readX = b->x();
        m.move(QPoint(636, 1));    // ... and this move reads it
        QCOMPARE(Session().ParamStore.EqGain[0][15], uint16_t(240));
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[15]->value(), 240);
        QCOMPARE(w.ui->Edit_EQ_Gain[15]->text(), QStringLiteral("12.0"));
        QCOMPARE(Session().ParamStore.EqFreq[0][15], Pos_To_Freq(readX));
        QCOMPARE(w.ui->Edit_EQ_Freq[15]->text(), QString::number(Pos_To_Freq(readX)));
        QCOMPARE(Model().CurBand, uint8_t(15));
        // The gain changed: the slider's slot (before the new frequency is stored) and the drag
        // each send the band.
        QCOMPARE(rig.sent().size(), size_t(2));
        QCOMPARE(rig.sent()[0].left(4), bandFrame(0, 15).left(4));
        QCOMPARE(rig.sent()[0].mid(6), bandFrame(0, 15).mid(6));
        QCOMPARE(rig.sent()[1], bandFrame(0, 15));
        m.move(QPoint(636, 680));  // to the bottom edge
        QCOMPARE(b->y(), 238);
        m.move(QPoint(636, 681));
        QCOMPARE(Session().ParamStore.EqGain[0][15], uint16_t(0));
        QCOMPARE(w.ui->Edit_EQ_Gain[15]->text(), QStringLiteral("-12.0"));
        QCOMPARE(w.ui->BT_LED[15]->styleSheet(), Styles::bandActive());
        // The label rides 15 pixels above the marker placed from the values.
        m.move(QPoint(900, 682));
        m.move(QPoint(901, 683));
        const QRect label = w.ui->Edit_Label[15]->geometry();
        QCOMPARE(label.size(), QSize(18, 18));
        QCOMPARE(label.x(), Freq_To_Pos(Session().ParamStore.EqFreq[0][15]));
        QCOMPARE(label.y(), GainToMarkerTop(0) - 15);
        m.release(QPoint(901, 683));
        QCOMPARE(Model().CurBand, uint8_t(15));
        QCOMPARE(b->y(), GainToMarkerTop(0));  // the release puts the marker at its gain's height
        // A horizontal drag moves the frequency.
        QVERIFY(Session().ParamStore.EqFreq[0][15] > Pos_To_Freq(631));
    }

    void bandMarkerDragsOnlyWhileHeld()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        Mouse m = shown(w);
        DragPushButton *b = w.markers().BandMark[3];
        b->setGeometry(281, 139, 11, 11);
        b->raise();
        m.move(QPoint(286, 144));
        m.move(QPoint(300, 100));
        QCOMPARE(Session().ParamStore.EqGain[0][3], uint16_t(120));
        QCOMPARE(rig.sent().size(), size_t(0));
        QCOMPARE(b->pos(), QPoint(281, 139));
    }

    void bandButtonDoubleClick()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        Mouse m = shown(w);
        w.ui->Slider_EQ_Gain_Bar[4]->setValue(150);
        rig.clearSent();
        m.doubleClick(w.ui->BT_LED[4]);
        QCOMPARE(Session().ParamStore.EqGain[0][4], uint16_t(120));
        QCOMPARE(Model().EqGainShadow[0][4], uint16_t(150));
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[4]->value(), 120);
        QCOMPARE(w.ui->Edit_EQ_Gain[4]->text(), QStringLiteral("0.0"));
        QCOMPARE(w.ui->BT_LED[4]->styleSheet(), Styles::bandFlat());
        QCOMPARE(Model().CurBand, uint8_t(4));
        QCOMPARE(rig.sent().size(), size_t(2));  // the slider's slot, then the toggle
        QCOMPARE(rig.sent()[1], bandFrame(0, 4));
        m.doubleClick(w.ui->BT_LED[4]);
        QCOMPARE(Session().ParamStore.EqGain[0][4], uint16_t(150));
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[4]->value(), 150);
        QCOMPARE(w.ui->Edit_EQ_Gain[4]->text(), QStringLiteral("3.0"));
        QCOMPARE(w.ui->BT_LED[4]->styleSheet(), Styles::bandActive());
        // A flat band without a saved gain: nothing happens.
        rig.clearSent();
        m.doubleClick(w.ui->BT_LED[6]);
        QCOMPARE(Session().ParamStore.EqGain[0][6], uint16_t(120));
        QCOMPARE(rig.sent().size(), size_t(0));
        QCOMPARE(w.ui->BT_LED[6]->styleSheet(), Styles::bandFlat());
    }

    void arrowKeysMoveAFocusedMarker()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        Mouse m = shown(w);
        DragPushButton *b = w.markers().BandMark[15];
        b->setGeometry(631, 139, 11, 11);
        b->raise();
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Left);
        QCOMPARE(b->pos(), QPoint(627, 139));
        QTest::keyClick(b, Qt::Key_Up);
        QCOMPARE(b->pos(), QPoint(627, 135));
        QTest::keyClick(b, Qt::Key_Right);
        QTest::keyClick(b, Qt::Key_Down);
        QTest::keyClick(b, Qt::Key_A);
        QCOMPARE(b->pos(), QPoint(631, 139));
        QTest::keyClick(b, Qt::Key_Left);
        QCOMPARE(Session().ParamStore.EqFreq[0][15], DefaultEqFreq[15]);
        QCOMPARE(Session().ParamStore.EqGain[0][15], uint16_t(120));
        QCOMPARE(rig.sent().size(), size_t(0));
        // The next drag update takes the position the keys left.
        m.press(QPoint(632, 144));
        m.move(QPoint(632, 145));
        QCOMPARE(Session().ParamStore.EqFreq[0][15], Pos_To_Freq(627));
        m.release(QPoint(632, 145));
        // Near the window's edge the marker stops.
        b->move(2, 139);
        QTest::keyClick(b, Qt::Key_Left);
        QCOMPARE(b->x(), 2);
    }

    void equaliserEditSteps()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QLineEdit *gain = w.ui->Edit_EQ_Gain[0];
        QTest::keyClick(gain, Qt::Key_Up);
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(121));
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[0]->value(), 121);
        QCOMPARE(gain->text(), QStringLiteral("0.1"));
        QCOMPARE(Model().CurBand, uint8_t(0));
        key(gain, Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(124));
        wheel(gain, 120);
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(125));
        wheel(gain, -120);
        wheel(gain, -120);
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(123));
        rig.clearSent();
        wheel(gain, 0);
        QCOMPARE(rig.sent().size(), size_t(0));
        w.ui->Slider_EQ_Gain_Bar[0]->setValue(239);
        key(gain, Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(240));
        rig.clearSent();
        QTest::keyClick(gain, Qt::Key_Up);  // at the end: unchanged, still sent
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(240));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], bandFrame(0, 0));
        w.ui->Slider_EQ_Gain_Bar[0]->setValue(1);
        key(gain, Qt::Key_Down, true);
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(0));
        QCOMPARE(gain->text(), QStringLiteral("-12.0"));

        QLineEdit *freq = w.ui->Edit_EQ_Freq[16];  // 800 Hz
        QTest::keyClick(freq, Qt::Key_Up);
        QCOMPARE(Session().ParamStore.EqFreq[0][16], uint16_t(801));
        QCOMPARE(freq->text(), QStringLiteral("801"));
        key(freq, Qt::Key_Up, true);  // fast: the crossover step rules
        QCOMPARE(Session().ParamStore.EqFreq[0][16], uint16_t(812));
        key(freq, Qt::Key_Down, true);
        QCOMPARE(Session().ParamStore.EqFreq[0][16], uint16_t(801));
        wheel(freq, 240);  // the wheel steps 1 Hz
        QCOMPARE(Session().ParamStore.EqFreq[0][16], uint16_t(802));
        rig.clearSent();
        wheel(freq, -15);
        QCOMPARE(Session().ParamStore.EqFreq[0][16], uint16_t(801));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], bandFrame(0, 16));
        Session().ParamStore.EqFreq[0][16] = 20000;
        key(freq, Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.EqFreq[0][16], uint16_t(20000));
        Session().ParamStore.EqFreq[0][16] = 20;
        QTest::keyClick(freq, Qt::Key_Down);
        QCOMPARE(Session().ParamStore.EqFreq[0][16], uint16_t(20));

        QLineEdit *q = w.ui->Edit_EQ_Q[1];
        QTest::keyClick(q, Qt::Key_Up);
        QCOMPARE(Session().ParamStore.EqQ[0][1], uint8_t(31));
        QCOMPARE(q->text(), QStringLiteral("3.1"));
        key(q, Qt::Key_Down, true);
        QCOMPARE(Session().ParamStore.EqQ[0][1], uint8_t(28));
        Session().ParamStore.EqQ[0][1] = 99;
        key(q, Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.EqQ[0][1], uint8_t(100));
        QCOMPARE(q->text(), QStringLiteral("10.0"));
        Session().ParamStore.EqQ[0][1] = 5;
        key(q, Qt::Key_Down, true);
        QCOMPARE(Session().ParamStore.EqQ[0][1], uint8_t(4));
        wheel(q, -120);
        QCOMPARE(Session().ParamStore.EqQ[0][1], uint8_t(4));
    }

    void crossoverEditSteps()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QLineEdit *hp = w.ui->Edit_HPF_Freq;
        QTest::keyClick(hp, Qt::Key_Down);  // at 20 Hz: unchanged, still sent
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(20));
        QCOMPARE(rig.sent().size(), size_t(1));
        QTest::keyClick(hp, Qt::Key_Up);
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(21));
        QCOMPARE(hp->text(), QStringLiteral("21"));
        key(hp, Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(32));
        wheel(hp, 120);
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(33));
        Session().ParamStore.HpfFreq[0] = 1200;
        key(hp, Qt::Key_Down, true);
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(1099));
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x06\x00\x00\x4B\x04\x03\x01", 8));
        QLineEdit *lp = w.ui->Edit_LPF_Freq;
        key(lp, Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.LpfFreq[0], uint16_t(20000));
        wheel(lp, -120);
        QCOMPARE(Session().ParamStore.LpfFreq[0], uint16_t(19999));
        QCOMPARE(lp->text(), QStringLiteral("19999"));
        QCOMPARE(w.graph().curves().LPF_Line.x1(), Freq_To_Pos(19999) + 4);
        // Keys do not open the step buttons' repeat window.
        QCOMPARE(Session().Link.BtnRepeatDelay, uint8_t(0));
    }

    void outputEditSteps()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QSlider *total = w.ui->Slider_Total_Bar;
        QCOMPARE(total->value(), 600);
        QTest::keyClick(w.ui->Edit_Total, Qt::Key_Up);
        QCOMPARE(total->value(), 600);
        QTest::keyClick(w.ui->Edit_Total, Qt::Key_Down);
        QCOMPARE(total->value(), 599);
        key(w.ui->Edit_Total, Qt::Key_Down, true);
        QCOMPARE(total->value(), 596);
        wheel(w.ui->Edit_Total, 120);
        QCOMPARE(total->value(), 597);
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(597));  // through the slider's own slot
        QCOMPARE(w.ui->Edit_Total->text(), QStringLiteral("-0.3dB"));
        total->setValue(1);
        key(w.ui->Edit_Total, Qt::Key_Down, true);
        QCOMPARE(total->value(), 0);

        QSlider *vol3 = w.ui->Slider_CHVol_Bar[2];
        vol3->setValue(598);
        key(w.ui->Edit_CHVol[2], Qt::Key_Up, true);
        QCOMPARE(vol3->value(), 600);
        rig.clearSent();
        wheel(w.ui->Edit_CHVol[2], -120);
        QCOMPARE(vol3->value(), 599);
        QCOMPARE(Session().ParamStore.ChVol[2], uint16_t(599));
        QCOMPARE(w.ui->Edit_CHVol[2]->text(), QStringLiteral("-0.1dB"));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], QByteArray("\x05\x04\x02\x57\x02", 5));
        QCOMPARE(w.ui->Slider_CHVol_Bar[1]->value(), 600);

        QLineEdit *delay2 = w.ui->Edit_CHDelay[1];
        rig.clearSent();
        QTest::keyClick(delay2, Qt::Key_Down);
        QCOMPARE(Session().ParamStore.ChDelay[1], uint16_t(0));
        QTest::keyClick(delay2, Qt::Key_Up);
        QCOMPARE(Session().ParamStore.ChDelay[1], uint16_t(1));
        QCOMPARE(delay2->text(), w.outputs().GetDelayDisplayStr(1));
        key(delay2, Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.ChDelay[1], uint16_t(4));
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x09\x01\x04\x00", 5));
        Session().ParamStore.ChDelay[1] = 1499;
        key(delay2, Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.ChDelay[1], uint16_t(1500));
        wheel(delay2, 120);
        QCOMPARE(Session().ParamStore.ChDelay[1], uint16_t(1500));
    }

    void delayStepsMoveTheSyncGroup()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        w.ui->BT_Sync[0]->click();
        w.ui->BT_Sync[2]->click();
        Session().ParamStore.ChDelay[0] = 100;
        Session().ParamStore.ChDelay[2] = 1498;
        rig.clearSent();
        // Output 3 stops the group two steps up: an auto-repeated key takes only those two.
        key(w.ui->Edit_CHDelay[0], Qt::Key_Up, true);
        QCOMPARE(Session().ParamStore.ChDelay[0], uint16_t(102));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(1500));
        QCOMPARE(w.ui->Edit_CHDelay[2]->text(), w.outputs().GetDelayDisplayStr(1500));
        // The other member's frame goes out before the stepped output's.
        QCOMPARE(rig.sent().size(), size_t(2));
        QCOMPARE(rig.sent()[0], QByteArray("\x05\x09\x02\xDC\x05", 5));
        QCOMPARE(rig.sent()[1], QByteArray("\x05\x09\x00\x66\x00", 5));
        wheel(w.ui->Edit_CHDelay[0], 120);
        QCOMPARE(Session().ParamStore.ChDelay[0], uint16_t(102));
        wheel(w.ui->Edit_CHDelay[2], -120);
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(1499));
        QCOMPARE(Session().ParamStore.ChDelay[0], uint16_t(101));
        // An output outside the group moves alone.
        QTest::keyClick(w.ui->Edit_CHDelay[1], Qt::Key_Up);
        QCOMPARE(Session().ParamStore.ChDelay[1], uint16_t(1));
        QCOMPARE(Session().ParamStore.ChDelay[0], uint16_t(101));
    }

    void focusAndReleaseSelectTheText()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        for (QLineEdit *e : {w.ui->Edit_EQ_Q[30], w.ui->Edit_CHDelay[5], w.ui->Edit_Total, w.ui->Edit_LPF_Freq}) {
            e->deselect();
            QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
            QCoreApplication::sendEvent(e, &in);
            QCOMPARE(e->selectedText(), e->text());
            e->deselect();
            QTest::mouseRelease(e, Qt::LeftButton);
            QCOMPARE(e->selectedText(), e->text());
        }
        // Other line edits are left alone.
        QLineEdit *label = w.ui->Edit_Label[0];
        label->deselect();
        QTest::keyClick(label, Qt::Key_Up);
        QCOMPARE(label->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestMarkers)
#include "test_markers.moc"
