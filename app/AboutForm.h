// The about box: product, application and the processor's firmware version.
#pragma once

#include "FramelessDialog.h"

#include <cstdint>

class QLabel;
class QPushButton;

class AboutForm : public FramelessDialog
{
    Q_OBJECT
public:
    // Shows the processor's firmware version, texts in the given language (0 = Chinese).
    AboutForm(uint32_t firmwareVersion, uint8_t language, QWidget *parent = nullptr);

    QPushButton *BT_CLOSE;
    QPushButton *BT_EXIT;
    QLabel *label_2, *label_4, *label_5, *label_6, *label_7, *label_8;

public slots:
    void on_BT_CLOSE_clicked();
    void on_BT_EXIT_clicked();
};
