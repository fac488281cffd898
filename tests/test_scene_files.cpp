// Scene files on the computer: saving and loading one scene or all nine, with the processor's faults.
#include "WindowMenus.h"
#include "SceneFiles.h"
#include "ProcessorScenes.h"
#include "TestRig.h"
#include "TransferKit.h"

#include "LinkState.h"
#include "ParamStore.h"
#include "SceneFile.h"
#include "SceneNames.h"
#include "TransferGuard.h"
#include "TransferLink.h"
#include "Transport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

// Makes a folder read-only for the duration of a test: by its permissions, and where those do not
// bind (the super-user) by the immutable attribute. Everything is undone at the end.
struct ReadOnlyFolder {
    QString path;
    bool immutable = false;
    bool readOnly = false;

    explicit ReadOnlyFolder(const QString &p)
        : path(p)
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        readOnly = !writable();
        if (!readOnly) {
            immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
            readOnly = immutable && !writable();
        }
    }
    ~ReadOnlyFolder()
    {
        if (immutable) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool writable() const
    {
        QFile probe(path + QStringLiteral("/probe"));
        const bool ok = probe.open(QIODevice::WriteOnly);
        if (ok) probe.remove();
        return ok;
    }
};

}  // namespace

class TestSceneFiles : public QObject
{
    Q_OBJECT

private slots:

    void theAllScenesEntriesNeedTheProcessor()
    {
        for (uint8_t lang : {uint8_t(0), uint8_t(1)}) {
            TestRig rig(false);
            TransferKit kit(rig);
            Lang().LanguageFlag = lang;
            rig.w->sceneFiles().Sence_Sub4_Fun();
            rig.w->sceneFiles().Sence_Sub5_Fun();
            QCOMPARE(rig.notices.size(), 2);
            for (const Notice::Request &n : rig.notices) {
                QCOMPARE(n.text, lang ? QStringLiteral("Please connect machine！") : QStringLiteral("请先联机！"));
                QCOMPARE(n.title, lang ? QStringLiteral("Notice") : QStringLiteral("提示"));
                QVERIFY(!n.question);
            }
            QVERIFY(kit.dialogs.isEmpty());
            QVERIFY(rig.sent().empty());
        }
    }

    void savedSingleSceneHoldsTheProcessorEncoding()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("one.SCE"));
        Session().ParamStore.ChVol[4] = 321;
        Session().ParamStore.EqGain[2][7] = 130;
        Session().ParamStore.Tail[10] = 0x5A;
        const QByteArray before = TransferKit::storeBytes(0, STORE_SIZE);
        const QString shownGain = rig.w->ui->Edit_EQ_Gain[0]->text();
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub2_Fun();

        QCOMPARE(kit.dialogs.size(), 1);
        QVERIFY(kit.dialogs[0].save);
        QCOMPARE(kit.dialogs[0].caption, QStringLiteral("保存单个场景文件"));
        QCOMPARE(kit.dialogs[0].filter, QStringLiteral("场景文件(*.SCE)"));
        QCOMPARE(QFileInfo(kit.dialogs[0].dir).absolutePath(), QDir::currentPath());  // with a suggested name
        const QByteArray file = TransferKit::readFile(path);
        QCOMPARE(file.size(), 4096);
        // Band 1 of CH1 at 0 dB: 240 in the file, 120 in the store and on the screen.
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(120));
        QCOMPARE(file.mid(452, 2), QByteArray("\xF0\x00", 2));
        QCOMPARE(rig.w->ui->Edit_EQ_Gain[0]->text(), shownGain);
        QCOMPARE(TransferKit::storeBytes(0, STORE_SIZE), before);
        // Every gain +120, everything else byte for byte.
        for (int ch = 0; ch < CH_COUNT; ++ch)
            for (int b = 0; b < BAND_COUNT; ++b) {
                const int at = 452 + 2 * (ch * BAND_COUNT + b);
                const int g = uint8_t(file[at]) | uint8_t(file[at + 1]) << 8;
                QCOMPARE(g, Session().ParamStore.EqGain[ch][b] + 120);
            }
        QCOMPARE(file.left(452), before.left(452));
        QCOMPARE(file.mid(824), before.mid(824));
        QVERIFY(rig.notices.isEmpty());
        QVERIFY(rig.sent().empty());
    }

    void aFailedSaveIsReportedAndKeepsTheOldFile()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        // A folder that cannot hold files: a path below a plain file.
        const QString plain = dir.filePath(QStringLiteral("plain"));
        TransferKit::writeFile(plain, "x");
        kit.paths = {plain + QStringLiteral("/one.SCE")};
        rig.w->sceneFiles().Sence_Sub2_Fun();
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("场景文件保存失败，无法写入该文件！")});

        // A read-only folder with older files in it.
        const QString ro = dir.filePath(QStringLiteral("ro"));
        QVERIFY(QDir().mkpath(ro));
        const QString oldAll = ro + QStringLiteral("/old.ALL");
        const QString oldSce = ro + QStringLiteral("/old.SCE");
        TransferKit::writeFile(oldAll, "older contents");
        TransferKit::writeFile(oldSce, "older scene");
        ReadOnlyFolder guard(ro);
        if (!guard.readOnly) QSKIP("no way to make a read-only folder here");
        rig.notices.clear();
        kit.paths = {oldAll, oldSce};
        rig.w->sceneFiles().Sence_Sub4_Fun();  // fetch the nine scenes, then save them over the old file
        rig.w->sceneFiles().Sence_Sub2_Fun();
        QCOMPARE(kit.noticeTexts(), (QStringList{QStringLiteral("场景文件保存失败，无法写入该文件！"),
                                                 QStringLiteral("场景文件保存失败，无法写入该文件！")}));
        QCOMPARE(TransferKit::readFile(oldAll), QByteArray("older contents"));
        QCOMPARE(TransferKit::readFile(oldSce), QByteArray("older scene"));
        QCOMPARE(QDir(ro).entryList(QDir::Files), (QStringList{QStringLiteral("old.ALL"), QStringLiteral("old.SCE")}));
    }

    void savingReplacesAnExistingFileWhole()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("one.SCE"));
        TransferKit::writeFile(path, QByteArray(9000, 'z'));
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub2_Fun();
        QCOMPARE(TransferKit::readFile(path), SceneFile::singleImage(Session().ParamStore));
    }

    void loadingASingleSceneSendsItsPages()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("one.SCE"));
        const QByteArray file = TransferKit::singleSceneFile();
        TransferKit::writeFile(path, file);
        const QByteArray before = TransferKit::storeBytes(0, IMAGE_SIZE);
        QList<int> bar;
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&bar](int v) { bar << v; });
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub3_Fun();

        QCOMPARE(kit.dialogs.size(), 1);
        QVERIFY(!kit.dialogs[0].save);
        QCOMPARE(kit.dialogs[0].caption, QStringLiteral("加载单个场景文件"));
        QCOMPARE(kit.dialogs[0].filter, QStringLiteral("场景文件(*.SCE)"));
        const auto pages = kit.sentWith(5, 0x41);
        QCOMPARE(int(pages.size()), 55);
        QCOMPARE(int(rig.sent().size()), 55);
        for (int p = 0; p < 55; ++p) {
            QCOMPARE(pages[p].size(), 23);
            QCOMPARE(uint8_t(pages[p][2]), uint8_t(p));
            QCOMPARE(pages[p].mid(3), file.mid(p * 20, 20));
        }
        // The processor holds the file (its firmware version bytes are its own).
        QCOMPARE(TransferKit::simMemory(rig.sim, 4, IMAGE_SIZE - 4), file.mid(4, IMAGE_SIZE - 4));
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("单个场景加载完成，确定后系统将自动同步数据")});
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QCOMPARE(bar.first(), 1);  // the first of 55 pages acknowledged (the bar starts at 0)
        QCOMPARE(bar.last(), 100);
        // The store waits for the re-download; only the tail is taken from the file.
        QCOMPARE(TransferKit::storeBytes(0, IMAGE_SIZE), before);
        QCOMPARE(TransferKit::storeBytes(IMAGE_SIZE, STORE_SIZE - IMAGE_SIZE), file.mid(IMAGE_SIZE));
        QCOMPARE(Session().Link.ResyncCountdown, uint16_t(10));
        QVERIFY(!TransferGuard::busy(Session().Link));
        QVERIFY(rig.w->menus().SenceAct[2]->isEnabled());
    }

    void singleSceneIsReadBackTenTicksLater()
    {
        TestRig rig;
        TransferKit kit(rig);
        QVERIFY(rig.connectAndDownload());
        rig.clearSent();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("one.SCE"));
        TransferKit::writeFile(path, TransferKit::singleSceneFile());
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        rig.clearSent();
        rig.tick(8);
        QCOMPARE(kit.sentWith(6, 0x16).size(), size_t(0));
        rig.tick(4);
        QCOMPARE(kit.sentWith(6, 0x16).size(), size_t(1));
        rig.tick(4);
        QVERIFY(!kit.sentWith(6, 0xAA).empty());  // the download has started again
        QVERIFY(rig.connectAndDownload());
        QVERIFY(kit.sentWith(6, 0xAA).size() >= 55u);
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(300));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(250));
        QCOMPARE(Session().ParamStore.EqGain[1][4], uint16_t(180));  // host encoding again
        QCOMPARE(Session().ParamStore.HpfFreq[3], uint16_t(80));
    }

    void aMissedAcknowledgementSendsTheSamePageAgain()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("one.SCE"));
        const QByteArray file = TransferKit::singleSceneFile();
        TransferKit::writeFile(path, file);
        rig.sim.dropAckForPage(7, 2);
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        const auto pages = kit.sentWith(5, 0x41);
        QCOMPARE(int(pages.size()), 57);
        for (int i = 7; i <= 9; ++i) QCOMPARE(pages[i], pages[7]);
        QCOMPARE(uint8_t(pages[10][2]), uint8_t(8));
        QCOMPARE(TransferKit::simMemory(rig.sim, 4, IMAGE_SIZE - 4), file.mid(4, IMAGE_SIZE - 4));
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("单个场景加载完成，确定后系统将自动同步数据")});
    }

    void aSilentProcessorAbandonsTheSingleScene()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        Lang().LanguageFlag = 1;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("one.SCE"));
        TransferKit::writeFile(path, TransferKit::singleSceneFile());
        const QByteArray before = TransferKit::storeBytes(0, STORE_SIZE);
        rig.sim.setSilent(true);
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        const auto pages = kit.sentWith(5, 0x41);
        QCOMPARE(int(pages.size()), Session().Pace.maxTries);
        for (const QByteArray &p : pages) QCOMPARE(p, pages[0]);
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("Sence load failed: not all data reached the machine!")});
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QCOMPARE(TransferKit::storeBytes(0, STORE_SIZE), before);
        QCOMPARE(Session().Link.ResyncCountdown, uint16_t(0));
        QVERIFY(!TransferGuard::busy(Session().Link));
    }

    void unpluggingDuringTheSingleSceneEndsIt()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("one.SCE"));
        TransferKit::writeFile(path, TransferKit::singleSceneFile());
        const QByteArray before = TransferKit::storeBytes(0, STORE_SIZE);
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&rig](int v) {
            if (v == 20) rig.sim.setPlugged(false);
        });
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        // 20 % came with the 11th page acknowledged; the write of the 12th failed and ended it.
        QCOMPARE(int(kit.sentWith(5, 0x41).size()), 11);
        QCOMPARE(kit.noticeTexts(),
                 (QStringList{QStringLiteral("机器通讯异常！"), QStringLiteral("场景加载失败，数据未能完整发送到机器！")}));
        QCOMPARE(Session().Link.Connected, uint8_t(0));
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QCOMPARE(TransferKit::storeBytes(0, STORE_SIZE), before);
    }

    void filesOfTheWrongSizeAreRefused()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        std::memset(Session().SceneBuffer, 0x33, sizeof Session().SceneBuffer);
        const QByteArray store = TransferKit::storeBytes(0, STORE_SIZE);
        const QByteArray processor = TransferKit::simMemory(rig.sim, 0, IMAGE_SIZE);
        const struct {
            const char *name;
            int size;
            bool all;
        } cases[] = {{"short.SCE", 4095, false}, {"long.SCE", 4097, false}, {"empty.SCE", 0, false},
                     {"short.ALL", 36863, true}, {"long.ALL", 36865, true},  {"single.ALL", 4096, true}};
        for (const auto &c : cases) {
            const QString path = dir.filePath(QString::fromLatin1(c.name));
            TransferKit::writeFile(path, TransferKit::pattern(c.size, 1));
            rig.notices.clear();
            kit.paths = {path};
            if (c.all)
                rig.w->sceneFiles().Sence_Sub5_Fun();
            else
                rig.w->sceneFiles().Sence_Sub3_Fun();
            QCOMPARE(kit.noticeTexts(), QStringList{c.all ? QStringLiteral("全部场景文件大小不正确（应为36864字节），未加载！")
                                                          : QStringLiteral("单个场景文件大小不正确（应为4096字节），未加载！")});
        }
        Lang().LanguageFlag = 1;
        rig.notices.clear();
        kit.paths = {dir.filePath(QStringLiteral("missing.SCE"))};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("Sence file cannot be read!")});
        QVERIFY(rig.sent().empty());
        QCOMPARE(TransferKit::storeBytes(0, STORE_SIZE), store);
        QCOMPARE(TransferKit::simMemory(rig.sim, 0, IMAGE_SIZE), processor);
        for (int k = 0; k < SCENE_COUNT; ++k)
            for (int i = 0; i < STORE_SIZE; ++i) QCOMPARE(Session().SceneBuffer[k][i], uint8_t(0x33));
    }

    void cancelledDialogsSendNothing()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        const QByteArray store = TransferKit::storeBytes(0, STORE_SIZE);
        rig.w->sceneFiles().Sence_Sub3_Fun();
        rig.w->sceneFiles().Sence_Sub5_Fun();
        rig.w->sceneFiles().Sence_Sub2_Fun();
        QCOMPARE(kit.dialogs.size(), 3);
        QVERIFY(rig.sent().empty());
        QVERIFY(rig.notices.isEmpty());
        QCOMPARE(TransferKit::storeBytes(0, STORE_SIZE), store);
        // Fetching runs before its save dialog; cancelling that writes nothing and says nothing.
        rig.w->sceneFiles().Sence_Sub4_Fun();
        QCOMPARE(kit.dialogs.size(), 4);
        QCOMPARE(kit.dialogs[3].caption, QStringLiteral("保存全部场景文件"));
        QCOMPARE(kit.dialogs[3].filter, QStringLiteral("场景文件(*.ALL)"));
        QVERIFY(rig.notices.isEmpty());
    }

    void aTransferWaitsForARunningDownload()
    {
        TestRig rig;
        TransferKit kit(rig);
        for (int i = 0; i < 400 && !Session().Link.Downloading; ++i) rig.tick();
        rig.tick(10);
        QVERIFY(Session().Link.Downloading);  // set commands would be dropped now
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("one.SCE"));
        const QByteArray file = TransferKit::singleSceneFile();
        TransferKit::writeFile(path, file);
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        QCOMPARE(int(kit.sentWith(5, 0x41).size()), 55);
        QCOMPARE(TransferKit::simMemory(rig.sim, 4, IMAGE_SIZE - 4), file.mid(4, IMAGE_SIZE - 4));
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("单个场景加载完成，确定后系统将自动同步数据")});
    }

    void oneTransferAtATime()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString one = dir.filePath(QStringLiteral("one.SCE"));
        TransferKit::writeFile(one, TransferKit::singleSceneFile());
        bool entriesDisabled = false;
        bool tried = false;
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&](int v) {
            if (v != 30 || tried) return;
            tried = true;
            entriesDisabled = !rig.w->menus().SenceAct[1]->isEnabled() && !rig.w->menus().SenceAct[4]->isEnabled() &&
                              !rig.w->menus().ResetAct->isEnabled() && !rig.w->menus().UpgradeAct->isEnabled();
            rig.w->sceneFiles().Sence_Sub5_Fun();
            rig.w->sceneFiles().Sence_Sub4_Fun();
            rig.w->scenes().Option_Sub5_Fun();
            rig.w->scenes().Option_Sub3_Fun();
        });
        kit.paths = {one};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        QVERIFY(tried);
        QVERIFY(entriesDisabled);
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.noticeTexts().count(QStringLiteral("正在传输数据，请等待当前操作完成！")), 4);
        QCOMPARE(kit.noticeTexts().last(), QStringLiteral("单个场景加载完成，确定后系统将自动同步数据"));
        QCOMPARE(int(kit.sentWith(5, 0x41).size()), 55);
        QCOMPARE(int(rig.sent().size()), 55);
        QVERIFY(rig.w->menus().SenceAct[1]->isEnabled());
        QVERIFY(rig.w->menus().ResetAct->isEnabled());
    }

    void savedSceneLoadsBackUnchanged()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("round"));  // the dialog's suffix is added
        Session().ParamStore.ChVol[5] = 123;
        Session().ParamStore.EqGain[5][30] = 0;  // -12 dB
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub2_Fun();
        QVERIFY(QFile::exists(path + QStringLiteral(".SCE")));
        kit.paths = {path + QStringLiteral(".SCE")};
        rig.w->sceneFiles().Sence_Sub3_Fun();
        QCOMPARE(rig.sim.params().ChVol[5], uint16_t(123));
        QCOMPARE(rig.sim.params().EqGain[5][30], uint16_t(120));
        QCOMPARE(rig.sim.params().EqGain[0][0], uint16_t(240));
        QCOMPARE(rig.sim.rejectedCount(), 0);
    }
};

QTEST_MAIN(TestSceneFiles)
#include "test_scene_files.moc"
