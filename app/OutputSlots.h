// The slots of the output family: channel selection, master and per-output controls, delay unit, link.
#pragma once

#include "ParamStore.h"

#include <QObject>
#include <QString>
#include <cstdint>

class Kestrun;
class OutputStrip;
class TuningModel;

class OutputSlots : public QObject
{
    Q_OBJECT
public:
    // strips: the window's output strips, filled in after this part is made.
    OutputSlots(Kestrun &window, TuningModel &model, OutputStrip *(&strips)[CH_COUNT]);

public slots:
    // --- channel selection ---
    void BT_CH_Click();
    void BT_CH_Switch(uint8_t ch);
    void Update_Channel_State(uint8_t ch);
    void on_BT_CH7_clicked();

    // --- outputs ---
    void on_Slider_Total_Bar_valueChanged(int value);
    void on_Edit_Total_returnPressed();
    void on_BT_MainMute_clicked();
    void chVolSliderChanged(int ch, int value);
    void chVolEdited(int ch);
    void chDelayEdited(int ch);
    void phaseClicked(int ch);
    void muteClicked(int ch);
    void syncClicked(int ch);
    void ms_Fun();
    void cm_Fun();
    QString GetDelayDisplayStr(uint16_t d) const;
    void Phase_Button_Show(uint8_t ch, uint8_t state);
    void Mute_Button_Show(uint8_t ch, uint8_t state);
    void Sync_Button_Show(uint8_t ch, uint8_t state);
    void MainMute_Show(uint8_t on);

    // --- left/right link ---
    void on_BT_LINK_clicked();

private:
    Kestrun &w_;
    TuningModel &model_;
    OutputStrip *(&Strip)[CH_COUNT];
};
