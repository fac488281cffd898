// A graph marker: a push button that moves itself under the mouse within the graph area.
#pragma once

#include <QPushButton>
#include <cstdint>

// 1 while the high-pass or low-pass marker is held.
extern uint8_t HPF_Drag;
extern uint8_t LPF_Drag;

class DragPushButton : public QPushButton
{
    Q_OBJECT
public:
    DragPushButton(const QString &text, QWidget *parent);

    int pressX = 0, pressY = 0;
    int currentX = 0, currentY = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
