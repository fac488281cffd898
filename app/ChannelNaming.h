// Channel naming by speaker position: the six name menus, their entries and the name captions.
#pragma once

#include "ParamStore.h"
#include "SpeakerNames.h"

#include <QObject>
#include <QPoint>

class KestrunForm;
class Language;
class QAction;
class QMenu;
class QWidget;
class TuningModel;

class ChannelNaming : public QObject
{
    Q_OBJECT
public:
    ChannelNaming(QWidget &window, KestrunForm &ui, TuningModel &model, const Language &language);

    void buildChannelNameMenus();

    // Channel-name menus, one per output.
    QMenu *ChNameMenu[CH_COUNT] = {};
    // Their submenus FL, FR, SL, SR, CEN, SUB and their entries by position code ([20] = OFF).
    QMenu *ChNameSubMenu[CH_COUNT][NAME_GROUP_COUNT] = {};
    QAction *ChNameAct[CH_COUNT][SPEAKER_CODE_COUNT] = {};

public slots:
    void channelNameChosen(int ch, int code);
    void Channel_Display();
    void Update_Name_Marks();
    void Update_Channel_Name();
    void Menu_LanguageSet();
    void on_BT_CH_NAME_1_clicked();
    void on_BT_CH_NAME_1_toggled(bool checked);
    void on_BT_CH_NAME_1_customContextMenuRequested(const QPoint &pos);
    void on_BT_CH_NAME_3_clicked();

private:
    QWidget &window_;
    KestrunForm *ui;
    TuningModel &model_;
    const Language &language_;
};
