// Measurements of the demo program for the README: start-up, connection time, idle CPU and wake-ups, peak memory.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;
struct LinkState;

class DemoFigures : public QObject
{
    Q_OBJECT
public:
    // Watches window from program start; prints the figures and quits after idleSeconds of connected idling.
    DemoFigures(QWidget *window, const LinkState &link, const QElapsedTimer &sinceStart, int idleSeconds);
    // Call when the processor is plugged in.
    void pluggedIn();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void poll();
    void finish();

    QWidget *window_;
    const LinkState &link_;
    const QElapsedTimer &start_;
    int idleSeconds_;
    QTimer watch_;  // looks for the end of the download every millisecond until it is through
    qint64 firstPaintMs_ = -1;
    qint64 plugMs_ = -1;
    qint64 connectedMs_ = -1;
    double cpuAtConnect_ = 0;
    long long switchesAtConnect_ = 0;
};
