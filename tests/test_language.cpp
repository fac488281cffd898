// Switching every text of the window between Chinese and English.
#include "LanguageSwitch.h"
#include "WindowMenus.h"
#include "ChannelNaming.h"
#include "OutputSlots.h"
#include "LinkForm.h"
#include "LinkState.h"
#include "TestRig.h"
#include "Texts.h"
#include "Transport.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

struct Expect {
    const char *what;
    std::function<QString(Kestrun &)> text;
    const char *zh;
    const char *en;
};

QString caption(Kestrun &w, const char *name)
{
    QObject *o = w.findChild<QObject *>(QLatin1String(name));
    if (auto *b = qobject_cast<QAbstractButton *>(o)) return b->text();
    if (auto *l = qobject_cast<QLabel *>(o)) return l->text();
    return QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

std::function<QString(Kestrun &)> named(const char *name)
{
    return [name](Kestrun &w) { return caption(w, name); };
}

// Every caption of the window and every menu entry that the switch rewrites.
const QList<Expect> &table()
{
    static const QList<Expect> t = {
        {"label_16", named("label_16"), "      总音量", "    MasterVol"},
        {"BT_SENCE", named("BT_SENCE"), "  场景", "Sence"},
        {"BT_OPTION", named("BT_OPTION"), "  选项", "Option"},
        {"BT_MainMute", named("BT_MainMute"), "总静音", "Mute"},
        {"checkBox", named("checkBox"), "CH1曲线", "CH1-Line"},
        {"checkBox_6", named("checkBox_6"), "CH6曲线", "CH6-Line"},
        {"BT_PEQ", named("BT_PEQ"), "参量均衡", "PEQ"},
        {"BT_GEQ", named("BT_GEQ"), "图示均衡", "GEQ"},
        {"BT_EQ_RESET", named("BT_EQ_RESET"), "重置均衡", "ResetEQ"},
        {"BT_EQ_BYPASS", named("BT_EQ_BYPASS"), "直通均衡", "BypassEQ"},
        {"label_3", named("label_3"), "类型", "Type"},
        {"label_7", named("label_7"), "类型", "Type"},
        {"label_4", named("label_4"), "频率", "Freq"},
        {"label_6", named("label_6"), "频率", "Freq"},
        {"label_9", named("label_9"), "频率", "Freq"},
        {"label_5", named("label_5"), "斜率", "Slope"},
        {"label_8", named("label_8"), "斜率", "Slope"},
        {"label_10", named("label_10"), "Q值", "Q"},
        {"label_11", named("label_11"), "增益", "Gain"},
        {"label", named("label"), "高通滤波器", "    HPF"},
        {"label_12", named("label_12"), "低通滤波器", "    LPF"},
        {"BT_INPUT_HI", named("BT_INPUT_HI"), "高电平", "HI"},
        {"BT_INPUT_LOW", named("BT_INPUT_LOW"), "低电平", "LOW"},
        {"BT_INPUT_BT", named("BT_INPUT_BT"), "蓝牙", "BT"},
        {"BT_INPUT_OPT", named("BT_INPUT_OPT"), "光纤", "OPT"},
        {"BT_INPUT_COAX", named("BT_INPUT_COAX"), "同轴", "COAX"},
        {"BT_LINK", named("BT_LINK"), "左右联调", "LR-Link"},
        {"label_13", named("label_13"), "延时单位", "Unit"},
        {"label_15", named("label_15"), "直通", "BYPASS"},
        {"BT_Sync_A031", named("BT_Sync_A031"), "同步", "Sync"},
        {"BT_Mute_2", named("BT_Mute_2"), "静音", "Mute"},
        {"BT_Phase_1", named("BT_Phase_1"), "正相", "0°"},
        {"noise gate", [](Kestrun &w) { return w.menus().NoiseGateMenu->title(); }, "噪声门", "Noise Gate"},
        {"gate off", [](Kestrun &w) { return w.menus().NoiseGateAct[0]->text(); }, "关闭", "OFF"},
        {"gate 1", [](Kestrun &w) { return w.menus().NoiseGateAct[1]->text(); }, "1级", "L1"},
        {"gate 6", [](Kestrun &w) { return w.menus().NoiseGateAct[6]->text(); }, "6级", "L6"},
        {"about", [](Kestrun &w) { return w.menus().AboutAct->text(); }, "关于本机", "About"},
        {"reset", [](Kestrun &w) { return w.menus().ResetAct->text(); }, "系统复位", "System Reset"},
        {"upgrade", [](Kestrun &w) { return w.menus().UpgradeAct->text(); }, "机器固件升级", "Machine Upgrade"},
        {"chinese", [](Kestrun &w) { return w.menus().ChineseAct->text(); }, "中文", "中文"},
        {"english", [](Kestrun &w) { return w.menus().EnglishAct->text(); }, "English", "English"},
        {"sence 1", [](Kestrun &w) { return w.menus().SenceAct[0]->text(); }, "机器场景管理", "Sence manage"},
        {"sence 2", [](Kestrun &w) { return w.menus().SenceAct[1]->text(); }, "保存单个场景到电脑", "Save single sence"},
        {"sence 3", [](Kestrun &w) { return w.menus().SenceAct[2]->text(); }, "加载电脑的单个场景", "Load single sence"},
        {"sence 4", [](Kestrun &w) { return w.menus().SenceAct[3]->text(); }, "保存所有场景到电脑", "Save all sence"},
        {"sence 5", [](Kestrun &w) { return w.menus().SenceAct[4]->text(); }, "加载电脑的全部场景", "Load all sence"},
        {"hpf type 1", [](Kestrun &w) { return w.menus().FilterTypeAct[0][0]->text(); }, "巴特沃斯", "Butterworth"},
        {"hpf type 2", [](Kestrun &w) { return w.menus().FilterTypeAct[0][1]->text(); }, "宁克", "Link"},
        {"lpf type 3", [](Kestrun &w) { return w.menus().FilterTypeAct[1][2]->text(); }, "贝塞尔", "Bessel"},
        {"hpf slope off", [](Kestrun &w) { return w.menus().FilterSlopeAct[0][8]->text(); }, "关闭", "OFF"},
        {"lpf slope off", [](Kestrun &w) { return w.menus().FilterSlopeAct[1][8]->text(); }, "关闭", "OFF"},
        {"slope 4", [](Kestrun &w) { return w.menus().FilterSlopeAct[1][3]->text(); }, "-24dB/Oct", "-24dB/Oct"},
        {"unit cm", [](Kestrun &w) { return w.menus().UnitAct[1]->text(); }, "cm", "cm"},
        {"name menu FL", [](Kestrun &w) { return w.naming().ChNameSubMenu[0][0]->title(); }, "前左", "FL"},
        {"name menu SUB", [](Kestrun &w) { return w.naming().ChNameSubMenu[5][5]->title(); }, "超低", "SUB"},
        {"name FL full", [](Kestrun &w) { return w.naming().ChNameAct[2][3]->text(); }, "全频", "FULL"},
        {"name FL tweeter", [](Kestrun &w) { return w.naming().ChNameAct[2][0]->text(); }, "高频", "Tweeter"},
        {"name RR woofer", [](Kestrun &w) { return w.naming().ChNameAct[4][14]->text(); }, "低频", "Woofer"},
        {"name centre", [](Kestrun &w) { return w.naming().ChNameAct[1][16]->text(); }, "中置", "Center"},
        {"name off", [](Kestrun &w) { return w.naming().ChNameAct[1][20]->text(); }, "关闭", "OFF"},
    };
    return t;
}

}  // namespace

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void everyCaptionInBothLanguages()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        w.language().Option_Sub7_Fun();
        QCOMPARE(Lang().LanguageFlag, uint8_t(1));
        for (const Expect &e : table()) QVERIFY2(e.text(w) == QString::fromUtf8(e.en), e.what);
        w.language().Option_Sub6_Fun();
        QCOMPARE(Lang().LanguageFlag, uint8_t(0));
        for (const Expect &e : table()) QVERIFY2(e.text(w) == QString::fromUtf8(e.zh), e.what);
    }

    void startsInChineseAndBoxesFollowTheFlag()
    {
        TestRig rig(true);
        QVERIFY(rig.connectAndDownload());
        rig.sim.setPlugged(false);
        rig.tick(700);
        QCOMPARE(rig.notices.size(), 1);
        QCOMPARE(rig.notices[0].title, QStringLiteral("提示"));
        QCOMPARE(rig.notices[0].text, QStringLiteral("机器通讯异常！"));
        rig.w->language().Option_Sub7_Fun();
        rig.sim.setPlugged(true);
        QVERIFY(rig.connectAndDownload());
        rig.sim.setPlugged(false);
        rig.tick(700);
        QCOMPARE(rig.notices.size(), 2);
        QCOMPARE(rig.notices[1].title, QStringLiteral("Notice"));
        QCOMPARE(rig.notices[1].text, QStringLiteral("Connect error！"));
    }

    void statusAndFilterCaptionsFollowState()
    {
        TestRig rig(true);
        Kestrun &w = *rig.w;
        QVERIFY(rig.connectAndDownload());
        w.language().Option_Sub7_Fun();
        QCOMPARE(w.ui->BT_CONNECT->text(), QStringLiteral("Online"));
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("OFF"));  // factory: high-pass off
        w.language().Option_Sub6_Fun();
        QCOMPARE(w.ui->BT_CONNECT->text(), QStringLiteral("已连接"));
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("关闭"));
        rig.sim.setPlugged(false);
        rig.tick(700);
        w.language().Option_Sub7_Fun();
        QCOMPARE(w.ui->BT_CONNECT->text(), QStringLiteral("OFF"));
        w.language().Option_Sub6_Fun();
        QCOMPARE(w.ui->BT_CONNECT->text(), QStringLiteral("已断开"));
    }

    void typeAndSlopeButtonsOfTheSelectedChannel()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        Session().ParamStore.HpfType[2] = 2;
        Session().ParamStore.HpfBypass[2] = 0;
        Session().ParamStore.HpfSlope[2] = 5;
        Session().ParamStore.LpfType[2] = 1;
        w.outputs().BT_CH_Switch(2);
        w.language().Option_Sub7_Fun();
        QCOMPARE(w.ui->BT_HPF_TYPE->text(), QStringLiteral("Bessel"));
        QCOMPARE(w.ui->BT_LPF_TYPE->text(), QStringLiteral("Link"));
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("-36dB/Oct"));
        QCOMPARE(w.ui->BT_LPF_SLOPE->text(), QStringLiteral("OFF"));
        Session().ParamStore.ChPhase[4] = 1;
        w.language().Option_Sub6_Fun();
        QCOMPARE(w.ui->BT_HPF_TYPE->text(), QStringLiteral("贝塞尔"));
        QCOMPARE(w.ui->BT_Phase[4]->text(), QStringLiteral("反相"));
        w.language().Option_Sub7_Fun();
        QCOMPARE(w.ui->BT_Phase[4]->text(), QStringLiteral("180°"));
    }

    void nameButtonsShowPositionNames()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        QCOMPARE(w.ui->BT_CH_NAME[0]->text(), QStringLiteral("前左全频"));
        w.language().Option_Sub7_Fun();
        QCOMPARE(w.ui->BT_CH_NAME[0]->text(), QStringLiteral("FL-FULL"));
        Session().ParamStore.ChName[1] = 200;  // nonsense from a file: shown as off
        w.language().Option_Sub6_Fun();
        QCOMPARE(w.ui->BT_CH_NAME[1]->text(), QStringLiteral("关闭"));
    }

    // Qt's standard buttons and file-dialog labels follow the window's language (Qt's own catalogue).
    void qtStandardTextsFollowTheLanguage()
    {
        if (!QFile::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath) + "/qtbase_zh_CN.qm"))
            QSKIP("Qt's translations (qttranslations5-l10n) are missing");
        TestRig rig(false);
        auto texts = [] {
            QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                                 QDialogButtonBox::No);
            QFileDialog dialog;
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            QStringList t;
            for (auto b : {QDialogButtonBox::Open, QDialogButtonBox::Cancel, QDialogButtonBox::Yes,
                           QDialogButtonBox::No})
                t << box.button(b)->text();
            return t << dialog.findChild<QLabel *>(QStringLiteral("lookInLabel"))->text();
        };
        QCOMPARE(texts(), QStringList({"打开", "取消", "是(&Y)", "否(&N)", "查找范围："}));
        rig.w->language().Option_Sub7_Fun();
        QCOMPARE(texts(), QStringList({"Open", "Cancel", "&Yes", "&No", "Look in:"}));
        rig.w->language().Option_Sub6_Fun();
        QCOMPARE(texts().at(1), QStringLiteral("取消"));
    }

    void aSwitchSendsNothing()
    {
        TestRig rig(true);
        QVERIFY(rig.connectAndDownload());
        rig.clearSent();
        rig.w->language().Option_Sub7_Fun();
        rig.w->language().Option_Sub6_Fun();
        QCOMPARE(rig.sent().size(), size_t(0));
    }

    void openDialogsKeepTheirLanguage()
    {
        TestRig rig(false);
        LinkForm link(Model(), Lang().LanguageFlag);
        QCOMPARE(link.radioButton_1->text(), QStringLiteral("以左通道为基准"));
        rig.w->language().Option_Sub7_Fun();
        QCOMPARE(link.radioButton_1->text(), QStringLiteral("以左通道为基准"));
        LinkForm english(Model(), Lang().LanguageFlag);
        QCOMPARE(english.radioButton_1->text(), QStringLiteral("Based on the left channel"));
        QCOMPARE(english.pushButton->text(), QStringLiteral("SYNC"));
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
