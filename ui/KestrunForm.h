// The main window's set of controls: builds them at fixed positions and sets their Chinese texts.
#pragma once

#include "ParamStore.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QWidget;

class KestrunForm
{
public:
    void setupUi(QWidget *window);
    // The default (Chinese) texts of the controls.
    void retranslateUi(QWidget *window);

    // Equaliser bands, index b = band number - 1.
    QSlider *Slider_EQ_Gain_Bar[BAND_COUNT];
    QLineEdit *Edit_EQ_Gain[BAND_COUNT];
    QLineEdit *Edit_EQ_Freq[BAND_COUNT];
    QLineEdit *Edit_EQ_Q[BAND_COUNT];
    QLineEdit *Edit_Label[BAND_COUNT];
    QPushButton *BT_LED[BAND_COUNT];

    // Outputs, index ch = output number - 1.
    QPushButton *BT_CH[CH_COUNT];
    QPushButton *BT_CH_NAME[CH_COUNT];
    QLineEdit *Edit_CHVol[CH_COUNT];
    QSlider *Slider_CHVol_Bar[CH_COUNT];
    QLineEdit *Edit_CHDelay[CH_COUNT];
    QPushButton *BT_Phase[CH_COUNT];
    QPushButton *BT_Mute[CH_COUNT];
    QPushButton *BT_Sync[CH_COUNT];  // BT_Sync_A011 .. BT_Sync_A061
    QCheckBox *checkBox[CH_COUNT];   // checkBox, checkBox_2 .. checkBox_6

    // Master volume and mute.
    QLineEdit *Edit_Total;
    QSlider *Slider_Total_Bar;
    QPushButton *BT_MainMute;

    // Equaliser buttons and the link button.
    QPushButton *BT_PEQ, *BT_GEQ, *BT_EQ_BYPASS, *BT_EQ_RESET, *BT_LINK;

    // Crossover filters.
    QPushButton *BT_HPF_TYPE, *BT_HPF_SLOPE, *BT_HPF_FREQ_UP, *BT_HPF_FREQ_DOWN;
    QLineEdit *Edit_HPF_Freq;
    QPushButton *BT_LPF_TYPE, *BT_LPF_SLOPE, *BT_LPF_FREQ_UP, *BT_LPF_FREQ_DOWN;
    QLineEdit *Edit_LPF_Freq;

    // Input source.
    QPushButton *BT_INPUT_HI, *BT_INPUT_LOW, *BT_INPUT_BT, *BT_INPUT_OPT, *BT_INPUT_COAX;

    // Delay unit, top bar, title-bar buttons.
    QPushButton *BT_Unit;
    QPushButton *BT_SENCE, *BT_OPTION, *BT_CONNECT;
    QPushButton *BT_MIN, *BT_CLOSE;
    QProgressBar *TickBar;

    // Decorative rules: progressBar, progressBar_2 .. _10, progressBar_18 .. _33.
    static constexpr int RULE_COUNT = 26;
    QProgressBar *Rule[RULE_COUNT];
    // Axis captions Edit_L_1 .. Edit_L_15.
    QLineEdit *Edit_L[15];
    // Static captions: label, label_2 .. label_16 (Label[k] is "label_<k+1>", Label[0] is "label").
    QLabel *Label[16];
};
