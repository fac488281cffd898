// The pop-up menus of the scene, option, crossover and delay-unit buttons.
#include "Kestrun.h"

#include "Styles.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPushButton>

namespace {
QMenu *newMenu(QWidget *parent, const QString &title = QString())
{
    auto *m = new QMenu(title, parent);
    m->setStyleSheet(Styles::menu());
    return m;
}
}  // namespace

void Kestrun::buildOptionMenus()
{
    OptionMenu = newMenu(this);
    NoiseGateMenu = newMenu(OptionMenu, QStringLiteral("噪声门"));
    NoiseGateGroup = new QActionGroup(this);
    NoiseGateGroup->setExclusive(true);
    static const char *gate[7] = {"关闭", "1级", "2级", "3级", "4级", "5级", "6级"};
    for (int k = 0; k < 7; ++k) {
        NoiseGateAct[k] = NoiseGateMenu->addAction(QString::fromUtf8(gate[k]));
        NoiseGateAct[k]->setCheckable(true);
        NoiseGateGroup->addAction(NoiseGateAct[k]);
        connect(NoiseGateAct[k], &QAction::triggered, this, [this, k] { noiseGateChosen(k); });
    }
    NoiseGateAct[0]->setChecked(true);
    OptionMenu->addMenu(NoiseGateMenu);
    AboutAct = OptionMenu->addAction(QStringLiteral("关于本机"));
    ResetAct = OptionMenu->addAction(QStringLiteral("系统复位"));
    UpgradeAct = OptionMenu->addAction(QStringLiteral("机器固件升级"));
    ChineseAct = OptionMenu->addAction(QStringLiteral("中文"));
    EnglishAct = OptionMenu->addAction(QStringLiteral("English"));
    connect(AboutAct, &QAction::triggered, this, &Kestrun::Option_Sub2_Fun);
    connect(ResetAct, &QAction::triggered, this, &Kestrun::Option_Sub3_Fun);
    connect(UpgradeAct, &QAction::triggered, this, &Kestrun::Option_Sub5_Fun);
    connect(ChineseAct, &QAction::triggered, this, &Kestrun::Option_Sub6_Fun);
    connect(EnglishAct, &QAction::triggered, this, &Kestrun::Option_Sub7_Fun);
    ui->BT_OPTION->setMenu(OptionMenu);

    SenceMenu = newMenu(this);
    static const char *sence[5] = {"机器场景管理", "保存单个场景到电脑", "加载电脑的单个场景", "保存所有场景到电脑",
                                   "加载电脑的全部场景"};
    for (int k = 0; k < 5; ++k) SenceAct[k] = SenceMenu->addAction(QString::fromUtf8(sence[k]));
    connect(SenceAct[0], &QAction::triggered, this, &Kestrun::Sence_Sub1_Fun);
    connect(SenceAct[1], &QAction::triggered, this, &Kestrun::Sence_Sub2_Fun);
    connect(SenceAct[2], &QAction::triggered, this, &Kestrun::Sence_Sub3_Fun);
    connect(SenceAct[3], &QAction::triggered, this, &Kestrun::Sence_Sub4_Fun);
    connect(SenceAct[4], &QAction::triggered, this, &Kestrun::Sence_Sub5_Fun);
    ui->BT_SENCE->setMenu(SenceMenu);
}

void Kestrun::buildFilterMenus()
{
    static const char *types[3] = {"巴特沃斯", "宁克", "贝塞尔"};
    static const char *slopes[9] = {"-6dB/Oct",  "-12dB/Oct", "-18dB/Oct", "-24dB/Oct", "-30dB/Oct",
                                    "-36dB/Oct", "-42dB/Oct", "-48dB/Oct", "关闭"};
    QPushButton *typeButton[2] = {ui->BT_HPF_TYPE, ui->BT_LPF_TYPE};
    QPushButton *slopeButton[2] = {ui->BT_HPF_SLOPE, ui->BT_LPF_SLOPE};
    for (int f = 0; f < 2; ++f) {
        FilterTypeMenu[f] = newMenu(this);
        for (int k = 0; k < 3; ++k) {
            FilterTypeAct[f][k] = FilterTypeMenu[f]->addAction(QString::fromUtf8(types[k]));
            connect(FilterTypeAct[f][k], &QAction::triggered, this, [this, f, k] { filterTypeChosen(f, k); });
        }
        typeButton[f]->setMenu(FilterTypeMenu[f]);
        FilterSlopeMenu[f] = newMenu(this);
        for (int k = 0; k < 9; ++k) {
            FilterSlopeAct[f][k] = FilterSlopeMenu[f]->addAction(QString::fromUtf8(slopes[k]));
            connect(FilterSlopeAct[f][k], &QAction::triggered, this, [this, f, k] { filterSlopeChosen(f, k); });
        }
        slopeButton[f]->setMenu(FilterSlopeMenu[f]);
    }
    connect(FilterSlopeAct[0][0], &QAction::hovered, this, &Kestrun::HPF_Slope1_Hover);

    UnitMenu = newMenu(this);
    UnitAct[0] = UnitMenu->addAction(QStringLiteral("ms"));
    UnitAct[1] = UnitMenu->addAction(QStringLiteral("cm"));
    connect(UnitAct[0], &QAction::triggered, this, &Kestrun::ms_Fun);
    connect(UnitAct[1], &QAction::triggered, this, &Kestrun::cm_Fun);
    ui->BT_Unit->setMenu(UnitMenu);
}
