// The dialog of the processor's nine stored scenes: captions, selection, the name rule, save, recall, delete.
#include "ProcessorScenes.h"
#include "TestRig.h"
#include "TransferKit.h"

#include "LinkState.h"
#include "SceneNames.h"
#include "SenceManage.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

#include <cstring>

namespace {

QList<SenceManage *> openDialogs()
{
    QList<SenceManage *> out;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<SenceManage *>(w))
            if (d->isVisible()) out << d;
    return out;
}

void closeAll()
{
    for (SenceManage *d : openDialogs()) d->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens the manager from the menu entry and returns it.
SenceManage *openManager(TestRig &rig)
{
    const QList<SenceManage *> before = openDialogs();
    rig.w->scenes().Sence_Sub1_Fun();
    for (SenceManage *d : openDialogs())
        if (!before.contains(d)) return d;
    return nullptr;
}

void check(SenceManage *d, int row)
{
    d->Check_S[row]->click();  // toggles and emits clicked, as the user's click does
}

QByteArray nameOf(int slot)
{
    return QByteArray(reinterpret_cast<const char *>(Session().sceneNames.SceneName[slot]), SCENE_NAME_SIZE);
}

}  // namespace

class TestSceneManager : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { closeAll(); }

    void needsTheProcessor()
    {
        for (uint8_t lang : {uint8_t(0), uint8_t(1)}) {
            TestRig rig(false);
            Lang().LanguageFlag = lang;
            rig.w->scenes().Sence_Sub1_Fun();
            QVERIFY(openDialogs().isEmpty());
            QCOMPARE(rig.notices.size(), 1);
            QCOMPARE(rig.notices[0].text, lang ? QStringLiteral("Please connect machine！") : QStringLiteral("请先联机！"));
            QCOMPARE(rig.notices[0].title, lang ? QStringLiteral("Notice") : QStringLiteral("提示"));
        }
    }

    void chineseCaptionsAndTheSceneTable()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        std::memcpy(Session().sceneNames.SceneName[2], "Party", 6);
        Session().sceneNames.SceneUsed[2] = 1;
        std::memcpy(Session().sceneNames.SceneName[8], "ABCDEFGHIJKLMNOP", 16);  // 16 bytes, no terminator
        Session().sceneNames.SceneUsed[8] = 1;
        SenceManage *d = openManager(rig);
        QVERIFY(d);
        QCOMPARE(d->objectName(), QStringLiteral("SenceManage"));
        QCOMPARE(d->size(), QSize(563, 311));
        QCOMPARE(d->windowTitle(), QStringLiteral("场景管理"));
        QVERIFY(d->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(d->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(d->label->objectName(), QStringLiteral("label"));
        QCOMPARE(d->label->text(), QStringLiteral("加载/保存场景"));
        QCOMPARE(d->BT_SAVE->text(), QStringLiteral("保存"));
        QCOMPARE(d->BT_CALL->text(), QStringLiteral("调用"));
        QCOMPARE(d->BT_DEL->text(), QStringLiteral("删除"));
        QCOMPARE(d->BT_EXIT->text(), QStringLiteral("退出"));
        QCOMPARE(d->BT_CLOSE->size(), QSize(27, 27));
        for (int h = 0; h < 4; ++h) {
            QCOMPARE(d->Header[h]->objectName(), QStringLiteral("BT_SAVE_%1").arg(h + 2));
            QVERIFY(d->Header[h]->isHidden());
        }
        for (int i = 0; i < SCENE_COUNT; ++i) {
            QCOMPARE(d->Check_S[i]->objectName(), QStringLiteral("Check_S_%1").arg(i + 1));
            QCOMPARE(d->Edit_Sence_Name[i]->objectName(), QStringLiteral("Edit_Sence_Name_%1").arg(i + 1));
            QCOMPARE(d->Label_Mark[i]->objectName(), QStringLiteral("Label_Mark_%1").arg(i + 1));
            QCOMPARE(d->Edit_Sence_Name[i]->maxLength(), 16);
            QCOMPARE(d->Edit_Sence_Name[i]->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
            QVERIFY(!d->Check_S[i]->isChecked());
        }
        QCOMPARE(d->Edit_Sence_Name[0]->text(), QStringLiteral("Mode1"));
        QCOMPARE(d->Edit_Sence_Name[2]->text(), QStringLiteral("Party"));
        QCOMPARE(d->Edit_Sence_Name[8]->text(), QStringLiteral("ABCDEFGHIJKLMNOP"));
        QCOMPARE(d->Label_Mark[0]->text(), QStringLiteral("空"));
        QCOMPARE(d->Label_Mark[2]->text(), QStringLiteral("非空"));
        QCOMPARE(d->Label_Mark[8]->text(), QStringLiteral("非空"));
        // Each use of the entry builds a new dialog from the table as it is then.
        std::memcpy(Session().sceneNames.SceneName[0], "Road\0", 5);
        SenceManage *second = openManager(rig);
        QVERIFY(second && second != d);
        QCOMPARE(second->Edit_Sence_Name[0]->text(), QStringLiteral("Road"));
        QCOMPARE(d->Edit_Sence_Name[0]->text(), QStringLiteral("Mode1"));
    }

    void englishCaptions()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        Lang().LanguageFlag = 1;
        Session().sceneNames.SceneUsed[4] = 1;
        SenceManage *d = openManager(rig);
        QVERIFY(d);
        QCOMPARE(d->label->text(), QStringLiteral("Load/Save"));
        QCOMPARE(d->BT_SAVE->text(), QStringLiteral("Save"));
        QCOMPARE(d->BT_CALL->text(), QStringLiteral("Load"));
        QCOMPARE(d->BT_DEL->text(), QStringLiteral("Delete"));
        QCOMPARE(d->BT_EXIT->text(), QStringLiteral("Exit"));
        const QStringList headers = {QStringLiteral("Selete"), QStringLiteral("Position"), QStringLiteral("Name"),
                                     QStringLiteral("State")};
        for (int h = 0; h < 4; ++h) {
            QVERIFY(!d->Header[h]->isHidden());
            QCOMPARE(d->Header[h]->text(), headers[h]);
        }
        for (int i = 0; i < SCENE_COUNT; ++i)
            QCOMPARE(d->Label_Mark[i]->text(), i == 4 ? QStringLiteral("Mark") : QStringLiteral("UnMark"));
    }

    void onlyTheFirstCheckedBoxCounts()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        SenceManage *d = openManager(rig);
        check(d, 4);
        QVERIFY(d->Check_S[4]->isChecked());
        check(d, 6);  // checking box 7 unchecks box 5
        QVERIFY(d->Check_S[6]->isChecked());
        QVERIFY(!d->Check_S[4]->isChecked());
        check(d, 6);  // unchecking changes nothing else
        for (int i = 0; i < SCENE_COUNT; ++i) QVERIFY(!d->Check_S[i]->isChecked());
        check(d, 4);
        d->Edit_Sence_Name[4]->setText(QStringLiteral("Five"));
        d->on_BT_SAVE_clicked();
        d->on_BT_CALL_clicked();
        d->on_BT_DEL_clicked();
        const auto p = rig.sent();
        QCOMPARE(int(p.size()), 3);
        QCOMPARE(p[0].left(3), QByteArray("\x05\x0E\x05", 3));
        QCOMPARE(p[1], QByteArray("\x05\x0F\x05", 3));
        QCOMPARE(p[2], QByteArray("\x05\x11\x05", 3));
        QCOMPARE(d->SceneSelect, uint8_t(4));
        // Two boxes checked behind the slots' back: the first one counts.
        d->Check_S[1]->setChecked(true);
        d->Check_S[7]->setChecked(true);
        d->Check_S[4]->setChecked(false);
        rig.clearSent();
        d->on_BT_CALL_clicked();
        QCOMPARE(rig.sent().at(0), QByteArray("\x05\x0F\x02", 3));
        QCOMPARE(d->SceneSelect, uint8_t(1));
    }

    void noSelectionShowsTheSelectBox()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        Lang().LanguageFlag = 1;
        SenceManage *d = openManager(rig);
        d->on_BT_SAVE_clicked();
        d->on_BT_CALL_clicked();
        d->on_BT_DEL_clicked();
        QCOMPARE(kit.noticeTexts(), (QStringList{QStringLiteral("Select Sence!"), QStringLiteral("Select Sence!"), QStringLiteral("Select Sence!")}));
        QVERIFY(rig.sent().empty());
    }

    void theNameRule()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        SenceManage *d = openManager(rig);
        check(d, 1);
        const QByteArray before = nameOf(1);
        for (const QString &bad : {QStringLiteral("1abc"), QStringLiteral(" abc"), QString(), QStringLiteral("中文"),
                                   QStringLiteral("@x"), QStringLiteral("{x")}) {
            rig.notices.clear();
            d->Edit_Sence_Name[1]->setText(bad);
            d->on_BT_SAVE_clicked();
            QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("场景名称格式不正确，要字母开头!")});
        }
        Lang().LanguageFlag = 1;
        rig.notices.clear();
        d->on_BT_SAVE_clicked();
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("Name format error!")});
        QVERIFY(rig.sent().empty());
        QCOMPARE(nameOf(1), before);
        QCOMPARE(Session().sceneNames.SceneUsed[1], uint8_t(0));

        for (const QString &good : {QStringLiteral("_abc"), QStringLiteral("`tick"), QStringLiteral("zed"), QStringLiteral("A")}) {
            rig.notices.clear();
            d->Edit_Sence_Name[1]->setText(good);
            d->on_BT_SAVE_clicked();
            QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("Sence save success!")});
        }
        QCOMPARE(int(kit.sentWith(5, 0x0E).size()), 4);
        QCOMPARE(rig.sim.sceneName(2).left(2), QByteArray("A\0", 2));
        QCOMPARE(Session().sceneNames.SceneUsed[1], uint8_t(1));
        QCOMPARE(d->Label_Mark[1]->text(), QStringLiteral("Mark"));
    }

    void namesAreStoredAndSentWhole()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        std::memcpy(Session().sceneNames.SceneName[4], "NextSlotName", 13);
        const QByteArray next = nameOf(4);
        SenceManage *d = openManager(rig);
        check(d, 3);
        d->Edit_Sence_Name[3]->setText(QStringLiteral("ABCDEFGHIJKLMNOPQ"));  // the field keeps 16
        QCOMPARE(d->Edit_Sence_Name[3]->text(), QStringLiteral("ABCDEFGHIJKLMNOP"));
        d->on_BT_SAVE_clicked();
        QCOMPARE(nameOf(3), QByteArray("ABCDEFGHIJKLMNOP"));
        QCOMPARE(nameOf(4), next);
        QCOMPARE(rig.sent().at(0), QByteArray("\x05\x0E\x04", 3) + QByteArray("ABCDEFGHIJKLMNOP"));
        QCOMPARE(rig.sim.sceneName(4), QByteArray("ABCDEFGHIJKLMNOP"));
        QVERIFY(rig.sim.sceneUsed(4));
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("场景保存成功!")});
        QCOMPARE(d->Label_Mark[3]->text(), QStringLiteral("非空"));

        // A shorter name ends with a zero; the bytes behind it stay as they were.
        rig.clearSent();
        check(d, 0);
        d->Edit_Sence_Name[0]->setText(QStringLiteral("Ab"));
        d->on_BT_SAVE_clicked();
        const QByteArray expected = QByteArray("Ab\0e1", 5) + QByteArray(11, 0);
        QCOMPARE(nameOf(0), expected);
        QCOMPARE(rig.sent().at(0), QByteArray("\x05\x0E\x01", 3) + expected);
    }

    void deleting()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        Lang().LanguageFlag = 1;
        Session().sceneNames.SceneUsed[6] = 1;
        Session().sceneNames.SceneUsed[2] = 1;
        rig.sim.setSceneName(7, "Seven");
        SenceManage *d = openManager(rig);
        QCOMPARE(d->Label_Mark[6]->text(), QStringLiteral("Mark"));
        check(d, 6);
        rig.answers = {false};
        d->on_BT_DEL_clicked();
        QCOMPARE(rig.notices.size(), 1);
        QVERIFY(rig.notices[0].question);
        QCOMPARE(rig.notices[0].text, QStringLiteral("Config Delect Sence"));
        QVERIFY(rig.sent().empty());
        QCOMPARE(Session().sceneNames.SceneUsed[6], uint8_t(1));
        QCOMPARE(d->Label_Mark[6]->text(), QStringLiteral("Mark"));

        rig.answers = {true};
        d->on_BT_DEL_clicked();
        QCOMPARE(rig.sent(), std::vector<QByteArray>{QByteArray("\x05\x11\x07", 3)});
        QVERIFY(!rig.sim.sceneUsed(7));
        QCOMPARE(Session().sceneNames.SceneUsed[6], uint8_t(0));
        QCOMPARE(d->Label_Mark[6]->text(), QStringLiteral("UnMark"));
        QCOMPARE(d->Label_Mark[2]->text(), QStringLiteral("Mark"));
        QCOMPARE(d->Edit_Sence_Name[6]->text(), QStringLiteral("Mode7"));  // the name stays
        QCOMPARE(rig.notices.size(), 2);  // no box after the delete
    }

    void recallShowsItsBoxFirstThenReadsTheProcessorAgain()
    {
        TestRig rig;
        TransferKit kit(rig);
        QVERIFY(rig.connectAndDownload());
        rig.clearSent();
        rig.clearSent();
        SenceManage *d = openManager(rig);
        check(d, 2);
        int recallsAtBox = -1;
        rig.noticeBox.setResponder([&](const Notice::Request &r) {
            recallsAtBox = rig.sim.countPayloads(5, 0x0F);
            rig.notices.append(r);
            return true;
        });
        d->on_BT_CALL_clicked();
        QCOMPARE(recallsAtBox, 0);
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("场景加载成功，请耐心等待参数更新!")});
        QCOMPARE(rig.sent(), std::vector<QByteArray>{QByteArray("\x05\x0F\x03", 3)});
        QCOMPARE(Session().Link.ResyncCountdown, uint16_t(100));
        rig.tick(95);
        QCOMPARE(kit.sentWith(6, 0x16).size(), size_t(0));
        rig.tick(10);
        QCOMPARE(kit.sentWith(6, 0x16).size(), size_t(1));
        rig.tick(4);
        QVERIFY(!kit.sentWith(6, 0xAA).empty());
        QVERIFY(rig.connectAndDownload());
        QVERIFY(kit.sentWith(6, 0xAA).size() >= 55u);
    }

    void aLostLinkIsNoSuccess()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        SenceManage *d = openManager(rig);
        check(d, 0);
        d->Edit_Sence_Name[0]->setText(QStringLiteral("Lost"));
        const QByteArray before = nameOf(0);
        // Unplugged while the dialog is open: the write fails.
        rig.sim.setPlugged(false);
        d->on_BT_SAVE_clicked();
        QCOMPARE(kit.noticeTexts(), QStringList{QStringLiteral("机器通讯异常！")});
        QCOMPARE(nameOf(0), before);
        QCOMPARE(Session().sceneNames.SceneUsed[0], uint8_t(0));
        // Known to be lost: the connect-first box, nothing changes.
        rig.notices.clear();
        d->on_BT_SAVE_clicked();
        rig.answers = {true};
        d->on_BT_DEL_clicked();
        d->on_BT_CALL_clicked();
        QCOMPARE(kit.noticeTexts(), (QStringList{QStringLiteral("请先联机！"), QStringLiteral("请确认是否要删除当前场景"),
                                                 QStringLiteral("请先联机！"), QStringLiteral("请先联机！")}));
        QCOMPARE(nameOf(0), before);
        QCOMPARE(d->Label_Mark[0]->text(), QStringLiteral("空"));
    }

    void draggingAndClosing()
    {
        TestRig rig;
        TransferKit kit(rig);
        kit.linkUp();
        SenceManage *d = openManager(rig);
        d->move(100, 100);
        const QPoint start = d->frameGeometry().topLeft();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, 150), QPointF(start + QPoint(200, 150)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(d, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(240, 170), QPointF(start + QPoint(240, 170)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(d, &move);
        QCOMPARE(d->frameGeometry().topLeft(), start + QPoint(40, 20));
        QPointer<SenceManage> gone(d);
        d->BT_EXIT->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gone.isNull());
        SenceManage *again = openManager(rig);
        QPointer<SenceManage> closed(again);
        again->BT_CLOSE->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());
        QVERIFY(rig.sent().empty());
    }
};

QTEST_MAIN(TestSceneManager)
#include "test_scene_manager.moc"
