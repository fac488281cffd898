// Firmware upgrade: signature, the 16-byte blocks with the final 0xFFFF block, progress, and the faults.
#include "SceneFiles.h"
#include "ProcessorScenes.h"
#include "TestRig.h"
#include "TransferKit.h"

#include "FirmwareImage.h"
#include "LinkState.h"
#include "TransferGuard.h"
#include "TransferLink.h"

#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray image(int size)
{
    QByteArray b = TransferKit::pattern(size, 3);
    b.replace(0, 3, "MVO");
    return b.left(size);
}

QByteArray block(uint16_t number, const QByteArray &data)
{
    return QByteArray("\x05\xB0", 2) + char(number >> 8) + char(number & 0xFF) + data;
}

const QString Done = QStringLiteral("升级文件传输完成，请耐心等待机器自动更新固件(5秒钟)!");
const QString Failed = QStringLiteral("固件升级失败，固件未能完整发送到机器！");

}  // namespace

class TestFirmware : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir_.filePath(name);
        TransferKit::writeFile(path, bytes);
        return path;
    }

private slots:
    void needsTheProcessor()
    {
        TestRig rig(false);
        TransferKit kit(rig);
        Lang().LanguageFlag = 1;
        kit.paths = {file(QStringLiteral("a.bin"), image(64))};
        rig.w->scenes().Option_Sub5_Fun();
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("Please connect machine！")});
        QVERIFY(kit.dialogs.isEmpty());
        QVERIFY(rig.sent().empty());
    }

    void theSignatureIsChecked()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QByteArray wrong = image(64);
        wrong[2] = 'X';
        QByteArray lower = image(64);
        lower.replace(0, 3, "mvo");
        kit.paths = {file(QStringLiteral("x.bin"), wrong), file(QStringLiteral("l.bin"), lower),
                     file(QStringLiteral("two.bin"), "MV"), QString()};
        for (int i = 0; i < 4; ++i) rig.w->scenes().Option_Sub5_Fun();
        QCOMPARE(kit.noticeTexts().size(), 4);
        for (const QString &t : kit.noticeTexts()) QCOMPARE(t, QStringLiteral("升级固件不匹配！"));
        QCOMPARE(kit.dialogs[0].caption, QStringLiteral("加载机器升级固件"));
        QCOMPARE(kit.dialogs[0].filter, QStringLiteral("升级固件(*.bin)"));
        QVERIFY(!kit.dialogs[0].save);
        Lang().LanguageFlag = 1;
        rig.notices.clear();
        kit.paths = {file(QStringLiteral("x.bin"), wrong)};
        rig.w->scenes().Option_Sub5_Fun();
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("Firmware not match！")});
        QVERIFY(rig.sent().empty());
        QCOMPARE(Session().Link.Connected, uint8_t(1));
    }

    void oversizedImagesAreRefusedBeforeAnythingIsSent()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        kit.paths = {file(QStringLiteral("big.bin"), image(512 * 1024 + 1)),
                     file(QStringLiteral("huge.bin"), image(1024 * 1024 + 16))};
        rig.w->scenes().Option_Sub5_Fun();
        rig.w->scenes().Option_Sub5_Fun();
        QCOMPARE(kit.noticeTexts(), (QStringList{QStringLiteral("升级固件太大（不能超过512KB），未发送！"),
                                                 QStringLiteral("升级固件太大（不能超过512KB），未发送！")}));
        QVERIFY(rig.sent().empty());
        QVERIFY(rig.w->ui->TickBar->isHidden());
    }

    void imageBlocks()
    {
        FirmwareImage img;
        QCOMPARE(img.load(file(QStringLiteral("max.bin"), image(512 * 1024))), FirmwareImage::Load::Ok);
        QCOMPARE(img.blockCount(), 32768);
        QCOMPARE(img.load(file(QStringLiteral("big.bin"), image(512 * 1024 + 1))), FirmwareImage::Load::TooLarge);
        QCOMPARE(img.blockCount(), 0);
        QCOMPARE(img.load(file(QStringLiteral("x.bin"), image(35))), FirmwareImage::Load::Ok);
        QCOMPARE(img.blockCount(), 3);
        uint8_t b[16];
        img.block(2, b);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(b), 16), image(35).mid(32) + QByteArray(13, char(0xFF)));
        QCOMPARE(img.load(QString()), FirmwareImage::Load::Mismatch);
        QCOMPARE(img.load(dir_.filePath(QStringLiteral("missing.bin"))), FirmwareImage::Load::Mismatch);
    }

    void aSixteenByteImageIsOneFinalBlock()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        const QByteArray img = image(16);
        kit.paths = {file(QStringLiteral("16.bin"), img)};
        rig.w->scenes().Option_Sub5_Fun();
        QCOMPARE(rig.sent(), std::vector<QByteArray>{block(0xFFFF, img)});
        QVERIFY(rig.sim.firmwareComplete());
        QCOMPARE(rig.sim.firmwareImage(), img);
        QCOMPARE(kit.infoTexts(), QStringList{Done});
        // The processor restarts: the link is found again by the poll loop.
        QCOMPARE(Session().Link.Connected, uint8_t(0));
        QCOMPARE(Session().Link.LinkStatus, uint8_t(0));
        QCOMPARE(Session().Link.HeartbeatCountdown, uint16_t(20000));
        QVERIFY(rig.w->ui->TickBar->isHidden());
    }

    void lastBlockPaddingAndEnd()
    {
        for (int size : {40, 48}) {
            TestRig rig;
            TransferKit kit(rig);
            kit.linkUp();
            Lang().LanguageFlag = 1;
            const QByteArray img = image(size);
            kit.paths = {file(QStringLiteral("f.bin"), img)};
            rig.w->scenes().Option_Sub5_Fun();
            const QByteArray last = img.mid(32) + QByteArray(48 - size, char(0xFF));
            QCOMPARE(rig.sent(), (std::vector<QByteArray>{block(0, img.left(16)), block(1, img.mid(16, 16)), block(0xFFFF, last)}));
            QCOMPARE(rig.sim.firmwareImage(), img.left(32) + last);
            QCOMPARE(kit.infoTexts(), QStringList{QStringLiteral("Upgrade success，please wait update(5s)!")});
        }
    }

    void progressFollowsTheBlocksAcknowledged()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        QList<int> shown;
        bool visible = true;
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&](int v) {
            if (shown.isEmpty() || shown.last() != v) shown << v;
            visible = visible && !rig.w->ui->TickBar->isHidden();
        });
        kit.paths = {file(QStringLiteral("300.bin"), image(300 * 16))};
        rig.w->scenes().Option_Sub5_Fun();
        QList<int> percent;  // 0 is the bar's start value; then each change of blocks acknowledged / 300
        for (int v = 1; v <= 100; ++v) percent << v;
        QCOMPARE(shown, percent);
        QVERIFY(visible);
        QCOMPARE(int(rig.sent().size()), 300);
        QVERIFY(rig.sim.firmwareComplete());
        QCOMPARE(rig.sim.firmwareImage(), image(300 * 16));
        QVERIFY(rig.w->ui->TickBar->isHidden());
    }

    void aMissedAcknowledgementKeepsBlocksAndDataInStep()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        const QByteArray img = image(70);
        rig.sim.dropAckForFirmwareBlock(1, 2);
        kit.paths = {file(QStringLiteral("70.bin"), img)};
        rig.w->scenes().Option_Sub5_Fun();
        QCOMPARE(rig.sim.firmwareBlockLog(), (std::vector<uint16_t>{0, 1, 1, 1, 2, 3, 0xFFFF}));
        const auto sent = rig.sent();
        QCOMPARE(sent[1], sent[2]);
        QCOMPARE(sent[2], sent[3]);
        QVERIFY(rig.sim.firmwareComplete());
        QCOMPARE(rig.sim.firmwareImage(), img + QByteArray(10, char(0xFF)));
        QCOMPARE(kit.infoTexts(), QStringList{Done});
    }

    void aSilentProcessorAbandonsTheUpgrade()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        rig.sim.setSilent(true);
        kit.paths = {file(QStringLiteral("f.bin"), image(64))};
        rig.w->scenes().Option_Sub5_Fun();
        const auto sent = rig.sent();
        QCOMPARE(int(sent.size()), Session().Pace.maxTries);
        for (const QByteArray &p : sent) QCOMPARE(p, block(0, image(16)));
        QCOMPARE(kit.infoTexts(), QStringList{Failed});
        QVERIFY(!rig.sim.firmwareComplete());
        QVERIFY(rig.w->ui->TickBar->isHidden());
        QCOMPARE(Session().Link.Connected, uint8_t(1));
        QVERIFY(!TransferGuard::busy(Session().Link));
    }

    void unpluggingDuringTheUpgradeEndsIt()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        Lang().LanguageFlag = 1;
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&rig](int v) {
            if (v == 1) rig.sim.setPlugged(false);
        });
        kit.paths = {file(QStringLiteral("300.bin"), image(300 * 16))};
        rig.w->scenes().Option_Sub5_Fun();
        QCOMPARE(kit.infoTexts(), (QStringList{QStringLiteral("Connect error！"),
                                               QStringLiteral("Upgrade failed: the firmware did not reach the machine completely!")}));
        QCOMPARE(int(rig.sent().size()), 3);  // 1 % after the third block
        QVERIFY(!rig.sim.firmwareComplete());
        QVERIFY(rig.w->ui->TickBar->isHidden());
    }

    void noOtherTransferDuringTheUpgrade()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        bool tried = false;
        QObject::connect(rig.w->ui->TickBar, &QProgressBar::valueChanged, [&](int v) {
            if (v != 1 || tried) return;
            tried = true;
            rig.w->scenes().Option_Sub3_Fun();
            rig.w->sceneFiles().Sence_Sub3_Fun();
        });
        kit.paths = {file(QStringLiteral("300.bin"), image(300 * 16))};
        rig.w->scenes().Option_Sub5_Fun();
        QVERIFY(tried);
        QCOMPARE(kit.infoTexts(), (QStringList{QStringLiteral("正在传输数据，请等待当前操作完成！"),
                                               QStringLiteral("正在传输数据，请等待当前操作完成！"), Done}));
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(rig.sim.countPayloads(5, 0x01), 0);
        QVERIFY(rig.sim.firmwareComplete());
    }
};

QTEST_MAIN(TestFirmware)
#include "test_firmware.moc"
