// A frameless dialog that the user drags by pressing anywhere on it with the left button.
#pragma once

#include <QDialog>
#include <QPoint>

class QPushButton;

class FramelessDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FramelessDialog(QWidget *parent = nullptr);

    // The look of a top-level panel beside the main window: dark, white captions, framed groups.
    static QString panelStyle();
    // A panel's close button for its top right corner: it closes (hides) the panel.
    QPushButton *panelCloseButton();
    // Right of the window, or left of it where the screen has no room on the right.
    void placeBeside(const QWidget &window);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPoint dragOffset_;
};
