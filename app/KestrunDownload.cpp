// Bringing every control in line with a freshly downloaded parameter image.
#include "Kestrun.h"

#include "LinkState.h"
#include "TuningModel.h"
#include "SceneNames.h"
#include "Texts.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>


namespace {

constexpr uint8_t LAST_PAGE = PAGE_COUNT - 1;  // its reply completes the download

}  // namespace

void Kestrun::onParamPageReply(const uint8_t *payload, int n)
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
    ui->TickBar->hide();
    model_.session.Link.SuppressSend = 1;
    Update_All_State();
    model_.session.Link.SuppressSend = 0;
    ui->BT_CONNECT->setText(language_.text(Txt::StatusOnline));
    model_.session.Link.NamesPending = 1;
    model_.session.Link.NamePage = 1;
    model_.session.Link.AwaitingReply = 0;
    // Edits made offline were replaced: the user decides, once this tick is over.
    if (model_.heldOfflineEdits()) QTimer::singleShot(0, this, &Kestrun::resolveOfflineEdits);
}

void Kestrun::onSceneNameReply(const uint8_t *payload, int n)
{
    if (!payload || n < 2 + SCENE_NAME_SIZE) return;
    const int k = payload[1];
    if (k < 1 || k > SCENE_COUNT) return;
    model_.session.sceneNames.store(k, payload + 2);
    if (k == SCENE_COUNT) model_.session.Link.AwaitingReply = 0;
}

void Kestrun::onInputSourceReply(const uint8_t *payload, int n)
{
    if (!payload || n < 2) return;
    model_.deviceInputSource(payload[1]);
}

void Kestrun::onMasterVolumeReply(const uint8_t *payload, int n)
{
    if (!payload || n < 3) return;
    model_.deviceMasterVolume(uint16_t(payload[1] + 256 * payload[2]));
}

// The store holds a new image: the model corrects it, converts the gains and selects CH1; every view
// follows its notification. Nothing is sent (the caller suppresses sending).
void Kestrun::Update_All_State()
{
    model_.adoptStore();
}
