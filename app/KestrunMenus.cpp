// The pop-up menus of the scene, option, crossover and delay-unit buttons.
#include "Kestrun.h"

#include "MeasurePanel.h"
#include "MeasureTexts.h"
#include "AutoTuneDialog.h"
#include "Notice.h"
#include "ResponseGraph.h"
#include "SceneFile.h"
#include "SetupSheet.h"
#include "StatusNote.h"
#include "Styles.h"
#include "Texts.h"
#include "TuningModel.h"
#include "TuningPanel.h"

#include <QAction>
#include <QActionGroup>
#include <QDate>
#include <QDir>
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
    NoiseGateMenu = newMenu(OptionMenu, language_.text(Txt::MenuNoiseGate));
    NoiseGateGroup = new QActionGroup(this);
    NoiseGateGroup->setExclusive(true);
    for (int k = 0; k < 7; ++k) {
        NoiseGateAct[k] = NoiseGateMenu->addAction(k == 0 ? language_.text(Txt::MenuGateOff) : language_.text(Txt::MenuGateLevel).arg(k));
        NoiseGateAct[k]->setCheckable(true);
        NoiseGateGroup->addAction(NoiseGateAct[k]);
    }
    NoiseGateAct[0]->setChecked(true);
    OptionMenu->addMenu(NoiseGateMenu);
    AboutAct = OptionMenu->addAction(language_.text(Txt::MenuAbout));
    ResetAct = OptionMenu->addAction(language_.text(Txt::MenuReset));
    UpgradeAct = OptionMenu->addAction(language_.text(Txt::MenuUpgrade));
    ChineseAct = OptionMenu->addAction(QStringLiteral("中文"));
    EnglishAct = OptionMenu->addAction(QStringLiteral("English"));
    connect(AboutAct, &QAction::triggered, this, &Kestrun::Option_Sub2_Fun);
    connect(ResetAct, &QAction::triggered, this, &Kestrun::Option_Sub3_Fun);
    connect(UpgradeAct, &QAction::triggered, this, &Kestrun::Option_Sub5_Fun);
    connect(ChineseAct, &QAction::triggered, this, &Kestrun::Option_Sub6_Fun);
    connect(EnglishAct, &QAction::triggered, this, &Kestrun::Option_Sub7_Fun);
    buildUndoEntries();
    TuningAct = OptionMenu->addAction(language_.text(Txt::MenuTuning));
    connect(TuningAct, &QAction::triggered, this, [this] {
        // One panel for the window's life: closed, it is only hidden and keeps its settings.
        auto *panel = findChild<TuningPanel *>();
        if (!panel) {
            panel = new TuningPanel(model_, Graph->overlay(), notice_, folder_, this);
            connect(panel, &TuningPanel::saved, OfflineNote,
                    [this](const QString &path) { OfflineNote->announce(Txt::SavedNote, QDir::toNativeSeparators(path)); });
            panel->placeBeside(*this);
        }
        panel->applyLanguage();
        panel->show();
        panel->raise();
        panel->activateWindow();
    });
    // The measurement panel: one for the window's life, on the sound card the program entry gave.
    QAction *measureAct = OptionMenu->addAction(MT(MTxt::MenuEntry, language_.LanguageFlag));
    measureAct->setObjectName(QStringLiteral("MeasureAct"));
    connect(measureAct, &QAction::triggered, this, [this] {
        auto *panel = findChild<MeasurePanel *>();
        if (!panel) {
            panel = new MeasurePanel(model_, audio_, Graph->overlay(), folder_, this);
            panel->placeBeside(*this);
        }
        panel->applyLanguage(language_.LanguageFlag);
        panel->show();
        panel->raise();
        panel->activateWindow();
    });
    // The auto-tune, last, on the same sound card.
    QAction *autoTuneAct = OptionMenu->addAction(AutoTuneDialog::menuText(language_.LanguageFlag));
    autoTuneAct->setObjectName(QStringLiteral("AutoTuneAct"));
    connect(autoTuneAct, &QAction::triggered, this, [this] { openAutoTune(audio_); });
    connect(OptionMenu, &QMenu::aboutToShow, autoTuneAct,
            [this, autoTuneAct] { autoTuneAct->setText(AutoTuneDialog::menuText(language_.LanguageFlag)); });
    ui->BT_OPTION->setMenu(OptionMenu);

    SenceMenu = newMenu(this);
    const Txt sence[5] = {Txt::MenuSenceManage, Txt::MenuSaveSingle, Txt::MenuLoadSingle, Txt::MenuSaveAll,
                          Txt::MenuLoadAll};
    for (int k = 0; k < 5; ++k) SenceAct[k] = SenceMenu->addAction(language_.text(sence[k]));
    connect(SenceAct[0], &QAction::triggered, this, &Kestrun::Sence_Sub1_Fun);
    connect(SenceAct[1], &QAction::triggered, this, &Kestrun::Sence_Sub2_Fun);
    connect(SenceAct[2], &QAction::triggered, this, &Kestrun::Sence_Sub3_Fun);
    connect(SenceAct[3], &QAction::triggered, this, &Kestrun::Sence_Sub4_Fun);
    connect(SenceAct[4], &QAction::triggered, this, &Kestrun::Sence_Sub5_Fun);
    // The printable setup sheet of the current parameters, retitled whenever the menu opens.
    QAction *sheetAct = SenceMenu->addAction(language_.text(Txt::MenuSetupSheet));
    connect(SenceMenu, &QMenu::aboutToShow, sheetAct, [this, sheetAct] { sheetAct->setText(language_.text(Txt::MenuSetupSheet)); });
    connect(sheetAct, &QAction::triggered, this, [this] {
        const QString path = folder_.saveFile(this, language_.text(Txt::MenuSetupSheet),
                                              RecentFolder::datedName(QStringLiteral("Arvon-6_setup"), QStringLiteral("pdf")),
                                              QStringLiteral("PDF (*.pdf)"));
        const SetupSheet::Heading heading{QString(), QDate::currentDate().toString(Qt::ISODate), QString(), language_.LanguageFlag};
        QString why;
        if (path.isEmpty()) return;
        std::vector<OutputComparison> measured;  // the last auto-tune's before/after curves, when one ran
        if (const auto *autoTune = findChild<AutoTuneDialog *>()) measured = autoTune->comparisons();
        if (!SetupSheet::write(SceneFile::singleImage(model_.session.ParamStore), heading, path, &why, measured))
            notice_.info(Txt::SceneFileWriteFailed);
        else
            OfflineNote->announce(Txt::SavedNote, QDir::toNativeSeparators(path));
    });
    ui->BT_SENCE->setMenu(SenceMenu);
}

void Kestrun::openAutoTune(AudioIo &audio)
{
    auto *dialog = findChild<AutoTuneDialog *>();
    if (!dialog) {
        dialog = new AutoTuneDialog(model_, audio, notice_, folder_, this);
        dialog->adjustSize();
        dialog->move(frameGeometry().center() - dialog->rect().center());
    }
    dialog->applyLanguage(language_.LanguageFlag);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void Kestrun::buildFilterMenus()
{
    QPushButton *typeButton[2] = {ui->BT_HPF_TYPE, ui->BT_LPF_TYPE};
    QPushButton *slopeButton[2] = {ui->BT_HPF_SLOPE, ui->BT_LPF_SLOPE};
    for (int f = 0; f < 2; ++f) {
        FilterTypeMenu[f] = newMenu(this);
        for (int k = 0; k < 3; ++k) {
            FilterTypeAct[f][k] = FilterTypeMenu[f]->addAction(FilterTypeName(unsigned(k), language_.LanguageFlag));
            connect(FilterTypeAct[f][k], &QAction::triggered, this, [this, f, k] { filterTypeChosen(f, k); });
        }
        typeButton[f]->setMenu(FilterTypeMenu[f]);
        FilterSlopeMenu[f] = newMenu(this);
        for (int k = 0; k < 9; ++k) {
            FilterSlopeAct[f][k] = FilterSlopeMenu[f]->addAction(k < 8 ? FilterSlopeName(unsigned(k)) : language_.text(Txt::FilterOff));
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
