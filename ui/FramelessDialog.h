// A frameless dialog that the user drags by pressing anywhere on it with the left button.
#pragma once

#include <QDialog>
#include <QPoint>

class FramelessDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FramelessDialog(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPoint dragOffset_;
};
