// The tuning model without a window, and undo and redo through the keyboard: state, frames and gestures.
#include "LinkView.h"
#include "GraphMarkers.h"
#include "WindowMenus.h"
#include "TestRig.h"
#include "TuningModel.h"

#include "DragPushButton.h"
#include "LinkState.h"
#include "SimDevice.h"
#include "SimProcessor.h"
#include "TransferGuard.h"
#include "Transport.h"

#include <QAction>
#include <QLineEdit>
#include <QSlider>
#include <QWindow>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(x));
    return b;
}

void keyTo(QWidget *target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, bool autoRepeat = false)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, QString(), autoRepeat);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, QString(), autoRepeat);
    QCoreApplication::sendEvent(target, &release);
}

// The processor's image of the first 1100 bytes with host-encoded gains, as the store holds it.
QByteArray deviceImageAsStore(SimProcessor &sim)
{
    ParamBlock p = sim.params();
    for (auto &row : p.EqGain)
        for (auto &g : row) g = uint16_t(g - GAIN_DEVICE_OFFSET);
    return QByteArray(reinterpret_cast<const char *>(p.bytes()), IMAGE_SIZE);
}

QByteArray storeImage() { return QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes()), IMAGE_SIZE); }

}  // namespace

class TestUndo : public QObject
{
    Q_OBJECT
private slots:
    // Without a window: a sync-group move sends the partner first; a marker move sends its band twice,
    // first with the old frequency; a channel switch resends each band whose slider showed another gain.
    void modelFramesWithoutWindow()
    {
        SimProcessor sim;
        SimDevice dev(sim);
        Model().reset();
        Session().resetLink();
        Session().Port.setDevice(&dev);
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        TuningModel &m = Model();
        m.setDefaults();
        m.selectChannel(0);
        m.toggleSync(0);
        m.toggleSync(2);
        sim.clearLog();
        QVERIFY(m.setVolume(0, 590));
        QCOMPARE(sim.payloads(), (std::vector<QByteArray>{bytes({5, 4, 2, 0x4E, 2}), bytes({5, 4, 0, 0x4E, 2})}));

        sim.clearLog();
        m.moveBandMarker(4, 150, 1000);
        QCOMPARE(sim.payloads(), (std::vector<QByteArray>{bytes({5, 8, 0, 4, 50, 0, 14, 1, 30}),
                                                          bytes({5, 8, 0, 4, 0xE8, 3, 14, 1, 30})}));

        sim.clearLog();
        m.selectChannel(1);  // band 5 showed +3.0 dB; CH2's is flat: only that band echoes
        QCOMPARE(sim.payloads(), (std::vector<QByteArray>{bytes({5, 8, 1, 4, 50, 0, 0xF0, 0, 30})}));
        Session().Port.close();
        Session().Port.setDevice(nullptr);
        Session().resetLink();
    }

    // A drag from press to release is one step; Ctrl+Z puts the processor back with the frame of that band
    // only, and both redo keys take it forward again.
    void dragUndoRedoOnTheWire()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        Kestrun &w = *rig.w;
        w.move(0, 0);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QByteArray before = storeImage();
        DragPushButton *mark = w.markers().BandMark[10];
        const QPoint start = mark->geometry().center();
        QTest::mousePress(w.windowHandle(), Qt::LeftButton, Qt::NoModifier, start);
        for (int dy = 4; dy <= 24; dy += 4) QTest::mouseMove(w.windowHandle(), start - QPoint(-dy, dy));
        QTest::mouseRelease(w.windowHandle(), Qt::LeftButton, Qt::NoModifier, start - QPoint(-24, 24));
        QVERIFY(storeImage() != before);
        QCOMPARE(Model().history.size(), 1);
        const QByteArray after = storeImage();
        QCOMPARE(deviceImageAsStore(rig.sim), after);

        rig.clearSent();
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(storeImage(), before);
        QCOMPARE(deviceImageAsStore(rig.sim), before);
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bandFrame(0, 10)}));
        QCOMPARE(w.ui->Edit_EQ_Gain[10]->text(), QStringLiteral("0.0"));

        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(storeImage(), after);
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(storeImage(), after);
        QCOMPARE(deviceImageAsStore(rig.sim), after);
    }

    // An auto-repeat burst is one step; a typed entry is undone from its own field once it was entered,
    // while unentered typing keeps the field's own undo.
    void keyBurstsAndTypedEntries()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        QLineEdit *gain = w.ui->Edit_EQ_Gain[3];
        keyTo(gain, Qt::Key_Up);
        for (int i = 0; i < 5; ++i) keyTo(gain, Qt::Key_Up, Qt::NoModifier, true);
        QCOMPARE(Session().ParamStore.EqGain[0][3], uint16_t(120 + 1 + 15));
        QCOMPARE(Model().history.size(), 1);

        QLineEdit *freq = w.ui->Edit_EQ_Freq[3];
        freq->setText(QStringLiteral("77"));
        keyTo(freq, Qt::Key_Return);
        QCOMPARE(Session().ParamStore.EqFreq[0][3], uint16_t(77));
        keyTo(freq, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Session().ParamStore.EqFreq[0][3], uint16_t(40));
        QCOMPARE(freq->text(), QStringLiteral("40"));
        keyTo(freq, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Session().ParamStore.EqGain[0][3], uint16_t(120));

        freq->selectAll();
        QTest::keyClicks(freq, QStringLiteral("99"));
        keyTo(freq, Qt::Key_Z, Qt::ControlModifier);  // the field's own undo of the typing
        QCOMPARE(Session().ParamStore.EqGain[0][3], uint16_t(120));
        QVERIFY(Model().history.canRedo());
    }

    // No undo while a transfer holds the slot or a download runs; a download clears the history.
    void refusedDuringTransfersClearedByDownload()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        Kestrun &w = *rig.w;
        w.ui->Slider_CHVol_Bar[2]->setValue(300);
        rig.clearSent();
        {
            TransferGuard guard(Session().Link);
            QVERIFY(guard.acquired());
            w.menus().UndoAct->trigger();
            QCOMPARE(Session().ParamStore.ChVol[2], uint16_t(300));
            QVERIFY(rig.sent().empty());
        }
        for (int i = 0; i < 600; ++i) w.ui->Slider_CHVol_Bar[2]->setValue(i % 2 ? 100 : 200);
        QCOMPARE(Model().history.size(), EditHistory::LIMIT);
        w.linkView().Update_All_State();
        QCOMPARE(Model().history.size(), 0);
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
