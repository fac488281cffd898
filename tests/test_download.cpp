// State download: page, scene-name, input-source and master-volume replies and the refresh that follows.
#include "LinkView.h"
#include "WindowMenus.h"
#include "OutputSlots.h"
#include "TestRig.h"
#include "TuningModel.h"

#include "LinkState.h"
#include "SceneNames.h"
#include "Styles.h"
#include "Transport.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

namespace {

// A processor memory image (device encoding), starting from the factory state.
struct Image {
    std::unique_ptr<ParamBlock> block{new ParamBlock()};
    explicit Image(const SimProcessor &sim)
    {
        const QByteArray f = sim.factoryMemory();
        std::memcpy(block->bytes(), f.constData(), size_t(f.size()));
    }
    ParamBlock *operator->() { return block.get(); }
};

void sendPage(Kestrun &w, const ParamBlock &img, int page)
{
    uint8_t payload[2 + PAGE_SIZE] = {0xAA, uint8_t(page)};
    std::memcpy(payload + 2, img.page(page), PAGE_SIZE);
    w.linkView().onParamPageReply(payload, int(sizeof payload));
}

// The processor has been identified: the pages are being read.
void startDownload(TestRig &rig)
{
    QVERIFY(Session().Port.open());
    Session().Link.Connected = 1;
    Session().Link.LinkStatus = 1;
    Session().Link.AwaitingReply = 1;
    rig.w->ui->TickBar->show();
    rig.clearSent();
}

void download(TestRig &rig, Image &img)
{
    startDownload(rig);
    for (int p = 0; p < PAGE_COUNT; ++p) sendPage(*rig.w, *img.block, p);
}

QByteArray name16(const char *text, uint8_t first = 0)
{
    QByteArray a(16, '\0');
    std::memcpy(a.data(), text, std::min<size_t>(16, std::strlen(text)));
    if (first) a[0] = char(first);
    return a;
}

void sendName(Kestrun &w, int k, const QByteArray &name)
{
    uint8_t payload[18] = {0x10, uint8_t(k)};
    std::memcpy(payload + 2, name.constData(), 16);
    w.linkView().onSceneNameReply(payload, 18);
}

QString sceneName(int i)
{
    return QString::fromLatin1(reinterpret_cast<const char *>(Session().sceneNames.SceneName[i]));
}

// The store as the processor would hold it: the first 1100 bytes, gains in the processor's encoding.
QByteArray storeAsDeviceImage()
{
    std::unique_ptr<ParamBlock> copy(new ParamBlock(Session().ParamStore));
    for (auto &row : copy->EqGain)
        for (auto &g : row) g = uint16_t(g + 120);
    return QByteArray(reinterpret_cast<const char *>(copy->bytes()), IMAGE_SIZE);
}

bool lightLook(QPushButton *b) { return b->styleSheet() == Styles::light(b->objectName()); }
bool darkLook(QPushButton *b) { return b->styleSheet() == Styles::dark(b->objectName()); }

}  // namespace

class TestDownload : public QObject
{
    Q_OBJECT
private slots:
    void completionRefreshesAndSendsNothing()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        w.outputs().BT_CH_Switch(3);
        Image img(rig.sim);
        img->MasterVol = 300;
        img->ChVol[0] = 570;
        img->ChDelay[1] = 250;
        img->ChPhase[2] = 1;
        img->ChMute[4] = 1;
        img->EqGain[0][0] = 120;  // -12 dB in device encoding
        img->EqGain[0][1] = 360;
        img->HpfBypass[0] = 0;
        img->HpfSlope[0] = 1;
        img->HpfFreq[0] = 80;
        img->InputSource = 2;
        const unsigned long written = Session().Port.framesWritten;
        download(rig, img);

        // Completion.
        QCOMPARE(Session().Link.LinkStatus, uint8_t(2));
        QVERIFY(w.ui->TickBar->isHidden());
        QCOMPARE(w.ui->BT_CONNECT->text(), QStringLiteral("已连接"));
        QCOMPARE(Session().Link.NamesPending, uint8_t(1));
        QCOMPARE(Session().Link.NamePage, uint8_t(1));
        QCOMPARE(Session().Link.AwaitingReply, uint8_t(0));
        QCOMPARE(Session().Link.SuppressSend, uint8_t(0));
        // Every moved control ran its slot, and yet nothing went out.
        QVERIFY(rig.sent().empty());
        QCOMPARE(Session().Port.framesWritten, written);

        // The displayed state.
        QCOMPARE(w.ui->Slider_Total_Bar->value(), 300);
        QCOMPARE(w.ui->Edit_Total->text(), QStringLiteral("-30.0dB"));
        QCOMPARE(w.ui->Slider_CHVol_Bar[0]->value(), 570);
        QCOMPARE(w.ui->Edit_CHVol[0]->text(), QStringLiteral("-3.0dB"));
        QCOMPARE(w.ui->Edit_CHDelay[1]->text(), QStringLiteral("2.50ms"));
        QCOMPARE(w.ui->BT_Phase[2]->text(), QStringLiteral("反相"));
        QCOMPARE(w.ui->BT_Mute[4]->styleSheet(), Styles::muted(QStringLiteral("BT_Mute_5")));
        QVERIFY(darkLook(w.ui->BT_Mute[3]));
        QVERIFY(lightLook(w.ui->BT_INPUT_OPT));
        QVERIFY(darkLook(w.ui->BT_INPUT_HI));
        QCOMPARE(Model().CurCh, uint8_t(0));
        QVERIFY(lightLook(w.ui->BT_CH[0]));
        QVERIFY(darkLook(w.ui->BT_CH[3]));
        QCOMPARE(w.ui->Edit_EQ_Gain[0]->text(), QStringLiteral("-12.0"));
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[1]->value(), 240);
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("-12dB/Oct"));
        QCOMPARE(w.ui->Edit_HPF_Freq->text(), QStringLiteral("80"));
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(0));
        QCOMPARE(Session().ParamStore.EqGain[0][1], uint16_t(240));
        QCOMPARE(Session().ParamStore.EqGain[3][3], uint16_t(120));
    }

    void corrections()
    {
        TestRig rig;
        Image img(rig.sim);
        const uint16_t gains[] = {120, 360, 119, 361, 0, 65535};
        for (int b = 0; b < 6; ++b) img->EqGain[2][b] = gains[b];
        img->HpfFreq[0] = 19;
        img->HpfFreq[1] = 20001;
        img->HpfFreq[2] = 20;
        img->LpfFreq[0] = 19;
        img->LpfFreq[1] = 20001;
        img->LpfFreq[2] = 20000;
        img->ChDelay[0] = 1501;
        img->ChDelay[1] = 1500;
        img->ChVol[0] = 601;
        img->ChVol[1] = 0;
        img->HpfSlope[0] = 8;
        img->HpfSlope[1] = 7;
        img->LpfSlope[0] = 8;
        img->HpfType[0] = 3;
        img->LpfType[0] = 3;
        img->LpfType[1] = 2;
        img->ChPhase[0] = 2;
        img->ChMute[0] = 2;
        img->InputSource = 3;
        img->EqFreq[1][5] = 19;
        img->EqFreq[1][6] = 20001;
        img->EqQ[1][5] = 3;
        img->EqQ[1][6] = 101;
        img->EqQ[1][7] = 4;
        img->EqQ[1][8] = 100;
        img->MasterVol = 700;
        img->NoiseGate = 9;
        img->ChName[2] = 25;
        download(rig, img);

        const uint16_t hostGains[] = {0, 240, 120, 120, 120, 120};
        for (int b = 0; b < 6; ++b) {
            QCOMPARE(Session().ParamStore.EqGain[2][b], hostGains[b]);
            QCOMPARE(Model().EqGainShadow[2][b], hostGains[b]);
        }
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(20));
        QCOMPARE(Session().ParamStore.HpfFreq[1], uint16_t(20));
        QCOMPARE(Session().ParamStore.HpfFreq[2], uint16_t(20));
        QCOMPARE(Session().ParamStore.LpfFreq[0], uint16_t(20000));
        QCOMPARE(Session().ParamStore.LpfFreq[1], uint16_t(20000));
        QCOMPARE(Session().ParamStore.ChDelay[0], uint16_t(0));
        QCOMPARE(Session().ParamStore.ChDelay[1], uint16_t(1500));
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(600));
        QCOMPARE(Session().ParamStore.ChVol[1], uint16_t(0));
        QCOMPARE(rig.w->ui->Slider_CHVol_Bar[1]->value(), 0);
        QCOMPARE(rig.w->ui->Edit_CHDelay[0]->text(), QStringLiteral("0.00ms"));
        QCOMPARE(Session().ParamStore.HpfSlope[0], uint8_t(3));
        QCOMPARE(Session().ParamStore.HpfSlope[1], uint8_t(7));
        QCOMPARE(Session().ParamStore.LpfSlope[0], uint8_t(3));
        QCOMPARE(Session().ParamStore.HpfType[0], uint8_t(0));
        QCOMPARE(Session().ParamStore.LpfType[0], uint8_t(0));
        QCOMPARE(Session().ParamStore.LpfType[1], uint8_t(2));
        QCOMPARE(Session().ParamStore.ChPhase[0], uint8_t(0));
        QCOMPARE(Session().ParamStore.ChMute[0], uint8_t(0));
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(0));
        QVERIFY(lightLook(rig.w->ui->BT_INPUT_HI));
        QCOMPARE(Session().ParamStore.EqFreq[1][5], DefaultEqFreq[5]);
        QCOMPARE(Session().ParamStore.EqFreq[1][6], DefaultEqFreq[6]);
        QCOMPARE(Session().ParamStore.EqQ[1][5], uint8_t(30));
        QCOMPARE(Session().ParamStore.EqQ[1][6], uint8_t(30));
        QCOMPARE(Session().ParamStore.EqQ[1][7], uint8_t(4));
        QCOMPARE(Session().ParamStore.EqQ[1][8], uint8_t(100));
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(600));
        QCOMPARE(Session().ParamStore.NoiseGate, uint16_t(0));
        QVERIFY(rig.w->menus().NoiseGateAct[0]->isChecked());
        QCOMPARE(Session().ParamStore.ChName[2], uint8_t(25));  // shown as off, kept as it came
    }

    void reservedBytesSurvive()
    {
        TestRig rig;
        Image img(rig.sim);
        uint8_t *b = img->bytes();
        for (int i = 11; i < 24; ++i) b[i] = uint8_t(0xA0 + i);
        for (int i = 70; i < 80; ++i) b[i] = uint8_t(i);
        for (int i = 1010; i < 1016; ++i) b[i] = uint8_t(i);
        for (int i = 1076; i < 1100; ++i) b[i] = uint8_t(i * 7);
        img->FirmwareVersion = 0x01020304;
        download(rig, img);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes() + 11), 13),
                 QByteArray(reinterpret_cast<const char *>(b + 11), 13));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes() + 70), 10),
                 QByteArray(reinterpret_cast<const char *>(b + 70), 10));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes() + 1010), 6),
                 QByteArray(reinterpret_cast<const char *>(b + 1010), 6));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes() + 1076), 24),
                 QByteArray(reinterpret_cast<const char *>(b + 1076), 24));
        QCOMPARE(Session().ParamStore.FirmwareVersion, uint32_t(0x01020304));
    }

    void mainMuteAndNoiseGate()
    {
        TestRig rig;
        Image img(rig.sim);
        for (int ch = 0; ch < CH_COUNT; ++ch) img->ChMute[ch] = 1;
        img->NoiseGate = 4;
        download(rig, img);
        QCOMPARE(Model().MainMuteOn, uint8_t(1));
        QVERIFY(lightLook(rig.w->ui->BT_MainMute));
        QVERIFY(rig.w->menus().NoiseGateAct[4]->isChecked());
        QVERIFY(!rig.w->menus().NoiseGateAct[0]->isChecked());

        // A later download with five muted: the main mute comes up released.
        img->ChMute[5] = 0;
        img->NoiseGate = 0;
        download(rig, img);
        QCOMPARE(Model().MainMuteOn, uint8_t(0));
        QVERIFY(darkLook(rig.w->ui->BT_MainMute));
        QVERIFY(rig.w->menus().NoiseGateAct[0]->isChecked());
    }

    void pagesLandByTheirNumber()
    {
        TestRig rig;
        Image img(rig.sim);
        for (int i = 24; i < IMAGE_SIZE; ++i) img->bytes()[i] = uint8_t(i * 31 + 7);
        for (int ch = 0; ch < CH_COUNT; ++ch)
            for (int b = 0; b < BAND_COUNT; ++b) img->EqGain[ch][b] = uint16_t(120 + (ch * 31 + b) % 241);
        std::vector<int> order;
        for (int p = 0; p < PAGE_COUNT - 1; ++p) order.push_back(p);
        std::shuffle(order.begin(), order.end(), std::mt19937(5));
        startDownload(rig);
        for (int p : order) sendPage(*rig.w, *img.block, p);
        QCOMPARE(Session().Link.LinkStatus, uint8_t(1));  // nothing completes before page 54
        sendPage(*rig.w, *img.block, 54);
        QCOMPARE(Session().Link.LinkStatus, uint8_t(2));
        for (int ch = 0; ch < CH_COUNT; ++ch)
            for (int b = 0; b < BAND_COUNT; ++b)
                QCOMPARE(Session().ParamStore.EqGain[ch][b], uint16_t((ch * 31 + b) % 241));
        // The same image read again in order gives the same store.
        const QByteArray shuffled(reinterpret_cast<const char *>(Session().ParamStore.bytes()), IMAGE_SIZE);
        download(rig, img);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes()), IMAGE_SIZE), shuffled);
    }

    void strayAndMalformedPages()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        const QByteArray before(reinterpret_cast<const char *>(Session().ParamStore.bytes()), STORE_SIZE);
        uint8_t payload[22];
        std::memset(payload, 0x5A, sizeof payload);
        payload[0] = 0xAA;
        payload[1] = 55;
        w.linkView().onParamPageReply(payload, 22);
        payload[1] = 255;
        w.linkView().onParamPageReply(payload, 22);
        payload[1] = 54;
        w.linkView().onParamPageReply(payload, 21);  // short
        w.linkView().onParamPageReply(nullptr, 22);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes()), STORE_SIZE), before);
        QCOMPARE(Session().Link.LinkStatus, uint8_t(0));

        // After the download is complete a repeated page 54 or a late gain page changes nothing:
        // the gains were converted once.
        Image img(rig.sim);
        img->EqGain[0][0] = 300;
        download(rig, img);
        QCOMPARE(Session().ParamStore.EqGain[0][0], uint16_t(180));
        Session().Link.NamesPending = 0;
        Session().Link.AwaitingReply = 1;
        const QByteArray done(reinterpret_cast<const char *>(Session().ParamStore.bytes()), STORE_SIZE);
        sendPage(w, *img.block, 22);
        sendPage(w, *img.block, 54);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes()), STORE_SIZE), done);
        QCOMPARE(Session().Link.NamesPending, uint8_t(0));
        QCOMPARE(Session().Link.AwaitingReply, uint8_t(1));
    }

    void sceneNames()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        Session().Link.AwaitingReply = 1;
        sendName(w, 1, name16("", 0xFF));
        sendName(w, 2, name16("5th gear"));
        sendName(w, 3, name16("abc"));
        sendName(w, 4, name16("Zone"));
        sendName(w, 5, name16("@home"));  // 0x40, just below "A"
        sendName(w, 6, name16("{x"));     // 0x7B, just above "z"
        QCOMPARE(sceneName(0), QStringLiteral("Mode1"));
        QCOMPARE(Session().sceneNames.SceneUsed[0], uint8_t(0));
        QCOMPARE(sceneName(1), QStringLiteral("Mode2"));
        QCOMPARE(Session().sceneNames.SceneUsed[1], uint8_t(0));
        QCOMPARE(sceneName(2), QStringLiteral("abc"));
        QCOMPARE(Session().sceneNames.SceneUsed[2], uint8_t(1));
        QCOMPARE(sceneName(3), QStringLiteral("Zone"));
        QCOMPARE(sceneName(4), QStringLiteral("Mode5"));
        QCOMPARE(sceneName(5), QStringLiteral("Mode6"));
        QCOMPARE(Session().Link.AwaitingReply, uint8_t(1));
        // Out of range: ignored, the wait goes on.
        sendName(w, 0, name16("Bad"));
        sendName(w, 10, name16("Bad"));
        uint8_t shortName[5] = {0x10, 9, 'A', 'B', 'C'};
        w.linkView().onSceneNameReply(shortName, 5);
        QCOMPARE(Session().Link.AwaitingReply, uint8_t(1));
        for (int i = 6; i < SCENE_COUNT; ++i) QCOMPARE(sceneName(i), QStringLiteral("Mode%1").arg(i + 1));
        sendName(w, 9, name16("Night"));
        QCOMPARE(Session().Link.AwaitingReply, uint8_t(0));
        QCOMPARE(sceneName(8), QStringLiteral("Night"));
        QCOMPARE(Session().sceneNames.SceneUsed[8], uint8_t(1));
    }

    void inputSourceReply()
    {
        TestRig rig;
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 1;
        rig.clearSent();
        Kestrun &w = *rig.w;
        const uint8_t opt[] = {0x02, 2};
        w.linkView().onInputSourceReply(opt, 2);
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(2));
        QVERIFY(lightLook(w.ui->BT_INPUT_OPT));
        for (QPushButton *b : {w.ui->BT_INPUT_HI, w.ui->BT_INPUT_LOW, w.ui->BT_INPUT_BT, w.ui->BT_INPUT_COAX})
            QVERIFY(darkLook(b));
        const uint8_t low[] = {0x02, 1};
        w.linkView().onInputSourceReply(low, 2);
        QVERIFY(lightLook(w.ui->BT_INPUT_LOW));
        QVERIFY(darkLook(w.ui->BT_INPUT_OPT));
        for (uint8_t s : {uint8_t(5), uint8_t(3)}) {
            const uint8_t bad[] = {0x02, s};
            w.linkView().onInputSourceReply(bad, 2);
            QCOMPARE(Session().ParamStore.InputSource, uint8_t(0));
            QVERIFY(lightLook(w.ui->BT_INPUT_HI));
            QVERIFY(darkLook(w.ui->BT_INPUT_LOW));
        }
        w.linkView().onInputSourceReply(opt, 1);  // short
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(0));
        QVERIFY(rig.sent().empty());
    }

    void endToEndPreparedImage()
    {
        TestRig rig;
        ParamBlock &m = rig.sim.params();
        m.MasterVol = 450;
        m.ChVol[1] = 570;
        m.ChDelay[2] = 250;
        m.ChPhase[3] = 1;
        m.ChMute[4] = 1;
        m.EqGain[0][5] = 150;  // -9 dB
        m.EqFreq[0][5] = 70;
        m.EqQ[0][5] = 45;
        m.HpfFreq[0] = 90;
        m.HpfBypass[0] = 0;
        m.HpfSlope[0] = 2;
        m.HpfType[0] = 1;
        m.LpfFreq[0] = 8000;
        m.EqBypass[0] = 1;
        m.InputSource = 2;
        m.NoiseGate = 3;
        m.EqGain[4][0] = 400;  // nonsense: shown flat
        rig.sim.setSceneName(3, "abc");
        const QByteArray device = rig.sim.memoryBytes();
        QVERIFY(rig.connectAndDownload());
        Kestrun &w = *rig.w;

        QCOMPARE(w.ui->BT_CONNECT->text(), QStringLiteral("已连接"));
        QCOMPARE(w.ui->Slider_Total_Bar->value(), 450);
        QCOMPARE(w.ui->Edit_Total->text(), QStringLiteral("-15.0dB"));
        QCOMPARE(w.ui->Edit_CHVol[1]->text(), QStringLiteral("-3.0dB"));
        QCOMPARE(w.ui->Edit_CHDelay[2]->text(), QStringLiteral("2.50ms"));
        QCOMPARE(w.ui->BT_Phase[3]->text(), QStringLiteral("反相"));
        QCOMPARE(w.ui->BT_Mute[4]->styleSheet(), Styles::muted(QStringLiteral("BT_Mute_5")));
        QCOMPARE(w.ui->Edit_EQ_Gain[5]->text(), QStringLiteral("-9.0"));
        QCOMPARE(w.ui->Edit_EQ_Freq[5]->text(), QStringLiteral("70"));
        QCOMPARE(w.ui->Edit_EQ_Q[5]->text(), QStringLiteral("4.5"));
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[5]->value(), 30);
        QCOMPARE(w.ui->Edit_HPF_Freq->text(), QStringLiteral("90"));
        QCOMPARE(w.ui->Edit_LPF_Freq->text(), QStringLiteral("8000"));
        QCOMPARE(w.ui->BT_HPF_TYPE->text(), QStringLiteral("宁克"));
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("-18dB/Oct"));
        QCOMPARE(w.ui->BT_LPF_SLOPE->text(), QStringLiteral("关闭"));
        QVERIFY(lightLook(w.ui->BT_EQ_BYPASS));
        QVERIFY(lightLook(w.ui->BT_INPUT_OPT));
        QVERIFY(w.menus().NoiseGateAct[3]->isChecked());
        QCOMPARE(sceneName(2), QStringLiteral("abc"));
        QCOMPARE(Session().sceneNames.SceneUsed[2], uint8_t(1));
        QCOMPARE(sceneName(0), QStringLiteral("Mode1"));
        QCOMPARE(Session().sceneNames.SceneUsed[0], uint8_t(0));
        QCOMPARE(Session().ParamStore.EqGain[4][0], uint16_t(120));
        Session().ParamStore.EqGain[4][0] = 400 - 120;  // the only corrected field; all else is the processor's image
        QCOMPARE(storeAsDeviceImage(), device);

        // Only requests went out: the name, the 55 pages, the nine scene names.
        for (const QByteArray &p : rig.sent()) QCOMPARE(uint8_t(p[0]), uint8_t(6));
        QCOMPARE(rig.sim.countPayloads(6, 0xAA), PAGE_COUNT);
        QCOMPARE(rig.sim.countPayloads(6, 0x10), SCENE_COUNT);
        QCOMPARE(rig.sim.memoryBytes(), device);
    }

    void endToEndUnansweredRequestsAndDeviceChanges()
    {
        TestRig rig;
        for (int i = 0; i < IMAGE_SIZE; i += 7) rig.sim.memory()[i] = uint8_t(i);  // some fields out of range
        for (auto &row : rig.sim.params().EqGain)
            for (auto &g : row) g = 180;
        for (int i = 0; i < 2000 && !(Session().Link.Downloading && Session().Link.ParamPage >= 10); ++i) rig.tick();
        QVERIFY(Session().Link.Downloading);
        rig.sim.dropNextReplies(3);  // unanswered requests are repeated
        QVERIFY(rig.connectAndDownload());
        std::unique_ptr<ParamBlock> expect(new ParamBlock());
        std::memcpy(expect->bytes(), rig.sim.memory(), IMAGE_SIZE);
        uint16_t shadow[CH_COUNT][BAND_COUNT];
        expect->correctDownloaded(shadow);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes()), IMAGE_SIZE),
                 QByteArray(reinterpret_cast<const char *>(expect->bytes()), IMAGE_SIZE));
        for (const QByteArray &p : rig.sent()) QCOMPARE(uint8_t(p[0]), uint8_t(6));

        // Changes made on the processor itself, once their report has been read.
        rig.sim.pushUnsolicitedInputSource(1);
        Session().Port.Rx.clear();
        QVERIFY(Session().Port.readIntoRx(READ_BOUND_MS) > 0);
        rig.tick();
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(1));
        QVERIFY(lightLook(rig.w->ui->BT_INPUT_LOW));
        rig.sim.pushUnsolicitedMasterVolume(300);
        Session().Port.Rx.clear();
        QVERIFY(Session().Port.readIntoRx(READ_BOUND_MS) > 0);
        rig.tick();
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(300));
    }

    void editsReachProcessorMemory()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        Kestrun &w = *rig.w;
        rig.clearSent();
        QLineEdit *vol = w.ui->Edit_CHVol[1];
        vol->setText(QStringLiteral("-3"));
        emit vol->returnPressed();
        w.ui->Slider_Total_Bar->setValue(123);
        w.ui->BT_Sync[0]->click();
        w.ui->BT_Sync[5]->click();
        w.ui->Slider_CHVol_Bar[5]->setValue(420);
        w.outputs().cm_Fun();
        QLineEdit *delay = w.ui->Edit_CHDelay[0];
        delay->setText(QStringLiteral("86cm"));
        emit delay->returnPressed();
        w.outputs().ms_Fun();
        w.ui->Edit_CHDelay[3]->setText(QStringLiteral("15"));
        emit w.ui->Edit_CHDelay[3]->returnPressed();
        w.ui->BT_Phase[0]->click();
        w.ui->BT_Phase[2]->click();
        w.ui->BT_Mute[3]->click();
        w.ui->BT_MainMute->click();
        w.ui->BT_Mute[1]->click();

        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(420));
        QCOMPARE(Session().ParamStore.ChDelay[5], uint16_t(249));
        QCOMPARE(Session().ParamStore.ChPhase[5], uint8_t(1));
        QCOMPARE(rig.sim.rejectedCount(), 0);
        QCOMPARE(rig.sim.memoryBytes(), storeAsDeviceImage());
    }

    void masterVolumeReply()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        const uint8_t v300[] = {0x0D, 0x2C, 0x01};
        w.linkView().onMasterVolumeReply(v300, 3);
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(300));
        QCOMPARE(w.ui->Slider_Total_Bar->value(), 600);  // shown at the next full refresh only
        QCOMPARE(w.ui->Edit_Total->text(), QStringLiteral("0.0dB"));
        const uint8_t v700[] = {0x0D, 0xBC, 0x02};
        w.linkView().onMasterVolumeReply(v700, 3);
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(600));
        const uint8_t v0[] = {0x0D, 0, 0};
        w.linkView().onMasterVolumeReply(v0, 2);  // short
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(600));
    }
};

QTEST_MAIN(TestDownload)
#include "test_download.moc"
