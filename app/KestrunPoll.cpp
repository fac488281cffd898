// The poll loop of the processor link, ticked by the link's scheduler, and what it shows in the window.
#include "Kestrun.h"

#include "Notice.h"
#include "Texts.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>

void Kestrun::timerEvent(QTimerEvent *event)
{
    // Only ticks delivered by hand reach the window; the scheduler's own timers go to the scheduler.
    if (event->timerId() != periodicTimerId()) return;
    linkTimer_.tick();
}

void Kestrun::ConnectDevice()
{
    poll_.ConnectDevice();
}

void Kestrun::PollView::showLinkStatus(bool online)
{
    w_.ui->BT_CONNECT->setText(w_.language_.text(online ? Txt::StatusOnline : Txt::StatusOffline));
}

void Kestrun::PollView::setProgress(int value)
{
    w_.ui->TickBar->setValue(value);
}

void Kestrun::PollView::showProgress(bool visible)
{
    w_.ui->TickBar->setVisible(visible);
}

void Kestrun::PollView::reportNameMismatch()
{
    w_.notice_.info(Txt::NameMismatch);
}

void Kestrun::PollView::paramPageReply(const uint8_t *payload, int n) { w_.onParamPageReply(payload, n); }
void Kestrun::PollView::sceneNameReply(const uint8_t *payload, int n) { w_.onSceneNameReply(payload, n); }
void Kestrun::PollView::inputSourceReply(const uint8_t *payload, int n) { w_.onInputSourceReply(payload, n); }
void Kestrun::PollView::masterVolumeReply(const uint8_t *payload, int n) { w_.onMasterVolumeReply(payload, n); }
