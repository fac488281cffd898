// The window side of the link: ticks, status, and every control brought in line with a downloaded image.
#include "LinkView.h"

#include "Kestrun.h"
#include "Notice.h"
#include "SceneFiles.h"

#include "LinkState.h"
#include "TuningModel.h"
#include "SceneNames.h"
#include "Texts.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>


namespace {

constexpr uint8_t LAST_PAGE = PAGE_COUNT - 1;  // its reply completes the download

}  // namespace

LinkView::LinkView(Kestrun &window, TuningModel &model, Notice &notice)
    : w_(window), model_(model), notice_(notice), poll_(*this, model.session)
{
}

void LinkView::wireControls()
{
    connect(w_.ui->BT_CONNECT, &QPushButton::clicked, this, &LinkView::on_BT_CONNECT_clicked);
}

void LinkView::startTicks()
{
    linkTimer_.start();
}

void LinkView::tick()
{
    linkTimer_.tick();
}

void LinkView::ConnectDevice()
{
    poll_.ConnectDevice();
}

void LinkView::showLinkStatus(bool online)
{
    w_.ui->BT_CONNECT->setText(notice_.language().text(online ? Txt::StatusOnline : Txt::StatusOffline));
}

void LinkView::setProgress(int value)
{
    w_.ui->TickBar->setValue(value);
}

void LinkView::showProgress(bool visible)
{
    w_.ui->TickBar->setVisible(visible);
}

void LinkView::reportNameMismatch()
{
    notice_.info(Txt::NameMismatch);
}

void LinkView::paramPageReply(const uint8_t *payload, int n) { onParamPageReply(payload, n); }
void LinkView::sceneNameReply(const uint8_t *payload, int n) { onSceneNameReply(payload, n); }
void LinkView::inputSourceReply(const uint8_t *payload, int n) { onInputSourceReply(payload, n); }
void LinkView::masterVolumeReply(const uint8_t *payload, int n) { onMasterVolumeReply(payload, n); }

// A slot that exists for the form's sake and does nothing.
void LinkView::on_BT_CONNECT_clicked() {}

void LinkView::onParamPageReply(const uint8_t *payload, int n)
{
    if (!payload || n < 2 + PAGE_SIZE) return;  // a short reply is dropped
    const uint8_t page = payload[1];
    if (page > LAST_PAGE) return;
    // Once a download is complete the image holds host-encoded gains: a late or repeated page
    // would put raw processor bytes into it (and a second completion would convert the gains twice).
    if (model_.session.Link.LinkStatus == 2) return;
    model_.receivePage(page, payload + 2);
    if (page != LAST_PAGE) return;

    model_.session.Link.LinkStatus = 2;
    w_.ui->TickBar->hide();
    model_.session.Link.SuppressSend = 1;
    Update_All_State();
    model_.session.Link.SuppressSend = 0;
    w_.ui->BT_CONNECT->setText(notice_.language().text(Txt::StatusOnline));
    model_.session.Link.NamesPending = 1;
    model_.session.Link.NamePage = 1;
    model_.session.Link.AwaitingReply = 0;
    // Edits made offline were replaced: the user decides, once this tick is over.
    if (model_.heldOfflineEdits()) QTimer::singleShot(0, &w_.sceneFiles(), &SceneFiles::resolveOfflineEdits);
}

void LinkView::onSceneNameReply(const uint8_t *payload, int n)
{
    if (!payload || n < 2 + SCENE_NAME_SIZE) return;
    const int k = payload[1];
    if (k < 1 || k > SCENE_COUNT) return;
    model_.session.sceneNames.store(k, payload + 2);
    if (k == SCENE_COUNT) model_.session.Link.AwaitingReply = 0;
}

void LinkView::onInputSourceReply(const uint8_t *payload, int n)
{
    if (!payload || n < 2) return;
    model_.deviceInputSource(payload[1]);
}

void LinkView::onMasterVolumeReply(const uint8_t *payload, int n)
{
    if (!payload || n < 3) return;
    model_.deviceMasterVolume(uint16_t(payload[1] + 256 * payload[2]));
}

// The store holds a new image: the model corrects it, converts the gains and selects CH1; every view
// follows its notification. Nothing is sent (the caller suppresses sending).
void LinkView::Update_All_State()
{
    model_.adoptStore();
}
