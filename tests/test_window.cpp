// The main window at start-up: controls, menus, dragging and closing.
#include "WindowMenus.h"
#include "TestRig.h"
#include "TuningModel.h"

#include "Commands.h"
#include "LinkState.h"
#include "Transport.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void startUpState()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        QCOMPARE(w.objectName(), QStringLiteral("Kestrun"));
        QCOMPARE(w.size(), QSize(1260, 686));
        QCOMPARE(w.windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
        for (int b = 0; b < BAND_COUNT; ++b) {
            QCOMPARE(w.ui->Edit_Label[b]->text(), QString::number(b + 1));
            QCOMPARE(w.ui->Slider_EQ_Gain_Bar[b]->minimum(), 0);
            QCOMPARE(w.ui->Slider_EQ_Gain_Bar[b]->maximum(), 240);
            QCOMPARE(w.ui->Slider_EQ_Gain_Bar[b]->value(), 120);
        }
        QCOMPARE(w.ui->Slider_Total_Bar->value(), 600);
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(600));
        QVERIFY(w.menus().NoiseGateAct[0]->isChecked());
        QCOMPARE(w.menus().NoiseGateAct[0]->text(), QStringLiteral("关闭"));
        QVERIFY(w.menus().NoiseGateGroup->isExclusive());
        QVERIFY(w.ui->TickBar->isHidden());
        QCOMPARE(w.ui->TickBar->maximum(), 100);
        QVERIFY(!w.ui->BT_CONNECT->isEnabled());
        QVERIFY(w.ui->BT_CONNECT->isCheckable());
        QVERIFY(!w.ui->BT_CONNECT->isChecked());
        QVERIFY(w.ui->BT_INPUT_LOW->isHidden());
        QVERIFY(w.ui->BT_INPUT_BT->isHidden());
        QVERIFY(w.ui->BT_INPUT_COAX->isHidden());
        QVERIFY(w.ui->BT_HPF_FREQ_UP->isHidden());
        QVERIFY(w.ui->Label[14]->isHidden());  // label_15, the bypass caption
        QVERIFY(w.ui->BT_HPF_FREQ_UP->autoRepeat());
        QCOMPARE(w.ui->BT_HPF_FREQ_UP->autoRepeatDelay(), 1000);
        QCOMPARE(w.ui->BT_HPF_FREQ_UP->autoRepeatInterval(), 100);
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            QCOMPARE(w.ui->Slider_CHVol_Bar[ch]->maximum(), 600);
            QVERIFY(!w.ui->checkBox[ch]->isChecked());
        }
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(0));
        QCOMPARE(Model().CurCh, uint8_t(0));
    }

    void objectNamesAreExact()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        const QStringList names = {"Edit_EQ_Gain_31", "Edit_EQ_Freq_1", "Edit_EQ_Q_17", "Slider_EQ_Gain_Bar_5",
                                   "BT_LED_31", "Edit_Label_9", "BT_CH6", "BT_CH_NAME_6", "Edit_CHVol_3",
                                   "Slider_CHVol_Bar_6", "Edit_CHDelay_1", "BT_Phase_2", "BT_Mute_4",
                                   "BT_Sync_A011", "BT_Sync_A061", "checkBox", "checkBox_6", "Edit_Total",
                                   "Slider_Total_Bar", "BT_MainMute", "BT_PEQ", "BT_GEQ", "BT_EQ_BYPASS",
                                   "BT_EQ_RESET", "BT_LINK", "BT_HPF_TYPE", "BT_LPF_SLOPE", "Edit_HPF_Freq",
                                   "BT_LPF_FREQ_DOWN", "BT_INPUT_COAX", "BT_Unit", "BT_SENCE", "BT_OPTION",
                                   "BT_CONNECT", "BT_MIN", "BT_CLOSE", "TickBar", "progressBar", "progressBar_10",
                                   "progressBar_18", "progressBar_33", "Edit_L_1", "Edit_L_15", "label",
                                   "label_16"};
        for (const QString &n : names) QVERIFY2(w.findChild<QWidget *>(n), qPrintable(n));
        QVERIFY(!w.findChild<QWidget *>(QStringLiteral("progressBar_11")));
        QCOMPARE(w.findChildren<QProgressBar *>(QRegularExpression(QStringLiteral("^progressBar"))).size(), 26);
        // Every child lies inside the window.
        for (QWidget *c : w.findChildren<QWidget *>()) {
            if (!c->isWindow() && c->parentWidget() == &w)
                QVERIFY2(QRect(0, 0, 1260, 686).contains(c->geometry()), qPrintable(c->objectName()));
        }
    }

    void menus()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        QCOMPARE(w.ui->BT_SENCE->menu(), w.menus().SenceMenu);
        QCOMPARE(w.menus().SenceAct[0]->text(), QStringLiteral("机器场景管理"));
        QCOMPARE(w.menus().SenceAct[4]->text(), QStringLiteral("加载电脑的全部场景"));
        QCOMPARE(w.ui->BT_OPTION->menu(), w.menus().OptionMenu);
        QCOMPARE(w.menus().OptionMenu->actions().first()->menu(), w.menus().NoiseGateMenu);
        QCOMPARE(w.menus().NoiseGateMenu->title(), QStringLiteral("噪声门"));
        QCOMPARE(w.menus().NoiseGateAct[6]->text(), QStringLiteral("6级"));
        QCOMPARE(w.menus().EnglishAct->text(), QStringLiteral("English"));
        QCOMPARE(w.menus().FilterSlopeAct[0][3]->text(), QStringLiteral("-24dB/Oct"));
        QCOMPARE(w.menus().FilterSlopeAct[1][8]->text(), QStringLiteral("关闭"));
        QCOMPARE(w.menus().FilterTypeAct[1][1]->text(), QStringLiteral("宁克"));
        QCOMPARE(w.menus().UnitAct[1]->text(), QStringLiteral("cm"));
        QCOMPARE(w.ui->BT_Unit->menu(), w.menus().UnitMenu);
    }

    void dragOnlyFromTopStrip()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        w.move(100, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint start = w.pos();
        // A press at y 49 drags.
        QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(700, 49));
        QMouseEvent move1(QEvent::MouseMove, QPointF(720, 59), w.mapToGlobal(QPoint(720, 59)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &move1);
        QCOMPARE(w.pos(), start + QPoint(20, 10));
        // A press at y 50 clears the drag flag; moves do nothing.
        const QPoint moved = w.pos();
        QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(700, 50));
        QMouseEvent move2(QEvent::MouseMove, QPointF(740, 90), w.mapToGlobal(QPoint(740, 90)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &move2);
        QCOMPARE(w.pos(), moved);
        // A right press changes nothing (the flag stays cleared).
        QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, QPoint(700, 10));
        QCoreApplication::sendEvent(&w, &move2);
        QCOMPARE(w.pos(), moved);
    }

    void closeWithoutProcessorSendsNothing()
    {
        TestRig rig(false);
        rig.w->on_BT_CLOSE_clicked();
        QCOMPARE(rig.sim.reportLog().size(), size_t(0));
        QCOMPARE(rig.sim.closeNotices(), 0);
    }

    void closeWhileConnectedSendsCloseNotice()
    {
        TestRig rig(true);
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        rig.clearSent();
        rig.w->on_BT_CLOSE_clicked();
        QCOMPARE(rig.sim.closeNotices(), 1);
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent().front(), QByteArray("\x05\xC1\x01", 3));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
