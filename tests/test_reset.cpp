// System reset: confirmation, the one command, the completion box and the new download.
#include "ProcessorScenes.h"
#include "TestRig.h"
#include "TransferKit.h"

#include "LinkState.h"

#include <QtTest>

class TestReset : public QObject
{
    Q_OBJECT

private slots:

    void nothingWithoutAProcessor()
    {
        TestRig rig(false);
        rig.w->scenes().Option_Sub3_Fun();
        QVERIFY(rig.notices.isEmpty());
        QVERIFY(rig.sent().empty());
    }

    void noSendsNothing()
    {
        for (uint8_t lang : {uint8_t(0), uint8_t(1)}) {
            TestRig rig;
            TransferKit kit(rig);
            kit.linkUp();
            Lang().LanguageFlag = lang;
            rig.answers = {false};
            rig.w->scenes().Option_Sub3_Fun();
            QCOMPARE(rig.notices.size(), 1);
            QVERIFY(rig.notices[0].question);
            QCOMPARE(rig.notices[0].text, lang ? QStringLiteral("Config system reset？") : QStringLiteral("确定要将当前机器复位到出厂模式？"));
            QVERIFY(rig.sent().empty());
            QCOMPARE(Session().Link.Connected, uint8_t(1));
        }
    }

    void yesResetsAndReadsTheProcessorAgain()
    {
        TestRig rig;
        TransferKit kit(rig);
        QVERIFY(rig.connectAndDownload());
        rig.clearSent();
        rig.sim.params().ChVol[2] = 100;
        rig.sim.setSceneName(3, "Stored");
        rig.clearSent();
        int resetsAtDoneBox = -1;
        rig.noticeBox.setResponder([&](const Notice::Request &r) {
            if (!r.question) resetsAtDoneBox = rig.sim.countPayloads(5, 0x01);
            rig.notices.append(r);
            return true;
        });
        rig.w->scenes().Option_Sub3_Fun();
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{QByteArray("\x05\x01\x01", 3), QByteArray("\x06\x16", 2)}));
        QCOMPARE(resetsAtDoneBox, 1);
        QCOMPARE(kit.noticeTexts(), (QStringList{QStringLiteral("确定要将当前机器复位到出厂模式？"),
                                                 QStringLiteral("复位完成，请耐心等待2秒钟后自动更新UI！")}));
        QCOMPARE(rig.sim.params().ChVol[2], uint16_t(600));
        QVERIFY(!rig.sim.sceneUsed(3));
        // Identified again at once (after the box), then read.
        rig.clearSent();
        rig.tick(4);
        QVERIFY(!kit.sentWith(6, 0xAA).empty());
        QVERIFY(rig.connectAndDownload());
        QVERIFY(kit.sentWith(6, 0xAA).size() >= 55u);
        QCOMPARE(Session().ParamStore.ChVol[2], uint16_t(600));
    }

    void englishCompletion()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        Lang().LanguageFlag = 1;
        rig.w->scenes().Option_Sub3_Fun();
        QCOMPARE(kit.noticeTexts(),
                 (QStringList{QStringLiteral("Config system reset？"), QStringLiteral("System reset success,please wait update！")}));
        QCOMPARE(rig.notices[1].title, QStringLiteral("Notice"));
    }

    void aLinkLostDuringTheQuestionIsNoSuccess()
    {
        for (int how = 0; how < 2; ++how) {
            TestRig rig;
            TransferKit kit(rig);
            kit.linkUp();
            rig.noticeBox.setResponder([&](const Notice::Request &r) {
                if (r.question) {
                    if (how == 0)
                        rig.sim.setPlugged(false);  // the write will fail
                    else
                        Session().Link.Connected = 0;  // already known to be lost
                }
                rig.notices.append(r);
                return true;
            });
            rig.w->scenes().Option_Sub3_Fun();
            QCOMPARE(rig.sim.countPayloads(5, 0x01), 0);
            QStringList expected{QStringLiteral("确定要将当前机器复位到出厂模式？")};
            if (how == 0) expected << QStringLiteral("机器通讯异常！");
            expected << QStringLiteral("复位失败，复位命令未能发送到机器！");
            QCOMPARE(kit.noticeTexts(), expected);
        }
    }
};

QTEST_MAIN(TestReset)
#include "test_reset.moc"
