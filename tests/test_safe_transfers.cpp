// Safe transfers: the out-of-range box, the firmware question, the lock, true progress, offline scene files,
// the shortcuts and the offline note.
#include "LanguageSwitch.h"
#include "SceneFiles.h"
#include "ProcessorScenes.h"
#include "TestRig.h"
#include "TransferKit.h"

#include "EditLock.h"
#include "LinkState.h"
#include "SceneFile.h"
#include "StatusNote.h"
#include "TransferGuard.h"
#include "TransferLink.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

class TestSafeTransfers : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;

    QString file(const QString &name, const QByteArray &bytes) { return TransferKit::fileIn(dir_, name, bytes); }
    static QByteArray firmware(int size) { return TransferKit::firmwareImage(size); }

private slots:
    void garbageSceneFilesAreSentOnlyAfterSendAnyway()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        Lang().LanguageFlag = 1;
        rig.defaultAnswer = false;  // the box's default button
        const QByteArray garbage = TransferKit::pattern(SceneFile::SINGLE_SIZE, 1);
        const QString one = file(QStringLiteral("junk.SCE"), garbage);
        kit.paths = {one, file(QStringLiteral("junk.ALL"), TransferKit::pattern(SceneFile::ALL_SIZE, 5))};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        rig.w->sceneFiles().Sence_Sub5_Fun();
        QVERIFY(rig.sent().empty());
        QCOMPARE(rig.notices.size(), 2);
        for (const Notice::Request &n : rig.notices) {
            QVERIFY(n.question && n.rejectDefault);
            QCOMPARE(n.acceptText, QStringLiteral("Send anyway"));
            QCOMPARE(n.rejectText, QStringLiteral("Cancel"));
            QVERIFY(n.text.contains(QStringLiteral("fields of this file are out of range")));
            QVERIFY(n.text.contains(QStringLiteral("more")));  // the list stops after the first few
        }
        // Send anyway: the file's pages go out as they are.
        rig.notices.clear();
        rig.answers = {true};
        kit.paths = {one};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        const auto pages = kit.sentWith(5, 0x41);
        QCOMPARE(int(pages.size()), PAGE_COUNT);
        for (int p = 0; p < PAGE_COUNT; ++p) QCOMPARE(pages[p].mid(3), garbage.mid(p * PAGE_SIZE, PAGE_SIZE));
    }

    void firmwareIsRefusedAtNo()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        rig.answers = {false};
        kit.paths = {file(QStringLiteral("new.bin"), firmware(70))};
        rig.w->scenes().Option_Sub5_Fun();
        QVERIFY(rig.sent().empty());
        QVERIFY(!rig.sim.firmwareComplete());
        QCOMPARE(rig.notices.size(), 1);
        const Notice::Request &q = rig.notices[0];
        QVERIFY(q.question && q.rejectDefault);
        QCOMPARE(q.text, QStringLiteral("确定用固件文件“new.bin”（70 字节，5 块）升级机器吗？\n"
                                        "升级过程中请勿拔出USB线或关闭机器电源！"));
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QCOMPARE(Session().Link.Connected, uint8_t(1));
    }

    void controlsAreLockedDuringAnUpload()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QPushButton *mute = rig.w->ui->BT_Mute[0];
        QTest::mouseClick(mute, Qt::LeftButton);  // unlocked, a click goes out
        QCOMPARE(kit.sentWith(5, 0x05).size(), size_t(1));
        const uint8_t muted = Session().ParamStore.ChMute[0];
        rig.clearSent();
        bool tried = false, locked = false;
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&](int v) {
            if (v != 50 || tried) return;
            tried = true;
            locked = rig.w->TransferLock->locked();
            QTest::mouseClick(mute, Qt::LeftButton);
            mute->click();
            QTest::keyClick(rig.w->ui->Edit_CHVol[1], Qt::Key_Up);
            rig.w->ui->Slider_Total_Bar->setValue(100);
        });
        kit.paths = {file(QStringLiteral("300.bin"), firmware(300 * 16))};
        rig.w->scenes().Option_Sub5_Fun();
        QVERIFY(tried && locked);
        QVERIFY(rig.sim.firmwareComplete());
        const auto sent = rig.sent();
        QCOMPARE(int(sent.size()), 300);
        for (const QByteArray &p : sent) QCOMPARE(uint8_t(p[1]), uint8_t(0xB0));
        QCOMPARE(Session().ParamStore.ChMute[0], muted);
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(600));
        // Released afterwards: the controls' signals flow again.
        QVERIFY(!rig.w->TransferLock->locked());
        QVERIFY(!mute->signalsBlocked());
        QVERIFY(!rig.w->ui->Slider_Total_Bar->signalsBlocked());
    }

    void progressIsTheTrueFractionDone()
    {
        // Every image size: nothing done is 0, all but the final block is below 100, 40 % is 40 %.
        for (int blocks : {1, 2, 55, 300, 12800, 32000, 32768}) {
            QCOMPARE(TransferLink::percent(0, blocks), 0);
            QCOMPARE(TransferLink::percent(blocks, blocks), 100);
            QVERIFY(TransferLink::percent(blocks - 1, blocks) < 100 || blocks == 1);
        }
        QCOMPARE(TransferLink::percent(12800, 32000), 40);
        // On the wire: each value is the share of blocks acknowledged when it is shown.
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QList<QPair<int, int>> shown;  // value, blocks the processor had
        rig.w->ui->TickBar->setValue(77);
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&](int v) {
            shown << qMakePair(v, int(rig.sim.firmwareBlockLog().size()));
        });
        kit.paths = {file(QStringLiteral("300.bin"), firmware(300 * 16))};
        rig.w->scenes().Option_Sub5_Fun();
        QCOMPARE(shown.first(), qMakePair(0, 0));
        QCOMPARE(shown.last(), qMakePair(100, 300));
        for (const auto &s : shown) QCOMPARE(s.first, s.second * 100 / 300);
        // A single scene: 55 page frames, the first step shows 1 %, the last page 100 %.
        QList<int> bar;
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&bar](int v) { bar << v; });
        kit.linkUp();
        kit.paths = {file(QStringLiteral("one.SCE"), TransferKit::singleSceneFile())};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        QCOMPARE(bar.mid(0, 3), (QList<int>{0, 1, 3}));
        QCOMPARE(bar.mid(bar.size() - 2), (QList<int>{98, 100}));
    }

    void singleSceneFilesWorkOffline()
    {
        TestRig rig(false);
        TransferKit kit(rig);
        Session().ParamStore.ChVol[1] = 123;
        Session().ParamStore.EqGain[2][3] = 200;
        const QString saved = dir_.filePath(QStringLiteral("offline.SCE"));
        kit.paths = {saved};
        rig.w->sceneFiles().Sence_Sub2_Fun();
        QCOMPARE(TransferKit::readFile(saved), SceneFile::singleImage(Session().ParamStore));

        const QByteArray loaded = TransferKit::singleSceneFile();
        ParamBlock expected;
        std::memcpy(expected.bytes(), loaded.constData(), size_t(STORE_SIZE));
        for (auto &row : expected.EqGain)
            for (auto &g : row) g = uint16_t(g - GAIN_DEVICE_OFFSET);
        expected.FirmwareVersion = Session().ParamStore.FirmwareVersion;
        kit.paths = {file(QStringLiteral("load.SCE"), loaded)};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        QVERIFY(rig.notices.isEmpty());
        QCOMPARE(Session().Port.framesWritten, 0ul);
        QVERIFY(rig.sent().empty());
        QCOMPARE(TransferKit::storeBytes(0, STORE_SIZE), QByteArray(reinterpret_cast<const char *>(expected.bytes()), STORE_SIZE));
        QCOMPARE(rig.w->ui->Edit_CHVol[0]->text(), QStringLiteral("-30.0dB"));
        QCOMPARE(rig.w->ui->Slider_CHVol_Bar[0]->value(), 300);
        QVERIFY(!TransferGuard::busy(Session().Link));
        // The all-scenes entries stay processor-only.
        rig.w->sceneFiles().Sence_Sub5_Fun();
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("请先联机！")});
    }

    void shortcutsAndTheOfflineNote()
    {
        TestRig rig(false);
        TransferKit kit(rig);
        rig.w->show();
        QVERIFY(QTest::qWaitForWindowActive(rig.w.get()));
        Session().ParamStore.HpfFreq[2] = 123;
        QTest::keyClick(rig.w.get(), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(rig.w->ui->Edit_HPF_Freq->text(), QStringLiteral("123"));  // CH3 is shown
        QTest::keyClick(rig.w.get(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(rig.w.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(kit.dialogs.size(), 2);
        QVERIFY(kit.dialogs[0].save && !kit.dialogs[1].save);

        StatusNote *note = rig.w->OfflineNote;
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), QStringLiteral("未找到机器，当前为离线编辑"));
        rig.sim.setPlugged(true);
        rig.dev.setOpenRefused(true);  // listed, but no permission to open it
        QVERIFY(!Session().Port.open());
        rig.w->language().Option_Sub7_Fun();
        QCOMPARE(note->text(),
                 QStringLiteral("Processor found but not openable: install the README's udev rule (packaging/70-arvon6.rules)"));
        rig.w->ui->TickBar->show();  // the progress bar keeps its place
        note->refresh();
        QVERIFY(note->isHidden());
    }
};

QTEST_MAIN(TestSafeTransfers)
#include "test_safe_transfers.moc"
