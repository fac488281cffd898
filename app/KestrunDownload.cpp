// Bringing every control in line with a freshly downloaded parameter image.
#include "Kestrun.h"

#include "LinkState.h"
#include "OutputValues.h"
#include "SceneNames.h"
#include "Texts.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <cstring>

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
    if (Link.LinkStatus == 2) return;
    std::memcpy(ParamStore.page(page), payload + 2, PAGE_SIZE);
    if (page != LAST_PAGE) return;

    Link.LinkStatus = 2;
    ui->TickBar->hide();
    Link.SuppressSend = 1;
    Update_All_State();
    Link.SuppressSend = 0;
    ui->BT_CONNECT->setText(T(Txt::StatusOnline));
    Link.NamesPending = 1;
    Link.NamePage = 1;
    Link.AwaitingReply = 0;
}

void Kestrun::onSceneNameReply(const uint8_t *payload, int n)
{
    if (!payload || n < 2 + SCENE_NAME_SIZE) return;
    const int k = payload[1];
    if (k < 1 || k > SCENE_COUNT) return;
    StoreSceneName(k, payload + 2);
    if (k == SCENE_COUNT) Link.AwaitingReply = 0;
}

void Kestrun::onInputSourceReply(const uint8_t *payload, int n)
{
    if (!payload || n < 2) return;
    ParamStore.InputSource = ParamBlock::correctedInputSource(payload[1]);
    Input_Button_Show(ParamStore.InputSource);
}

void Kestrun::onMasterVolumeReply(const uint8_t *payload, int n)
{
    if (!payload || n < 3) return;
    ParamStore.MasterVol = ParamBlock::correctedMasterVol(uint16_t(payload[1] + 256 * payload[2]));
}

void Kestrun::Update_All_State()
{
    // Every out-of-range field gets its fallback and the gains come to host encoding, before
    // any control is moved (the controls' slots read the store).
    ParamStore.correctDownloaded(EqGainShadow);

    // 1. Input source.
    Input_Button_Show(ParamStore.InputSource);
    // 2. Master volume.
    ui->Slider_Total_Bar->setValue(ParamStore.MasterVol);
    ui->Edit_Total->setText(OutputValues::volumeText(ParamStore.MasterVol));
    // 3. Main mute: up when all six outputs are muted.
    bool allMuted = true;
    for (int ch = 0; ch < CH_COUNT; ++ch) allMuted = allMuted && ParamStore.ChMute[ch] != 0;
    MainMuteOn = allMuted ? 1 : 0;
    MainMute_Show(MainMuteOn);
    // 4. Names and the speaker map.
    Channel_Display();
    Update_Name_Marks();  // ticks the assigned positions and refreshes the name captions
    // 5. The output strips.
    for (uint8_t ch = 0; ch < CH_COUNT; ++ch) {
        ui->Slider_CHVol_Bar[ch]->setValue(ParamStore.ChVol[ch]);
        ui->Edit_CHVol[ch]->setText(OutputValues::volumeText(ParamStore.ChVol[ch]));
        ui->Edit_CHDelay[ch]->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
        Phase_Button_Show(ch, ParamStore.ChPhase[ch]);
        Mute_Button_Show(ch, ParamStore.ChMute[ch]);
    }
    // 6. Noise gate.
    if (ParamStore.NoiseGate <= 6) NoiseGateAct[ParamStore.NoiseGate]->setChecked(true);
    // 7. CH1 and everything that shows the selected channel.
    BT_CH_Switch(0);
}
