// The about box: version text and language at construction.
#include "WindowMenus.h"
#include "AboutForm.h"
#include "ParamStore.h"
#include "TestRig.h"
#include "Texts.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void versionBeforeAnyConnectionIsZero()
    {
        TestRig rig(false);
        AboutForm about(Session().ParamStore.FirmwareVersion, Lang().LanguageFlag);
        QCOMPARE(about.label_8->text(), QStringLiteral("0"));
        QCOMPARE(about.label_2->text(), QStringLiteral("关于 Veltra DSP"));
        QCOMPARE(about.label_6->text(), QStringLiteral("机器固件版本："));
        QCOMPARE(about.windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
        QCOMPARE(about.size(), QSize(523, 314));
    }

    void downloadedVersionAndUnsignedDecimal()
    {
        TestRig rig(false);
        Session().ParamStore.FirmwareVersion = 4660;
        AboutForm a(Session().ParamStore.FirmwareVersion, Lang().LanguageFlag);
        QCOMPARE(a.label_8->text(), QStringLiteral("4660"));
        Session().ParamStore.FirmwareVersion = 0xFFFFFFFFu;
        AboutForm b(Session().ParamStore.FirmwareVersion, Lang().LanguageFlag);
        QCOMPARE(b.label_8->text(), QStringLiteral("4294967295"));
    }

    void englishHeadingButChineseButton()
    {
        TestRig rig(false);
        Lang().LanguageFlag = 1;
        AboutForm about(Session().ParamStore.FirmwareVersion, Lang().LanguageFlag);
        QCOMPARE(about.label_2->text(), QStringLiteral("About Veltra DSP"));
        QCOMPARE(about.label_4->text(), QStringLiteral("Application Arvon-6"));
        QCOMPARE(about.label_6->text(), QStringLiteral("Firmware Version:"));
        QCOMPARE(about.BT_EXIT->text(), QStringLiteral("确定"));
        QCOMPARE(about.label_7->text(), QStringLiteral("Veltra CAR DSP UI"));
        // A switch back leaves the open dialog as it was built.
        Lang().LanguageFlag = 0;
        QCOMPARE(about.label_2->text(), QStringLiteral("About Veltra DSP"));
    }

    void menuEntryOpensIndependentDialogs()
    {
        TestRig rig(false);
        const int before = QApplication::topLevelWidgets().size();
        rig.w->menus().Option_Sub2_Fun();
        rig.w->menus().Option_Sub2_Fun();
        QList<AboutForm *> open;
        for (QWidget *t : QApplication::topLevelWidgets())
            if (auto *a = qobject_cast<AboutForm *>(t)) open.append(a);
        QCOMPARE(open.size(), 2);
        QVERIFY(QApplication::topLevelWidgets().size() >= before + 2);
        for (AboutForm *a : open) {
            QVERIFY(a->isVisible());
            QVERIFY(!a->isModal());
            a->BT_EXIT->click();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
