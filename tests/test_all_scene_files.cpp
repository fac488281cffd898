// All-scenes files: fetching the nine stored scenes into a file and loading such a file, with the faults.
#include "SceneFiles.h"
#include "TestRig.h"
#include "TransferKit.h"

#include "LinkState.h"
#include "ParamStore.h"
#include "SceneFile.h"
#include "SceneNames.h"
#include "TransferGuard.h"
#include "Transport.h"

#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

class TestAllSceneFiles : public QObject
{
    Q_OBJECT
private slots:
    void savedAllScenesFileHoldsTheProcessorsScenes()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        for (int k = 1; k <= SCENE_COUNT; ++k) {
            const QByteArray data = TransferKit::pattern(IMAGE_SIZE, 10 * k);
            std::memcpy(rig.sim.scene(k), data.constData(), IMAGE_SIZE);
        }
        rig.sim.corruptNextReply();  // the first reply is dropped for its checksum and asked for again
        std::memset(Session().SceneBuffer, 0x77, sizeof Session().SceneBuffer);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all.ALL"));
        QList<int> bar;
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&bar](int v) { bar << v; });
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub4_Fun();

        const auto requests = kit.sentWith(6, 0x15);
        QCOMPARE(int(requests.size()), 9 * 55 + 1);
        QCOMPARE(requests[0], requests[1]);
        for (int i = 1; i < int(requests.size()); ++i) {
            const int n = i - 1;
            QCOMPARE(requests[i], QByteArray::fromRawData("\x06\x15", 2) + char(n / 55 + 1) + char(n % 55));
        }
        const QByteArray file = TransferKit::readFile(path);
        QCOMPARE(file.size(), 36864);
        for (int k = 1; k <= SCENE_COUNT; ++k) {
            QCOMPARE(file.mid((k - 1) * 4096, IMAGE_SIZE), TransferKit::simScene(rig.sim, k));
            QCOMPARE(file.mid((k - 1) * 4096 + IMAGE_SIZE, 4096 - IMAGE_SIZE), QByteArray(4096 - IMAGE_SIZE, 0));
        }
        QVERIFY(rig.notices.isEmpty());
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QCOMPARE(bar.last(), 100);
        QCOMPARE(Session().Link.HeartbeatCountdown, uint16_t(400));
    }

    void fetchFailuresSaveNothing()
    {
        for (int fault = 0; fault < 2; ++fault) {
            TestRig rig;
            TransferKit kit(rig);
            kit.linkUp();
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("all.ALL"));
            QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&rig, fault](int v) {
                if (v != 40) return;
                if (fault == 0)
                    rig.sim.setSilent(true);
                else
                    rig.sim.setPlugged(false);
            });
            kit.paths = {path};
            rig.w->sceneFiles().Sence_Sub4_Fun();
            QVERIFY(kit.dialogs.isEmpty());
            QVERIFY(!QFile::exists(path));
            QCOMPARE(kit.noticeTexts().last(), QStringLiteral("读取机器场景失败，未保存文件！"));
            QCOMPARE(kit.noticeTexts().size(), fault == 0 ? 1 : 2);  // an unplug also shows the lost link
            QVERIFY(rig.w->ui->TickBar->isHidden());
            QVERIFY(!TransferGuard::busy(Session().Link));
        }
    }

    void loadingAllScenesWritesEveryScene()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all.ALL"));
        const QByteArray file = TransferKit::allScenesFile();
        TransferKit::writeFile(path, file);
        rig.sim.dropAckForScenePage(4, 20, 1);
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub5_Fun();

        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].caption, QStringLiteral("加载全部场景文件"));
        QCOMPARE(kit.dialogs[0].filter, QStringLiteral("场景文件(*.ALL)"));
        const auto writes = kit.sentWith(5, 0x15);
        QCOMPARE(int(writes.size()), 9 * 55 + 1);
        for (int k = 1; k <= SCENE_COUNT; ++k) {
            QCOMPARE(TransferKit::simScene(rig.sim, k), file.mid((k - 1) * 4096, IMAGE_SIZE));
            QVERIFY(rig.sim.sceneUsed(k));
        }
        QCOMPARE(std::memcmp(Session().SceneBuffer, file.constData(), size_t(file.size())), 0);
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("全部场景加载完成，确定后系统将自动同步数据")});
        QVERIFY(rig.w->ui->TickBar->isHidden());
    }

    void loadingAllScenesExactlyOncePerPage()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all.ALL"));
        TransferKit::writeFile(path, TransferKit::allScenesFile());
        kit.paths = {path};
        rig.w->sceneFiles().Sence_Sub5_Fun();
        const auto writes = kit.sentWith(5, 0x15);
        QCOMPARE(int(writes.size()), 9 * 55);
        for (int i = 0; i < 9 * 55; ++i) {
            QCOMPARE(uint8_t(writes[i][2]), uint8_t(i / 55 + 1));
            QCOMPARE(uint8_t(writes[i][3]), uint8_t(i % 55));
        }
        // The processor is identified again at once, then read.
        QCOMPARE(rig.sent().back(), QByteArray("\x06\x16", 2));
        rig.tick(4);
        QVERIFY(!kit.sentWith(6, 0xAA).empty());
    }

    void uploadFailuresAreReported()
    {
        for (int fault = 0; fault < 2; ++fault) {
            TestRig rig;
            TransferKit kit(rig);
            kit.linkUp();
            Lang().LanguageFlag = 1;
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("all.ALL"));
            TransferKit::writeFile(path, TransferKit::allScenesFile());
            QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&rig, fault](int v) {
                if (v != 30) return;
                if (fault == 0)
                    rig.sim.setSilent(true);
                else
                    rig.sim.setPlugged(false);
            });
            kit.paths = {path};
            rig.w->sceneFiles().Sence_Sub5_Fun();
            QCOMPARE(kit.noticeTexts().last(), QStringLiteral("Sence load failed: not all data reached the machine!"));
            QVERIFY(!kit.noticeTexts().contains(QStringLiteral("load success,please wait update")));
            QVERIFY(rig.w->ui->TickBar->isHidden());
            // Scene 3 was being written (30 % at the 149th frame of 495): scenes 4..9 never started.
            QCOMPARE(rig.sim.sceneUsed(4), false);
        }
    }
};

QTEST_MAIN(TestAllSceneFiles)
#include "test_all_scene_files.moc"
