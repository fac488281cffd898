// Dragging of the frameless dialogs.
#include "FramelessDialog.h"

#include <QMouseEvent>

FramelessDialog::FramelessDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
}

void FramelessDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) return;
    dragOffset_ = event->globalPos() - frameGeometry().topLeft();
    event->accept();
}

void FramelessDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) return;
    move(event->globalPos() - dragOffset_);
    event->accept();
}
