// Dragging of the frameless dialogs, and what the panels beside the main window share.
#include "FramelessDialog.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

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

QString FramelessDialog::panelStyle()
{
    return QStringLiteral(
        "QDialog{background-color: rgb(67, 67, 68);border:2px solid gray;}"
        "QLabel,QCheckBox,QGroupBox{color: rgb(255, 255, 255);}"
        "QGroupBox{border:1px solid gray;margin-top:14px;padding-top:4px;}"
        "QGroupBox::title{subcontrol-origin: margin;left:8px;}"
        "QPushButton{color: rgb(255, 255, 255);background-color: rgb(90, 90, 92);border:1px solid gray;padding:3px 8px;}"
        "QPushButton:pressed{background-color: rgb(120, 120, 122);}");
}

QPushButton *FramelessDialog::panelCloseButton()
{
    auto *close = new QPushButton(this);
    close->setObjectName(QStringLiteral("BT_CLOSE"));
    close->setFixedSize(24, 24);
    close->setFocusPolicy(Qt::NoFocus);
    close->setStyleSheet(QStringLiteral(
        "QPushButton#BT_CLOSE{border-image: url(:/PNG/MainClose.png);background-color: transparent;border:none;}"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    return close;
}

void FramelessDialog::placeBeside(const QWidget &window)
{
    adjustSize();
    const QRect main = window.frameGeometry();
    const QScreen *screen = QGuiApplication::screenAt(main.center());
    const QRect room = screen ? screen->availableGeometry() : main.adjusted(-width(), 0, width(), 0);
    QPoint at(main.right() + 8, main.top());
    if (at.x() + width() > room.right()) at.setX(qMax(room.left(), main.left() - width() - 8));
    at.setY(qBound(room.top(), at.y(), qMax(room.top(), room.bottom() - height())));
    move(at);
}
