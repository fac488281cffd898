// A graph marker: a push button that moves itself under the mouse within the graph area.
#pragma once

#include <QPushButton>
#include <cstdint>

class DragPushButton : public QPushButton
{
    Q_OBJECT
public:
    DragPushButton(const QString &text, QWidget *parent);

    int pressX = 0, pressY = 0;
    int currentX = 0, currentY = 0;
    // A crossover marker while it is held: it moves along its fixed height only.
    bool heldAtHeight = false;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
