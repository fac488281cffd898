// The frameless, draggable dialog of the nine scenes stored in the processor: save, recall, delete.
#pragma once

#include "SceneNames.h"

#include <QDialog>
#include <QPoint>

class Notice;
class ProcessorSession;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class SenceManage : public QDialog
{
    Q_OBJECT
public:
    // Builds the controls in the current language and fills them from the scene table.
    SenceManage(const Notice &notice, ProcessorSession &session, QWidget *parent = nullptr);

    QCheckBox *Check_S[SCENE_COUNT] = {};          // Check_S_1 .. Check_S_9
    QLineEdit *Edit_Sence_Name[SCENE_COUNT] = {};  // Edit_Sence_Name_1 .. 9
    QLabel *Label_Mark[SCENE_COUNT] = {};          // Label_Mark_1 .. 9
    QLabel *label = nullptr;                       // the title
    QPushButton *BT_SAVE = nullptr, *BT_CALL = nullptr, *BT_DEL = nullptr, *BT_EXIT = nullptr;
    QPushButton *Header[4] = {};                   // BT_SAVE_2 .. BT_SAVE_5, English column headers
    uint8_t SceneSelect = 0;                       // the scene (0..8) the last save, recall or delete used
    QPushButton *BT_CLOSE = nullptr;

    // The first name character must lie in "A".."z".
    static bool nameAccepted(const QString &name);

public slots:
    void on_BT_CLOSE_clicked();
    void on_BT_EXIT_clicked();
    void checkClicked(int row);  // Check_S_1 .. Check_S_9
    void on_BT_SAVE_clicked();
    void on_BT_CALL_clicked();
    void on_BT_DEL_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildControls();
    // The index of the first checked box, or -1 after the select-first box.
    int selectedSlot();
    void showMarks();

    const Notice &notice_;
    ProcessorSession &p_;  // its scene names and its link
    QPoint dragOffset_;
};
