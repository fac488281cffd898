// Channel naming: the six menus, ticks and greyed entries, crossover presets, captions and wire traffic.
#include "ChannelNaming.h"
#include "TestRig.h"
#include "TuningModel.h"

#include "LinkState.h"
#include "SpeakerNames.h"
#include "SpeakerPresets.h"
#include "Styles.h"
#include "Transport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list) b.append(char(v));
    return b;
}

QByteArray namesPayload()
{
    QByteArray b = bytes({0x05, 0x17});
    for (uint8_t c : Session().ParamStore.ChName) b.append(char(c));
    return b;
}

QByteArray filterPayload(int code, uint8_t ch)
{
    const bool hp = code == 0x06;
    const uint16_t f = hp ? Session().ParamStore.HpfFreq[ch] : Session().ParamStore.LpfFreq[ch];
    return bytes({0x05, code, ch, hp ? Session().ParamStore.HpfType[ch] : Session().ParamStore.LpfType[ch], f & 0xFF, f >> 8,
                  hp ? Session().ParamStore.HpfSlope[ch] : Session().ParamStore.LpfSlope[ch],
                  hp ? Session().ParamStore.HpfBypass[ch] : Session().ParamStore.LpfBypass[ch]});
}

// Every position entry of every menu shows code as ticked and greyed (taken) or as free.
void verifyTaken(Kestrun &w, uint8_t code, bool taken)
{
    for (int m = 0; m < CH_COUNT; ++m) {
        QCOMPARE(w.naming().ChNameAct[m][code]->isChecked(), taken);
        QCOMPARE(w.naming().ChNameAct[m][code]->isEnabled(), !taken);
    }
}

// Puts a recognisable, non-preset state into the filters of ch.
void markFilters(uint8_t ch)
{
    ParamBlock &s = Session().ParamStore;
    s.HpfFreq[ch] = 555;
    s.HpfSlope[ch] = 6;
    s.HpfBypass[ch] = 0;
    s.HpfType[ch] = 2;
    s.LpfFreq[ch] = 7777;
    s.LpfSlope[ch] = 5;
    s.LpfBypass[ch] = 1;
    s.LpfType[ch] = 1;
}

}  // namespace

class TestNaming : public QObject
{
    Q_OBJECT
private slots:
    void menusAtStart()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        QSet<QAction *> all;
        static const char *titles[6] = {"前左", "前右", "后左", "后右", "中置", "超低"};
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            QMenu *menu = w.ui->BT_CH_NAME[ch]->menu();
            QCOMPARE(menu, w.naming().ChNameMenu[ch]);
            const QList<QAction *> top = menu->actions();
            QCOMPARE(top.size(), 7);
            for (int g = 0; g < 6; ++g) {
                QCOMPARE(top[g]->menu(), w.naming().ChNameSubMenu[ch][g]);
                QCOMPARE(top[g]->text(), QString::fromUtf8(titles[g]));
            }
            QCOMPARE(top[6], w.naming().ChNameAct[ch][SPK_OFF]);
            QCOMPARE(top[6]->text(), QStringLiteral("关闭"));
            const QList<QAction *> fl = w.naming().ChNameSubMenu[ch][0]->actions();
            QCOMPARE(fl.size(), 4);
            QCOMPARE(fl[0], w.naming().ChNameAct[ch][3]);
            QCOMPARE(fl[1], w.naming().ChNameAct[ch][0]);
            QCOMPARE(fl[0]->text(), QStringLiteral("全频"));
            QCOMPARE(fl[3]->text(), QStringLiteral("低频"));
            QCOMPARE(w.naming().ChNameSubMenu[ch][3]->actions().at(2), w.naming().ChNameAct[ch][13]);  // SR / MID
            QCOMPARE(w.naming().ChNameSubMenu[ch][4]->actions().at(0)->text(), QStringLiteral("中置"));
            const QList<QAction *> sub = w.naming().ChNameSubMenu[ch][5]->actions();
            QCOMPARE(sub.size(), 3);
            QCOMPARE(sub[2]->text(), QStringLiteral("单通道超低"));
            for (int code = 0; code < SPEAKER_CODE_COUNT; ++code) {
                QVERIFY(w.naming().ChNameAct[ch][code]);
                QCOMPARE(w.naming().ChNameAct[ch][code]->isCheckable(), code != SPK_SSUB);
                all.insert(w.naming().ChNameAct[ch][code]);
            }
        }
        QCOMPARE(all.size(), 126);
        // The default positions are taken; the single subwoofer of CH6 takes nothing.
        for (uint8_t code : {3, 7, 11, 15, 16}) verifyTaken(w, code, true);
        for (uint8_t code : {0, 4, 8, 17, 18}) verifyTaken(w, code, false);
        verifyTaken(w, SPK_SSUB, false);
        static const char *captions[6] = {"前左全频", "前右全频", "后左全频", "后右全频", "中置", "单通道超低"};
        for (int ch = 0; ch < CH_COUNT; ++ch) QCOMPARE(w.ui->BT_CH_NAME[ch]->text(), QString::fromUtf8(captions[ch]));
    }

    void tweeterOnChannel2TakesThePositionAndOffFreesIt()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        markFilters(1);
        w.naming().ChNameAct[1][0]->trigger();  // CH2: FL / HIGH
        QCOMPARE(Session().ParamStore.ChName[1], uint8_t(0));
        QCOMPARE(Model().CurCh, uint8_t(1));
        verifyTaken(w, 0, true);
        verifyTaken(w, 7, false);  // CH2's former FR-FULL is free again
        QCOMPARE(w.ui->BT_CH_NAME[1]->text(), QStringLiteral("前左高频"));
        QCOMPARE(Session().ParamStore.HpfBypass[1], uint8_t(0));
        QCOMPARE(Session().ParamStore.HpfFreq[1], uint16_t(3000));
        QCOMPARE(Session().ParamStore.HpfSlope[1], uint8_t(3));
        QCOMPARE(Session().ParamStore.LpfBypass[1], uint8_t(1));
        QCOMPARE(Session().ParamStore.LpfFreq[1], uint16_t(20000));
        QCOMPARE(Session().ParamStore.LpfSlope[1], uint8_t(5));  // an off filter keeps its slope
        // The view shows the named channel.
        QCOMPARE(w.ui->BT_CH[1]->styleSheet(), Styles::light(QStringLiteral("BT_CH2")));
        QCOMPARE(w.ui->Edit_HPF_Freq->text(), QStringLiteral("3000"));

        const QByteArray filtersBefore(reinterpret_cast<const char *>(Session().ParamStore.HpfFreq), 1076 - 1016);
        Model().CurCh = 4;
        w.naming().ChNameAct[1][SPK_OFF]->trigger();
        QCOMPARE(Session().ParamStore.ChName[1], SPK_OFF);
        QCOMPARE(Model().CurCh, uint8_t(1));
        verifyTaken(w, 0, false);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.HpfFreq), 1076 - 1016), filtersBefore);
        QCOMPARE(w.ui->BT_CH_NAME[1]->text(), QStringLiteral("关闭"));
        // OFF may be chosen any number of times and by any number of channels.
        w.naming().ChNameAct[2][SPK_OFF]->trigger();
        w.naming().ChNameAct[2][SPK_OFF]->trigger();
        QCOMPARE(Session().ParamStore.ChName[2], SPK_OFF);
        QVERIFY(w.naming().ChNameAct[0][SPK_OFF]->isEnabled());
    }

    void twoSingleSubwoofers()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        w.naming().ChNameAct[0][SPK_SSUB]->trigger();
        w.naming().ChNameAct[1][SPK_SSUB]->trigger();
        QCOMPARE(Session().ParamStore.ChName[0], SPK_SSUB);
        QCOMPARE(Session().ParamStore.ChName[1], SPK_SSUB);
        QCOMPARE(Session().ParamStore.ChName[5], SPK_SSUB);
        verifyTaken(w, SPK_SSUB, false);
        for (int ch : {0, 1}) {
            QCOMPARE(Session().ParamStore.HpfFreq[ch], uint16_t(30));
            QCOMPARE(Session().ParamStore.LpfFreq[ch], uint16_t(90));
        }
        QCOMPARE(w.ui->BT_CH_NAME[0]->text(), QStringLiteral("单通道超低"));
    }

    void frontWooferOnChannel1AgainstChannel3()
    {
        {
            TestRig rig;
            markFilters(0);
            rig.w->naming().ChNameAct[0][2]->trigger();  // CH1: FL / LOW
            QCOMPARE(Session().ParamStore.HpfBypass[0], uint8_t(1));
            QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(20));
            QCOMPARE(Session().ParamStore.HpfSlope[0], uint8_t(6));
            QCOMPARE(Session().ParamStore.LpfBypass[0], uint8_t(0));
            QCOMPARE(Session().ParamStore.LpfFreq[0], uint16_t(150));
            QCOMPARE(Session().ParamStore.LpfSlope[0], uint8_t(3));
        }
        {
            TestRig rig;
            markFilters(2);
            rig.w->naming().ChNameAct[2][2]->trigger();  // CH3: FL / LOW gets the subwoofer preset
            QCOMPARE(Session().ParamStore.HpfBypass[2], uint8_t(0));
            QCOMPARE(Session().ParamStore.HpfFreq[2], uint16_t(30));
            QCOMPARE(Session().ParamStore.HpfSlope[2], uint8_t(6));
            QCOMPARE(Session().ParamStore.LpfBypass[2], uint8_t(0));
            QCOMPARE(Session().ParamStore.LpfFreq[2], uint16_t(90));
            QCOMPARE(Session().ParamStore.LpfSlope[2], uint8_t(3));
            QCOMPARE(Session().ParamStore.HpfType[2], uint8_t(2));
            QCOMPARE(Session().ParamStore.LpfType[2], uint8_t(1));
        }
    }

    void centreKeepsHighPassSlopeAndTypes()
    {
        TestRig rig;
        markFilters(3);
        Session().ParamStore.ChName[4] = 15;  // free the centre
        rig.w->naming().Channel_Display();
        rig.w->naming().Update_Name_Marks();
        rig.w->naming().ChNameAct[3][SPK_CEN]->trigger();
        QCOMPARE(Session().ParamStore.ChName[3], SPK_CEN);
        QCOMPARE(Session().ParamStore.HpfBypass[3], uint8_t(0));
        QCOMPARE(Session().ParamStore.HpfFreq[3], uint16_t(300));
        QCOMPARE(Session().ParamStore.HpfSlope[3], uint8_t(6));
        QCOMPARE(Session().ParamStore.HpfType[3], uint8_t(2));
        QCOMPARE(Session().ParamStore.LpfBypass[3], uint8_t(0));
        QCOMPARE(Session().ParamStore.LpfFreq[3], uint16_t(3000));
        QCOMPARE(Session().ParamStore.LpfSlope[3], uint8_t(3));
        QCOMPARE(Session().ParamStore.LpfType[3], uint8_t(1));
    }

    // The whole preset table, on an outer and an inner channel: (hp bypass, hp freq, hp slope, lp ...).
    void presetTable_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("code");
        QTest::addColumn<QList<int>>("want");
        const QList<int> full{1, 20, 6, 1, 20000, 5};
        const QList<int> sub{0, 30, 6, 0, 90, 3};
        for (int ch : {0, 5, 1, 4}) {
            const bool outer = ch == 0 || ch == 5;
            for (int base : {0, 4, 8, 12}) {
                const QString tag = QStringLiteral("ch%1 code%2").arg(ch).arg(base);
                QTest::newRow(qPrintable(tag + " high")) << ch << base << QList<int>{0, 3000, 3, 1, 20000, 5};
                QTest::newRow(qPrintable(tag + " mid")) << ch << base + 1
                                                        << QList<int>{0, base == 0 && outer ? 150 : 300, 3, 0, 3000, 3};
                const bool subLow = !outer && (base == 0 || base == 4);
                QTest::newRow(qPrintable(tag + " low"))
                    << ch << base + 2
                    << (subLow ? sub : QList<int>{1, 20, 6, 0, base == 0 && outer ? 150 : 300, 3});
                QTest::newRow(qPrintable(tag + " full")) << ch << base + 3 << full;
            }
            QTest::newRow(qPrintable(QStringLiteral("ch%1 cen").arg(ch))) << ch << 16 << QList<int>{0, 300, 6, 0, 3000, 3};
            for (int code : {17, 18, 19}) QTest::newRow(qPrintable(QStringLiteral("ch%1 sub%2").arg(ch).arg(code))) << ch << code << sub;
            QTest::newRow(qPrintable(QStringLiteral("ch%1 off").arg(ch))) << ch << 20 << QList<int>{0, 555, 6, 1, 7777, 5};
        }
    }

    void presetTable()
    {
        QFETCH(int, ch);
        QFETCH(int, code);
        QFETCH(QList<int>, want);
        TestRig::resetGlobals();
        markFilters(uint8_t(ch));
        ApplySpeakerPreset(Session().ParamStore, uint8_t(ch), uint8_t(code));
        const QList<int> got{Session().ParamStore.HpfBypass[ch], Session().ParamStore.HpfFreq[ch], Session().ParamStore.HpfSlope[ch],
                             Session().ParamStore.LpfBypass[ch], Session().ParamStore.LpfFreq[ch], Session().ParamStore.LpfSlope[ch]};
        QCOMPARE(got, want);
        QCOMPARE(Session().ParamStore.HpfType[ch], uint8_t(2));
        QCOMPARE(Session().ParamStore.LpfType[ch], uint8_t(1));
    }

    void connectedAssignmentSendsNamesThenFilters()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        rig.clearSent();
        w.naming().ChNameAct[3][1]->trigger();  // CH4: FL / MID
        QCOMPARE(Session().ParamStore.ChName[3], uint8_t(1));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({0x05, 0x17, 3, 7, 11, 1, 16, 19}),
                                                      bytes({0x05, 0x06, 3, 0, 300 & 0xFF, 300 >> 8, 3, 0}),
                                                      bytes({0x05, 0x07, 3, 0, 3000 & 0xFF, 3000 >> 8, 3, 0})}));
        QCOMPARE(rig.sent()[1], filterPayload(0x06, 3));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.sim.params().ChName), CH_COUNT),
                 namesPayload().mid(2));
        rig.clearSent();
        w.naming().ChNameAct[3][SPK_OFF]->trigger();
        QCOMPARE(rig.sent(), std::vector<QByteArray>{bytes({0x05, 0x17, 3, 7, 11, 20, 16, 19})});
        QCOMPARE(rig.sim.rejectedCount(), 0);
    }

    void tickedEntryOnlyUnticks()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        rig.clearSent();
        Model().CurCh = 3;
        w.naming().ChNameAct[2][7]->trigger();  // FR-FULL, held by CH2: the click takes the tick away and stops
        QVERIFY(!w.naming().ChNameAct[2][7]->isChecked());
        QCOMPARE(Session().ParamStore.ChName[2], uint8_t(11));
        QCOMPARE(Model().CurCh, uint8_t(3));
        QVERIFY(rig.sent().empty());
    }

    void unknownCodesReadAsOff()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        Session().ParamStore.ChName[2] = 25;
        Session().ParamStore.ChName[3] = 255;
        w.naming().Channel_Display();
        w.naming().Update_Name_Marks();
        QCOMPARE(w.ui->BT_CH_NAME[2]->text(), QStringLiteral("关闭"));
        QCOMPARE(w.ui->BT_CH_NAME[3]->text(), QStringLiteral("关闭"));
        verifyTaken(w, 11, false);
        verifyTaken(w, 15, false);
        verifyTaken(w, 3, true);
        for (int m = 0; m < CH_COUNT; ++m) QVERIFY(!w.naming().ChNameAct[m][SPK_OFF]->isChecked());
        QCOMPARE(Session().ParamStore.ChName[2], uint8_t(25));  // the store keeps the byte
        Lang().LanguageFlag = 1;
        w.naming().Update_Channel_Name();
        QCOMPARE(w.ui->BT_CH_NAME[0]->text(), QStringLiteral("FL-FULL"));
        QCOMPARE(w.ui->BT_CH_NAME[2]->text(), QStringLiteral("OFF"));
        QCOMPARE(w.ui->BT_CH_NAME[4]->text(), QStringLiteral("CEN-FULL"));
        // Out-of-range calls from code are ignored.
        w.naming().channelNameChosen(6, 3);
        w.naming().channelNameChosen(0, 21);
        w.naming().channelNameChosen(-1, 0);
        QCOMPARE(Session().ParamStore.ChName[0], uint8_t(3));
    }

    void downloadedNamesShowEverywhere()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        const uint8_t names[CH_COUNT] = {0, 4, 11, 19, 20, 2};
        std::copy(names, names + CH_COUNT, rig.sim.params().ChName);
        QVERIFY(rig.connectAndDownload());
        static const char *captions[6] = {"前左高频", "前右高频", "后左全频", "单通道超低", "关闭", "前左低频"};
        for (int ch = 0; ch < CH_COUNT; ++ch) QCOMPARE(w.ui->BT_CH_NAME[ch]->text(), QString::fromUtf8(captions[ch]));
        // Greyed entries follow the downloaded names in every menu.
        for (int m = 0; m < CH_COUNT; ++m) {
            for (uint8_t code : {0, 4, 11, 2}) QVERIFY(!w.naming().ChNameAct[m][code]->isEnabled());
            for (uint8_t code : {3, 7, 15, 16, 19, 20}) QVERIFY(w.naming().ChNameAct[m][code]->isEnabled());
            // Ticks follow the downloaded names too; the defaults' ticks are gone.
            for (uint8_t code : {0, 4, 11, 2}) QVERIFY(w.naming().ChNameAct[m][code]->isChecked());
            for (uint8_t code : {3, 7, 15, 16}) QVERIFY(!w.naming().ChNameAct[m][code]->isChecked());
        }
    }

    void nameTables()
    {
        QCOMPARE(SpeakerName(0, 0), QStringLiteral("前左高频"));
        QCOMPARE(SpeakerName(9, 1), QStringLiteral("RL-Midrange"));
        QCOMPARE(SpeakerName(14, 0), QStringLiteral("后右低频"));
        QCOMPARE(SpeakerName(16, 0), QStringLiteral("中置"));
        QCOMPARE(SpeakerName(19, 1), QStringLiteral("Subwoofer"));
        QCOMPARE(SpeakerName(20, 0), QStringLiteral("关闭"));
        QCOMPARE(SpeakerName(200, 1), QStringLiteral("OFF"));
        QCOMPARE(T(Txt::NameEntryCen, 1), QStringLiteral("Center"));
        QCOMPARE(T(Txt::NameEntryLSub, 1), QStringLiteral("L-Sub"));
        QCOMPARE(T(Txt::NameEntryRSub, 1), QStringLiteral("R-Sub"));
        QCOMPARE(T(Txt::NameEntrySSub, 1), QStringLiteral("Sub"));
        QCOMPARE(T(Txt::NameEntryHigh, 1), QStringLiteral("Tweeter"));
        QCOMPARE(T(Txt::NameMenuSL, 1), QStringLiteral("SL"));
        for (int code = 0; code < SPEAKER_CODE_COUNT; ++code) QCOMPARE(SpeakerCodeIsExclusive(uint8_t(code)), code <= 18);
    }
};

QTEST_MAIN(TestNaming)
#include "test_naming.moc"
