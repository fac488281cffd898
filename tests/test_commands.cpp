// Every command builder against hand-computed payloads, and the store's layout and defaults.
#include "Commands.h"
#include "TestModel.h"
#include "LinkState.h"
#include "ParamStore.h"
#include "Transport.h"

#include <QtTest>
#include <vector>

namespace {

class RecordingDevice : public DeviceIo
{
public:
    std::vector<QByteArray> writes;
    bool open(uint16_t, uint16_t) override { return true; }
    int write(const uint8_t *r, size_t n) override
    {
        writes.emplace_back(reinterpret_cast<const char *>(r), int(n));
        return int(n);
    }
    int read(uint8_t *, size_t, int) override { return 0; }
    void close() override {}
    bool isOpen() const override { return true; }
};

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

}  // namespace

class TestCommands : public QObject
{
    Q_OBJECT
    RecordingDevice dev;

    // The payload of the last report, checked against its frame.
    QByteArray lastPayload()
    {
        const QByteArray &r = dev.writes.back();
        const int n = uint8_t(r[5]);
        unsigned sum = 0xFA + 0xA2 + uint8_t(r[4]) + unsigned(n);
        for (int i = 0; i < n; ++i) sum += uint8_t(r[6 + i]);
        if (r.left(4) != hex("0020FAA2") || uint8_t(r[6 + n]) != (sum & 0xFF) || uint8_t(r[7 + n]) != 0xF5)
            return QByteArray("bad frame");
        return r.mid(6, n);
    }

private slots:
    void init()
    {
        Session().resetLink();
        Model().reset();
        Session().ParamStore.setDefaults();
        dev.writes.clear();
        Session().Port.setDevice(&dev);
    }
    void cleanup() { Session().Port.setDevice(nullptr); }

    void setCommands()
    {
        ParamBlock &s = Session().ParamStore;
        s.ChVol[2] = 0x1F4;  // 500
        s.ChMute[5] = 1;
        s.HpfType[1] = 2;
        s.HpfFreq[1] = 0x0050;
        s.HpfSlope[1] = 7;
        s.HpfBypass[1] = 0;
        s.LpfType[4] = 1;
        s.LpfFreq[4] = 20000;
        s.LpfSlope[4] = 0;
        s.LpfBypass[4] = 1;
        s.EqFreq[3][30] = 16000;
        s.EqGain[3][30] = 0;
        s.EqQ[3][30] = 100;
        s.ChDelay[0] = 1500;
        s.ChPhase[3] = 1;
        s.EqBypass[5] = 1;
        s.MasterVol = 600;
        s.ChName[0] = 20;
        const std::vector<std::pair<std::function<void()>, const char *>> cases = {
            {[] { CMD_FACTORY_RESET(Session()); }, "050101"},
            {[] { CMD_INPUT_SOURCE(Session(), 2); }, "050202"},
            {[] { CMD_CH_VOLUME(Session(), 2); }, "050402F401"},
            {[] { CMD_CH_MUTE(Session(), 5); }, "05050501"},
            {[] { CMD_HPF(Session(), 1); }, "0506010250000700"},
            {[] { CMD_LPF(Session(), 4); }, "050704 01204E0001"},
            {[] { CMD_EQ_BAND(Session(), 3, 30); }, "0508031E803E780064"},
            {[] { CMD_EQ_BAND(Session(), 0, 4); }, "050800043200F0001E"},
            {[] { CMD_CH_DELAY(Session(), 0); }, "050900DC05"},
            {[] { CMD_CH_PHASE(Session(), 3); }, "050A0301"},
            {[] { CMD_EQ_BYPASS(Session(), 5); }, "050B0501"},
            {[] { CMD_MASTER_VOLUME(Session()); }, "050D5802"},
            {[] { CMD_SCENE_LOAD(Session(), 9); }, "050F09"},
            {[] { CMD_SCENE_DELETE(Session(), 1); }, "051101"},
            {[] { CMD_NOISE_GATE(Session(), 0); }, "05130000"},
            {[] { CMD_NOISE_GATE(Session(), 3); }, "05130301"},
            {[] { CMD_NOISE_GATE(Session(), 6); }, "05130601"},
            {[] { CMD_CH_NAMES(Session()); }, "051714070B0F1013"},
            {[] { CMD_CLOSE(Session()); }, "05C101"},
            {[] { REQ_HEARTBEAT(Session()); }, "0600"},
            {[] { REQ_SCENE_NAME(Session(), 4); }, "061004"},
            {[] { REQ_SCENE_DATA(Session(), 9, 54); }, "06150936"},
            {[] { REQ_DEVICE_NAME(Session()); }, "0616"},
            {[] { REQ_PARAM_PAGE(Session(), 54); }, "06AA36"},
        };
        for (const auto &c : cases) {
            c.first();
            QCOMPARE(lastPayload(), hex(c.second));
        }
    }

    void dataCommands()
    {
        uint8_t name[16];
        for (int i = 0; i < 16; ++i) name[i] = uint8_t('A' + i);
        CMD_SCENE_SAVE(Session(), 3, name);
        QCOMPARE(lastPayload(), hex("050E03") + QByteArray("ABCDEFGHIJKLMNOP"));
        uint8_t page[20];
        for (int i = 0; i < 20; ++i) page[i] = uint8_t(0xE0 + i);
        CMD_SCENE_DATA_WRITE(Session(), 2, 54, page);
        QCOMPARE(lastPayload(), hex("05150236") + QByteArray((const char *)page, 20));
        QCOMPARE(uint8_t(dev.writes.back()[31]), uint8_t(0xF5));  // 24-byte payload
        CMD_PARAM_PAGE_WRITE(Session(), 7, page);
        QCOMPARE(lastPayload(), hex("054107") + QByteArray((const char *)page, 20));
        uint8_t block[16];
        for (int i = 0; i < 16; ++i) block[i] = uint8_t(i);
        CMD_FIRMWARE_BLOCK(Session(), 0x1234, block);
        QCOMPARE(lastPayload(), hex("05B01234") + QByteArray((const char *)block, 16));
        CMD_FIRMWARE_BLOCK(Session(), 0xFFFF, block);
        QCOMPARE(lastPayload().left(4), hex("05B0FFFF"));
    }

    void storeOffsetsAndDefaults()
    {
        const uint8_t *b = Session().ParamStore.bytes();
        // Defaults through the raw bytes, little-endian, at the processor's offsets.
        for (int ch = 0; ch < 6; ++ch) {
            QCOMPARE(b[4 + ch], uint8_t(QList<int>{3, 7, 11, 15, 16, 19}[ch]));
            QCOMPARE(b[26 + 2 * ch] | b[27 + 2 * ch] << 8, 600);
            QCOMPARE(b[1016 + 2 * ch] | b[1017 + 2 * ch] << 8, 20);
            QCOMPARE(b[1028 + ch], uint8_t(3));
            QCOMPARE(b[1034 + ch], uint8_t(1));
            QCOMPARE(b[1046 + 2 * ch] | b[1047 + 2 * ch] << 8, 20000);
            QCOMPARE(b[1058 + ch], uint8_t(3));
            QCOMPARE(b[1064 + ch], uint8_t(1));
            QCOMPARE(b[38 + ch] + b[44 + 2 * ch] + b[56 + ch] + b[62 + ch], 0);
            for (int band = 0; band < 31; ++band) {
                const int e = ch * 31 + band;
                QCOMPARE(b[452 + 2 * e] | b[453 + 2 * e] << 8, 120);
                QCOMPARE(b[824 + e], uint8_t(30));
            }
        }
        QCOMPARE(b[80] | b[81] << 8, 20);
        QCOMPARE(b[80 + 2 * 17] | b[81 + 2 * 17] << 8, 1000);
        QCOMPARE(b[80 + 2 * 30] | b[81 + 2 * 30] << 8, 20000);
        QCOMPARE(b[80 + 2 * 31] | b[81 + 2 * 31] << 8, 20);  // channel 2, band 1
        Session().ParamStore.NoiseGate = 0x0102;
        QCOMPARE(b[68], uint8_t(2));
        QCOMPARE(b[69], uint8_t(1));
        Session().ParamStore.FirmwareVersion = 0x11223344;
        QCOMPARE(b[0], uint8_t(0x44));
        QCOMPARE(b[3], uint8_t(0x11));
        QCOMPARE(Session().ParamStore.page(54) - b, 1080);
    }

    void downloadCorrections()
    {
        ParamBlock &s = Session().ParamStore;
        s.EqGain[0][0] = 120;
        s.EqGain[0][1] = 360;
        s.EqGain[0][2] = 119;
        s.EqGain[0][3] = 361;
        s.EqGain[5][30] = 240;
        s.HpfFreq[0] = 19;
        s.HpfFreq[1] = 20001;
        s.HpfFreq[2] = 20000;
        s.LpfFreq[0] = 19;
        s.LpfFreq[1] = 20001;
        s.LpfFreq[2] = 20;
        s.ChDelay[0] = 1501;
        s.ChDelay[1] = 1500;
        s.ChVol[0] = 601;
        s.HpfSlope[0] = 8;
        s.HpfType[0] = 3;
        s.LpfSlope[0] = 9;
        s.LpfType[0] = 7;
        s.InputSource = 3;
        s.ChPhase[0] = 2;
        s.ChMute[0] = 5;
        s.EqFreq[1][17] = 0;
        s.EqFreq[1][18] = 20001;
        s.EqQ[1][0] = 3;
        s.EqQ[1][1] = 101;
        s.EqQ[1][2] = 4;
        s.MasterVol = 700;
        s.NoiseGate = 7;
        s.Reserved11[0] = 0x5A;
        s.Reserved1076[23] = 0xA5;
        s.Tail[100] = 0x77;
        uint16_t shadow[6][31];
        s.correctDownloaded(shadow);
        QCOMPARE(s.EqGain[0][0], uint16_t(0));
        QCOMPARE(s.EqGain[0][1], uint16_t(240));
        QCOMPARE(s.EqGain[0][2], uint16_t(120));
        QCOMPARE(s.EqGain[0][3], uint16_t(120));
        QCOMPARE(s.EqGain[5][30], uint16_t(120));
        QCOMPARE(shadow[0][1], uint16_t(240));
        QCOMPARE(s.HpfFreq[0], uint16_t(20));
        QCOMPARE(s.HpfFreq[1], uint16_t(20));
        QCOMPARE(s.HpfFreq[2], uint16_t(20000));
        QCOMPARE(s.LpfFreq[0], uint16_t(20000));
        QCOMPARE(s.LpfFreq[1], uint16_t(20000));
        QCOMPARE(s.LpfFreq[2], uint16_t(20));
        QCOMPARE(s.ChDelay[0], uint16_t(0));
        QCOMPARE(s.ChDelay[1], uint16_t(1500));
        QCOMPARE(s.ChVol[0], uint16_t(600));
        QCOMPARE(s.HpfSlope[0], uint8_t(3));
        QCOMPARE(s.HpfType[0], uint8_t(0));
        QCOMPARE(s.LpfSlope[0], uint8_t(3));
        QCOMPARE(s.LpfType[0], uint8_t(0));
        QCOMPARE(s.InputSource, uint8_t(0));
        QCOMPARE(s.ChPhase[0], uint8_t(0));
        QCOMPARE(s.ChMute[0], uint8_t(0));
        QCOMPARE(s.EqFreq[1][17], uint16_t(1000));
        QCOMPARE(s.EqFreq[1][18], uint16_t(1250));
        QCOMPARE(s.EqQ[1][0], uint8_t(30));
        QCOMPARE(s.EqQ[1][1], uint8_t(30));
        QCOMPARE(s.EqQ[1][2], uint8_t(4));
        QCOMPARE(s.MasterVol, uint16_t(600));
        QCOMPARE(s.NoiseGate, uint16_t(0));
        QCOMPARE(s.Reserved11[0], uint8_t(0x5A));
        QCOMPARE(s.Reserved1076[23], uint8_t(0xA5));
        QCOMPARE(s.Tail[100], uint8_t(0x77));
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "test_commands.moc"
