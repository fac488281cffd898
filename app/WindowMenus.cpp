// The pop-up menus of the scene, option, crossover and delay-unit buttons.
#include "WindowMenus.h"

#include "AboutForm.h"
#include "ChannelNaming.h"
#include "CrossoverSlots.h"
#include "EditLock.h"
#include "Kestrun.h"
#include "LanguageSwitch.h"
#include "OutputSlots.h"
#include "ProcessorScenes.h"
#include "RecentFolder.h"
#include "SceneFiles.h"
#include "TransferGuard.h"

#include "MeasurePanel.h"
#include "Texts.h"
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
#include <QPointer>
#include <QPushButton>

namespace {
QMenu *newMenu(QWidget *parent, const QString &title = QString())
{
    auto *m = new QMenu(title, parent);
    m->setStyleSheet(Styles::menu());
    return m;
}
}  // namespace

WindowMenus::WindowMenus(Kestrun &window, TuningModel &model, Notice &notice, RecentFolder &folder, AudioIo &audio)
    : w_(window), model_(model), notice_(notice), folder_(folder), audio_(audio)
{
}

void WindowMenus::buildOptionMenus()
{
    OptionMenu = newMenu(&w_);
    NoiseGateMenu = newMenu(OptionMenu, notice_.language().text(Txt::MenuNoiseGate));
    NoiseGateGroup = new QActionGroup(&w_);
    NoiseGateGroup->setExclusive(true);
    for (int k = 0; k < 7; ++k) {
        NoiseGateAct[k] = NoiseGateMenu->addAction(k == 0 ? notice_.language().text(Txt::MenuGateOff) : notice_.language().text(Txt::MenuGateLevel).arg(k));
        NoiseGateAct[k]->setCheckable(true);
        NoiseGateGroup->addAction(NoiseGateAct[k]);
    }
    NoiseGateAct[0]->setChecked(true);
    OptionMenu->addMenu(NoiseGateMenu);
    AboutAct = OptionMenu->addAction(notice_.language().text(Txt::MenuAbout));
    ResetAct = OptionMenu->addAction(notice_.language().text(Txt::MenuReset));
    UpgradeAct = OptionMenu->addAction(notice_.language().text(Txt::MenuUpgrade));
    ChineseAct = OptionMenu->addAction(QStringLiteral("中文"));
    EnglishAct = OptionMenu->addAction(QStringLiteral("English"));
    connect(AboutAct, &QAction::triggered, this, &WindowMenus::Option_Sub2_Fun);
    connect(ResetAct, &QAction::triggered, &w_.scenes(), &ProcessorScenes::Option_Sub3_Fun);
    connect(UpgradeAct, &QAction::triggered, &w_.scenes(), &ProcessorScenes::Option_Sub5_Fun);
    connect(ChineseAct, &QAction::triggered, &w_.language(), &LanguageSwitch::Option_Sub6_Fun);
    connect(EnglishAct, &QAction::triggered, &w_.language(), &LanguageSwitch::Option_Sub7_Fun);
    buildUndoEntries();
    TuningAct = OptionMenu->addAction(notice_.language().text(Txt::MenuTuning));
    connect(TuningAct, &QAction::triggered, this, [this] {
        // One panel for the window's life: closed, it is only hidden and keeps its settings.
        auto *panel = w_.findChild<TuningPanel *>();
        if (!panel) {
            panel = new TuningPanel(model_, w_.graph().overlay(), notice_, folder_, &w_);
            connect(panel, &TuningPanel::saved, w_.OfflineNote,
                    [this](const QString &path) { w_.OfflineNote->announce(Txt::SavedNote, QDir::toNativeSeparators(path)); });
            panel->placeBeside(w_);
        }
        panel->applyLanguage();
        panel->show();
        panel->raise();
        panel->activateWindow();
    });
    // The measurement panel: one for the window's life, on the sound card the program entry gave.
    QAction *measureAct = OptionMenu->addAction(T(Txt::MeasMenuEntry, notice_.language().LanguageFlag));
    measureAct->setObjectName(QStringLiteral("MeasureAct"));
    connect(measureAct, &QAction::triggered, this, [this] {
        auto *panel = w_.findChild<MeasurePanel *>();
        if (!panel) {
            panel = new MeasurePanel(model_, audio_, w_.graph().overlay(), folder_, &w_);
            panel->placeBeside(w_);
        }
        panel->applyLanguage(notice_.language().LanguageFlag);
        panel->show();
        panel->raise();
        panel->activateWindow();
    });
    // The auto-tune, last, on the same sound card.
    QAction *autoTuneAct = OptionMenu->addAction(AutoTuneDialog::menuText(notice_.language().LanguageFlag));
    autoTuneAct->setObjectName(QStringLiteral("AutoTuneAct"));
    connect(autoTuneAct, &QAction::triggered, this, [this] { openAutoTune(audio_); });
    connect(OptionMenu, &QMenu::aboutToShow, autoTuneAct,
            [this, autoTuneAct] { autoTuneAct->setText(AutoTuneDialog::menuText(notice_.language().LanguageFlag)); });
    w_.ui->BT_OPTION->setMenu(OptionMenu);

    SenceMenu = newMenu(&w_);
    const Txt sence[5] = {Txt::MenuSenceManage, Txt::MenuSaveSingle, Txt::MenuLoadSingle, Txt::MenuSaveAll,
                          Txt::MenuLoadAll};
    for (int k = 0; k < 5; ++k) SenceAct[k] = SenceMenu->addAction(notice_.language().text(sence[k]));
    connect(SenceAct[0], &QAction::triggered, &w_.scenes(), &ProcessorScenes::Sence_Sub1_Fun);
    connect(SenceAct[1], &QAction::triggered, &w_.sceneFiles(), &SceneFiles::Sence_Sub2_Fun);
    connect(SenceAct[2], &QAction::triggered, &w_.sceneFiles(), &SceneFiles::Sence_Sub3_Fun);
    connect(SenceAct[3], &QAction::triggered, &w_.sceneFiles(), &SceneFiles::Sence_Sub4_Fun);
    connect(SenceAct[4], &QAction::triggered, &w_.sceneFiles(), &SceneFiles::Sence_Sub5_Fun);
    // The printable setup sheet of the current parameters, retitled whenever the menu opens.
    QAction *sheetAct = SenceMenu->addAction(notice_.language().text(Txt::MenuSetupSheet));
    connect(SenceMenu, &QMenu::aboutToShow, sheetAct, [this, sheetAct] { sheetAct->setText(notice_.language().text(Txt::MenuSetupSheet)); });
    connect(sheetAct, &QAction::triggered, this, [this] {
        const QString path = folder_.saveFile(&w_, notice_.language().text(Txt::MenuSetupSheet),
                                              RecentFolder::datedName(QStringLiteral("Arvon-6_setup"), QStringLiteral("pdf")),
                                              QStringLiteral("PDF (*.pdf)"));
        const SetupSheet::Heading heading{QString(), QDate::currentDate().toString(Qt::ISODate), QString(), notice_.language().LanguageFlag};
        QString why;
        if (path.isEmpty()) return;
        std::vector<OutputComparison> measured;  // the last auto-tune's before/after curves, when one ran
        if (const auto *autoTune = w_.findChild<AutoTuneDialog *>()) measured = autoTune->comparisons();
        if (!SetupSheet::write(SceneFile::singleImage(model_.session.ParamStore), heading, path, &why, measured))
            notice_.info(Txt::SceneFileWriteFailed);
        else
            w_.OfflineNote->announce(Txt::SavedNote, QDir::toNativeSeparators(path));
    });
    w_.ui->BT_SENCE->setMenu(SenceMenu);
}

void WindowMenus::openAutoTune(AudioIo &audio)
{
    auto *dialog = w_.findChild<AutoTuneDialog *>();
    if (!dialog) {
        dialog = new AutoTuneDialog(model_, audio, notice_, folder_, &w_);
        dialog->adjustSize();
        dialog->move(w_.frameGeometry().center() - dialog->rect().center());
    }
    dialog->applyLanguage(notice_.language().LanguageFlag);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void WindowMenus::buildFilterMenus()
{
    QPushButton *typeButton[2] = {w_.ui->BT_HPF_TYPE, w_.ui->BT_LPF_TYPE};
    QPushButton *slopeButton[2] = {w_.ui->BT_HPF_SLOPE, w_.ui->BT_LPF_SLOPE};
    for (int f = 0; f < 2; ++f) {
        FilterTypeMenu[f] = newMenu(&w_);
        for (int k = 0; k < 3; ++k) {
            FilterTypeAct[f][k] = FilterTypeMenu[f]->addAction(FilterTypeName(unsigned(k), notice_.language().LanguageFlag));
            connect(FilterTypeAct[f][k], &QAction::triggered, this, [this, f, k] { w_.crossover().filterTypeChosen(f, k); });
        }
        typeButton[f]->setMenu(FilterTypeMenu[f]);
        FilterSlopeMenu[f] = newMenu(&w_);
        for (int k = 0; k < 9; ++k) {
            FilterSlopeAct[f][k] = FilterSlopeMenu[f]->addAction(k < 8 ? FilterSlopeName(unsigned(k)) : notice_.language().text(Txt::FilterOff));
            connect(FilterSlopeAct[f][k], &QAction::triggered, this, [this, f, k] { w_.crossover().filterSlopeChosen(f, k); });
        }
        slopeButton[f]->setMenu(FilterSlopeMenu[f]);
    }
    connect(FilterSlopeAct[0][0], &QAction::hovered, &w_.crossover(), &CrossoverSlots::HPF_Slope1_Hover);

    UnitMenu = newMenu(&w_);
    UnitAct[0] = UnitMenu->addAction(QStringLiteral("ms"));
    UnitAct[1] = UnitMenu->addAction(QStringLiteral("cm"));
    connect(UnitAct[0], &QAction::triggered, &w_.outputs(), &OutputSlots::ms_Fun);
    connect(UnitAct[1], &QAction::triggered, &w_.outputs(), &OutputSlots::cm_Fun);
    w_.ui->BT_Unit->setMenu(UnitMenu);
}

// Undo and redo: the option menu's last entries and their keys, wherever the focus is.
void WindowMenus::buildUndoEntries()
{
    UndoAct = OptionMenu->addAction(notice_.language().text(Txt::MenuUndo));
    UndoAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoAct = OptionMenu->addAction(notice_.language().text(Txt::MenuRedo));
    RedoAct->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *a : {UndoAct, RedoAct}) {
        a->setShortcutContext(Qt::WindowShortcut);
        w_.addAction(a);  // the keys work while the menu is closed
    }
    connect(UndoAct, &QAction::triggered, this, [this] { model_.undo(); });
    connect(RedoAct, &QAction::triggered, this, [this] { model_.redo(); });
}

void WindowMenus::watchTransfers()
{
    QPointer<WindowMenus> self(this);
    Kestrun &w = w_;
    TransferGuard::setObserver(model_.session.Link, [self, &w](bool busy) {
        if (!self) return;
        for (int k = 1; k < 5; ++k) self->SenceAct[k]->setEnabled(!busy);
        self->ResetAct->setEnabled(!busy);
        self->UpgradeAct->setEnabled(!busy);
        self->NoiseGateMenu->menuAction()->setEnabled(!busy);
        w.TransferLock->setLocked(busy);
    });
}

// The about entry of the option menu.
void WindowMenus::Option_Sub2_Fun()
{
    auto *about = new AboutForm(model_.session.ParamStore.FirmwareVersion, notice_.language().LanguageFlag, nullptr);
    about->show();
}

// A slot that exists for the form's sake and does nothing.
void WindowMenus::Option_Sub4_Fun() {}
