// The window side of the processor link: its poll loop and ticks, status, progress and state replies.
#pragma once

#include "LinkScheduler.h"
#include "PollLoop.h"

#include <QObject>
#include <cstdint>

class Kestrun;
class Notice;
class TuningModel;

class LinkView : public QObject, public PollHost
{
    Q_OBJECT
public:
    LinkView(Kestrun &window, TuningModel &model, Notice &notice);

    // Ticks of the link come as timer events with this id: the link's running tick timer, 0 while it sleeps.
    int periodicTimerId() const { return linkTimer_.tickTimerId(); }
    PollLoop &pollLoop() { return poll_; }
    void wireControls();  // the connect button
    void startTicks();
    void tick();
    // Opens and identifies the processor again (the transfers that replace its whole state call it).
    void ConnectDevice();

    void showLinkStatus(bool online) override;
    void setProgress(int value) override;
    void showProgress(bool visible) override;
    void reportNameMismatch() override;
    void paramPageReply(const uint8_t *payload, int n) override;
    void sceneNameReply(const uint8_t *payload, int n) override;
    void inputSourceReply(const uint8_t *payload, int n) override;
    void masterVolumeReply(const uint8_t *payload, int n) override;

public slots:
    void on_BT_CONNECT_clicked();
    // Handlers of the replies that carry state; n = payload length.
    void Update_All_State();
    void onParamPageReply(const uint8_t *payload, int n);    // 0xAA
    void onSceneNameReply(const uint8_t *payload, int n);    // 0x10
    void onInputSourceReply(const uint8_t *payload, int n);  // 0x02
    void onMasterVolumeReply(const uint8_t *payload, int n); // 0x0D

private:
    Kestrun &w_;
    TuningModel &model_;
    Notice &notice_;
    PollLoop poll_;
    LinkScheduler linkTimer_{poll_};
};
