// Marker movement: clamped to the graph, crossover markers held at one height.
#include "DragPushButton.h"

#include <QKeyEvent>
#include <QMouseEvent>

DragPushButton::DragPushButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
    setStyleSheet(QStringLiteral("QPushButton{border-image: url(:/PNG/Marker.png);background-color: transparent;}"));
}

void DragPushButton::mousePressEvent(QMouseEvent *event)
{
    pressX = event->pos().x();
    pressY = event->pos().y();
}

void DragPushButton::mouseMoveEvent(QMouseEvent *event)
{
    currentX = event->pos().x();
    currentY = event->pos().y();
    int left = x() + (currentX - pressX);
    if (left <= 35) left = 36;
    else if (left >= 1097) left = 1096;
    int top;
    if (heldAtHeight) {
        top = 148;
    } else {
        top = y() + (currentY - pressY);
        if (top <= 49) top = 50;
        else if (top >= 239) top = 238;
    }
    move(left, top);
}

void DragPushButton::keyPressEvent(QKeyEvent *event)
{
    const QWidget *p = parentWidget();
    const int pw = p ? p->width() : 0;
    const int ph = p ? p->height() : 0;
    switch (event->key()) {
    case Qt::Key_Left:
        if (x() > 3) move(x() - 4, y());
        break;
    case Qt::Key_Right:
        if (pw - width() - x() > 3) move(x() + 4, y());
        break;
    case Qt::Key_Up:
        if (y() > 3) move(x(), y() - 4);
        break;
    case Qt::Key_Down:
        if (ph - height() - y() > 3) move(x(), y() + 4);
        break;
    default:
        break;
    }
}
