// The window's pop-up menus and their entries: scenes, options, crossover type and slope, delay unit.
#pragma once

#include <QObject>

class AudioIo;
class Kestrun;
class Notice;
class QAction;
class QActionGroup;
class QMenu;
class RecentFolder;
class TuningModel;

class WindowMenus : public QObject
{
    Q_OBJECT
public:
    WindowMenus(Kestrun &window, TuningModel &model, Notice &notice, RecentFolder &folder, AudioIo &audio);

    void buildOptionMenus();  // the option and scene menus
    void buildFilterMenus();  // the crossover and delay-unit menus
    void watchTransfers();    // menu entries disabled and the editing controls held while a transfer runs

    // Menus, held so that the language switch can retitle them and the slots can tick them.
    QMenu *SenceMenu = nullptr;
    QAction *SenceAct[5] = {};  // manage, save single, load single, save all, load all
    QMenu *OptionMenu = nullptr;
    QMenu *NoiseGateMenu = nullptr;
    QActionGroup *NoiseGateGroup = nullptr;
    QAction *NoiseGateAct[7] = {};
    QAction *AboutAct = nullptr, *ResetAct = nullptr, *UpgradeAct = nullptr;
    QAction *ChineseAct = nullptr, *EnglishAct = nullptr;
    QAction *UndoAct = nullptr, *RedoAct = nullptr;
    QAction *TuningAct = nullptr;  // the measurement and auto-EQ panel, last of the option menu
    // Crossover menus, index 0 = high-pass, 1 = low-pass.
    QMenu *FilterTypeMenu[2] = {};
    QAction *FilterTypeAct[2][3] = {};
    QMenu *FilterSlopeMenu[2] = {};
    QAction *FilterSlopeAct[2][9] = {};
    QMenu *UnitMenu = nullptr;
    QAction *UnitAct[2] = {};  // ms, cm

public slots:
    void Option_Sub2_Fun();  // about
    void Option_Sub4_Fun();

private:
    void buildUndoEntries();
    // The auto-tune window on the given sound card: made on first use, then shown again with its settings.
    void openAutoTune(AudioIo &audio);

    Kestrun &w_;
    TuningModel &model_;
    Notice &notice_;
    RecentFolder &folder_;
    AudioIo &audio_;
};
