// Measurements of the demo program for the README: start-up, connection time, idle CPU and peak memory.
#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWidget;

class DemoFigures : public QObject
{
    Q_OBJECT
public:
    // Watches window from program start; prints the figures and quits after idleSeconds of connected idling.
    DemoFigures(QWidget *window, const QElapsedTimer &sinceStart, int idleSeconds);
    // Call when the processor is plugged in.
    void pluggedIn();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void poll();
    void finish();

    QWidget *window_;
    const QElapsedTimer &start_;
    int idleSeconds_;
    qint64 firstPaintMs_ = -1;
    qint64 plugMs_ = -1;
    qint64 connectedMs_ = -1;
    double cpuAtConnect_ = 0;
};
