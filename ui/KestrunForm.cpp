// Builds every control of the main window at its fixed position.
#include "KestrunForm.h"

#include "Styles.h"
#include "Texts.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QWidget>
#include <utility>

namespace {

// Column of equaliser band b.
constexpr int BandX0 = 40;
constexpr int BandPitch = 34;
// Left edge of the strip of output ch.
constexpr int StripX0 = 40;
constexpr int StripPitch = 110;

const char ChannelColour[CH_COUNT][10] = {"255,0,0", "255,246,0", "0,0,255", "0,255,0", "0,255,255", "255,180,0"};

QFont uiFont(int points)
{
    QFont f(QStringLiteral("微软雅黑"));
    f.setPointSize(points);
    return f;
}

template <class W>
W *make(QWidget *parent, const QString &name, int x, int y, int w, int h, int points = 9)
{
    auto *widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(x, y, w, h);
    widget->setFont(uiFont(points));
    return widget;
}

QPushButton *button(QWidget *p, const QString &name, int x, int y, int w, int h)
{
    auto *b = make<QPushButton>(p, name, x, y, w, h);
    b->setFocusPolicy(Qt::NoFocus);
    b->setStyleSheet(Styles::dark(name));
    return b;
}

QLineEdit *valueEdit(QWidget *p, const QString &name, int x, int y, int w, int h)
{
    auto *e = make<QLineEdit>(p, name, x, y, w, h);
    e->setAlignment(Qt::AlignCenter);
    e->setStyleSheet(QStringLiteral("QLineEdit#%1{color: rgb(255, 255, 255);background-color: rgb(40, 40, 41);"
                                    "border:1px solid rgb(96, 96, 96);border-radius:3px;}")
                         .arg(name));
    return e;
}

QSlider *vslider(QWidget *p, const QString &name, int x, int y, int w, int h, int max)
{
    auto *s = make<QSlider>(p, name, x, y, w, h);
    s->setOrientation(Qt::Vertical);
    s->setRange(0, max);
    s->setPageStep(1);
    s->setFocusPolicy(Qt::NoFocus);
    s->setStyleSheet(QStringLiteral(
        "QSlider::groove:vertical{background: rgb(30, 30, 31);width:4px;border-radius:2px;}"
        "QSlider::handle:vertical{background: rgb(204, 204, 204);height:8px;margin:0 -6px;border-radius:3px;}"
        "QSlider::add-page:vertical{background: rgb(65,105,225);width:4px;border-radius:2px;}"));
    return s;
}

QLabel *caption(QWidget *p, const QString &name, int x, int y, int w, int h, int points = 9)
{
    auto *l = make<QLabel>(p, name, x, y, w, h, points);
    l->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    return l;
}

QString indexed(const char *base, int n) { return QStringLiteral("%1%2").arg(QLatin1String(base)).arg(n); }

}  // namespace

void KestrunForm::setupUi(QWidget *w)
{
    w->setObjectName(QStringLiteral("Kestrun"));
    w->setFixedSize(1260, 686);
    w->setStyleSheet(QStringLiteral("#Kestrun\n{\nbackground-color: rgb(57, 57, 57);\n\tborder: 4px solid rgb(150, 150, 150);\n}"));
    w->setFont(uiFont(9));

    // Static captions (texts in retranslateUi).
    for (int k = 0; k < 16; ++k)
        Label[k] = caption(w, k == 0 ? QStringLiteral("label") : indexed("label_", k + 1), 0, 0, 10, 10);

    // Top bar.
    Label[13]->setGeometry(8, 12, 156, 28);
    Label[13]->setPixmap(QPixmap(QStringLiteral(":/PNG/UI_LOGO.png")));
    Label[13]->setScaledContents(true);
    Label[1]->setGeometry(194, 18, 96, 22);
    Label[1]->setFont(uiFont(12));
    BT_SENCE = button(w, QStringLiteral("BT_SENCE"), 296, 18, 81, 22);
    BT_OPTION = button(w, QStringLiteral("BT_OPTION"), 380, 18, 81, 22);
    BT_CONNECT = button(w, QStringLiteral("BT_CONNECT"), 464, 18, 81, 22);
    BT_CONNECT->setCheckable(true);
    TickBar = make<QProgressBar>(w, QStringLiteral("TickBar"), 572, 24, 355, 10);
    TickBar->setRange(0, 100);
    TickBar->setValue(0);
    TickBar->setTextVisible(false);
    TickBar->setStyleSheet(QStringLiteral("QProgressBar{background-color: rgb(30, 30, 31);border:1px solid rgb(96,96,96);}"
                                          "QProgressBar::chunk{background-color: rgb(0, 128, 0);}"));
    BT_MIN = make<QPushButton>(w, QStringLiteral("BT_MIN"), 1190, 12, 27, 27);
    BT_MIN->setStyleSheet(QStringLiteral("QPushButton{border-image: url(:/PNG/MainMin.png);background-color: transparent;}"));
    BT_MIN->setFocusPolicy(Qt::NoFocus);
    BT_CLOSE = make<QPushButton>(w, QStringLiteral("BT_CLOSE"), 1220, 12, 27, 27);
    BT_CLOSE->setStyleSheet(QStringLiteral("QPushButton{border-image: url(:/PNG/MainClose.png);background-color: transparent;}"));
    BT_CLOSE->setFocusPolicy(Qt::NoFocus);

    // Decorative rules: a frame around the graph, separators and grid lines.
    static const int ruleGeom[RULE_COUNT][4] = {
        {4, 46, 1252, 1},    {36, 49, 1061, 1},   {36, 238, 1061, 1},  {35, 50, 1, 188},   {1096, 50, 1, 188},
        {4, 282, 1252, 1},   {4, 518, 1252, 1},   {1098, 46, 1, 472},  {706, 518, 1, 164}, {36, 144, 1060, 1},
        {281, 50, 1, 188},   {631, 50, 1, 188},   {982, 50, 1, 188},   {162, 50, 1, 188},  {512, 50, 1, 188},
        {862, 50, 1, 188},   {36, 97, 1060, 1},   {36, 191, 1060, 1},  {1098, 518, 1, 164}, {40, 391, 1054, 1},
        {200, 50, 1, 188},   {552, 50, 1, 188},   {901, 50, 1, 188},   {406, 50, 1, 188},  {756, 50, 1, 188},
        {1105, 250, 145, 1},
    };
    for (int k = 0; k < RULE_COUNT; ++k) {
        const int n = k < 10 ? k + 1 : k + 8;  // 1..10, then 18..33
        const QString name = n == 1 ? QStringLiteral("progressBar") : indexed("progressBar_", n);
        const int *g = ruleGeom[k];
        auto *r = make<QProgressBar>(w, name, g[0], g[1], g[2], g[3]);
        r->setTextVisible(false);
        r->setRange(0, 100);
        r->setValue(0);
        const bool grid = k >= 9 && k != 18 && k != 25;
        r->setStyleSheet(grid ? QStringLiteral("QProgressBar{background-color: rgb(78, 78, 80);border:none;}")
                              : QStringLiteral("QProgressBar{background-color: rgb(120, 120, 122);border:none;}"));
        Rule[k] = r;
        r->lower();
    }

    // Axis captions.
    static const int axis[15][2] = {{2, 48},    {2, 138},   {2, 228},   {32, 238},  {162, 238},
                                    {266, 238}, {516, 238}, {618, 238}, {724, 238}, {862, 238},
                                    {964, 238}, {1066, 238}, {6, 336},  {6, 380},   {6, 424}};
    for (int k = 0; k < 15; ++k) {
        const QString name = indexed("Edit_L_", k + 1);
        Edit_L[k] = make<QLineEdit>(w, name, axis[k][0], axis[k][1], 31, 18, 8);
        Edit_L[k]->setStyleSheet(Styles::axisCaption(name));
        Edit_L[k]->setReadOnly(true);
        Edit_L[k]->setFocusPolicy(Qt::NoFocus);
    }

    // Comparison check boxes under the graph.
    static const int boxX[CH_COUNT] = {42, 114, 182, 256, 324, 392};
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        const QString name = ch == 0 ? QStringLiteral("checkBox") : indexed("checkBox_", ch + 1);
        checkBox[ch] = make<QCheckBox>(w, name, boxX[ch], 256, 75, 16, 8);
        checkBox[ch]->setStyleSheet(
            QStringLiteral("background-color: rgb(57, 57, 57);\n\tcolor: rgb(%1,255);").arg(QLatin1String(ChannelColour[ch])));
        checkBox[ch]->setFocusPolicy(Qt::NoFocus);
    }

    // Equaliser buttons and the link button, right of the check boxes.
    BT_PEQ = button(w, QStringLiteral("BT_PEQ"), 500, 253, 80, 22);
    BT_GEQ = button(w, QStringLiteral("BT_GEQ"), 584, 253, 80, 22);
    BT_EQ_BYPASS = button(w, QStringLiteral("BT_EQ_BYPASS"), 668, 253, 80, 22);
    BT_EQ_RESET = button(w, QStringLiteral("BT_EQ_RESET"), 752, 253, 80, 22);
    BT_LINK = button(w, QStringLiteral("BT_LINK"), 836, 253, 80, 22);
    Label[12]->setGeometry(944, 253, 60, 22);  // label_13: delay unit
    BT_Unit = button(w, QStringLiteral("BT_Unit"), 1006, 253, 88, 22);

    // Equaliser band columns.
    Label[10]->setGeometry(4, 456, 34, 18);  // label_11: gain
    Label[8]->setGeometry(4, 478, 34, 18);   // label_9: frequency
    Label[9]->setGeometry(4, 498, 34, 18);   // label_10: Q
    for (int b = 0; b < BAND_COUNT; ++b) {
        const int x = BandX0 + b * BandPitch;
        const int n = b + 1;
        BT_LED[b] = make<QPushButton>(w, indexed("BT_LED_", n), x + 6, 288, 20, 14, 7);
        BT_LED[b]->setStyleSheet(Styles::bandFlat());
        BT_LED[b]->setFocusPolicy(Qt::NoFocus);
        Slider_EQ_Gain_Bar[b] = vslider(w, indexed("Slider_EQ_Gain_Bar_", n), x + 6, 327, 20, 124, 240);
        Slider_EQ_Gain_Bar[b]->setValue(120);
        Edit_EQ_Gain[b] = valueEdit(w, indexed("Edit_EQ_Gain_", n), x - 1, 456, 34, 18);
        Edit_EQ_Freq[b] = valueEdit(w, indexed("Edit_EQ_Freq_", n), x - 1, 478, 34, 18);
        Edit_EQ_Q[b] = valueEdit(w, indexed("Edit_EQ_Q_", n), x - 1, 498, 34, 18);
        for (QLineEdit *e : {Edit_EQ_Gain[b], Edit_EQ_Freq[b], Edit_EQ_Q[b]}) {
            e->setFont(uiFont(7));
            e->setTextMargins(0, 0, 0, 0);
        }
        // Five digits ("12500") fit the band's width only narrowed; the field keeps its place.
        QFont narrow = Edit_EQ_Freq[b]->font();
        narrow.setStretch(QFont::Condensed);
        Edit_EQ_Freq[b]->setFont(narrow);
        Edit_EQ_Freq[b]->setStyleSheet(Styles::eqEdit(Edit_EQ_Freq[b]->objectName(), true));
        Edit_EQ_Q[b]->setStyleSheet(Styles::eqEdit(Edit_EQ_Q[b]->objectName(), true));
        const QString lname = indexed("Edit_Label_", n);
        Edit_Label[b] = make<QLineEdit>(w, lname, x, 124, 18, 18, 7);
        Edit_Label[b]->setReadOnly(true);
        Edit_Label[b]->setFocusPolicy(Qt::NoFocus);
        Edit_Label[b]->setAlignment(Qt::AlignCenter);
        Edit_Label[b]->setStyleSheet(
            QStringLiteral("QLineEdit#%1{color: rgb(255, 255, 255);background-color: transparent;border-width:0;}").arg(lname));
    }

    // Input source, right of the graph.
    BT_INPUT_HI = button(w, QStringLiteral("BT_INPUT_HI"), 1112, 64, 132, 26);
    BT_INPUT_LOW = button(w, QStringLiteral("BT_INPUT_LOW"), 1112, 96, 132, 26);
    BT_INPUT_OPT = button(w, QStringLiteral("BT_INPUT_OPT"), 1112, 128, 132, 26);
    BT_INPUT_BT = button(w, QStringLiteral("BT_INPUT_BT"), 1112, 160, 132, 26);
    BT_INPUT_COAX = button(w, QStringLiteral("BT_INPUT_COAX"), 1112, 192, 132, 26);

    // Master volume and mute, right of the bands.
    Label[15]->setGeometry(1106, 288, 140, 20);  // label_16
    Slider_Total_Bar = vslider(w, QStringLiteral("Slider_Total_Bar"), 1118, 316, 24, 194, 600);
    Edit_Total = valueEdit(w, QStringLiteral("Edit_Total"), 1154, 400, 92, 22);
    BT_MainMute = button(w, QStringLiteral("BT_MainMute"), 1154, 440, 92, 26);

    // Output strips along the bottom.
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        const int x = StripX0 + ch * StripPitch;
        const int k = ch + 1;
        BT_CH[ch] = button(w, indexed("BT_CH", k), x, 526, 48, 22);
        BT_Sync[ch] = button(w, QStringLiteral("BT_Sync_A0%1").arg(k) + QLatin1Char('1'), x + 52, 526, 50, 22);
        BT_CH_NAME[ch] = button(w, indexed("BT_CH_NAME_", k), x, 552, 102, 22);
        Slider_CHVol_Bar[ch] = vslider(w, indexed("Slider_CHVol_Bar_", k), x, 578, 22, 100, 600);
        Edit_CHVol[ch] = valueEdit(w, indexed("Edit_CHVol_", k), x + 26, 580, 76, 20);
        Edit_CHDelay[ch] = valueEdit(w, indexed("Edit_CHDelay_", k), x + 26, 604, 76, 20);
        BT_Phase[ch] = button(w, indexed("BT_Phase_", k), x + 26, 630, 76, 20);
        BT_Mute[ch] = button(w, indexed("BT_Mute_", k), x + 26, 654, 76, 20);
    }

    // Crossover filters, bottom right: high-pass block, then low-pass block.
    struct Block {
        QLabel *title, *type, *slope, *freq;
        int x;
    };
    const Block blocks[2] = {{Label[0], Label[2], Label[4], Label[3], 716},
                             {Label[11], Label[6], Label[7], Label[5], 906}};
    for (const Block &bl : blocks) {
        bl.title->setGeometry(bl.x, 524, 180, 22);
        bl.title->setFont(uiFont(10));
        bl.type->setGeometry(bl.x, 552, 40, 22);
        bl.slope->setGeometry(bl.x, 580, 40, 22);
        bl.freq->setGeometry(bl.x, 608, 40, 22);
    }
    BT_HPF_TYPE = button(w, QStringLiteral("BT_HPF_TYPE"), 758, 552, 130, 22);
    BT_HPF_SLOPE = button(w, QStringLiteral("BT_HPF_SLOPE"), 758, 580, 130, 22);
    Edit_HPF_Freq = valueEdit(w, QStringLiteral("Edit_HPF_Freq"), 758, 608, 104, 22);
    BT_HPF_FREQ_UP = make<QPushButton>(w, QStringLiteral("BT_HPF_FREQ_UP"), 866, 608, 22, 11);
    BT_HPF_FREQ_DOWN = make<QPushButton>(w, QStringLiteral("BT_HPF_FREQ_DOWN"), 866, 619, 22, 11);
    BT_LPF_TYPE = button(w, QStringLiteral("BT_LPF_TYPE"), 948, 552, 130, 22);
    BT_LPF_SLOPE = button(w, QStringLiteral("BT_LPF_SLOPE"), 948, 580, 130, 22);
    Edit_LPF_Freq = valueEdit(w, QStringLiteral("Edit_LPF_Freq"), 948, 608, 104, 22);
    BT_LPF_FREQ_UP = make<QPushButton>(w, QStringLiteral("BT_LPF_FREQ_UP"), 1056, 608, 22, 11);
    BT_LPF_FREQ_DOWN = make<QPushButton>(w, QStringLiteral("BT_LPF_FREQ_DOWN"), 1056, 619, 22, 11);
    for (QPushButton *b : {BT_HPF_FREQ_UP, BT_LPF_FREQ_UP, BT_HPF_FREQ_DOWN, BT_LPF_FREQ_DOWN}) {
        const bool up = b == BT_HPF_FREQ_UP || b == BT_LPF_FREQ_UP;
        const QString img = up ? QStringLiteral("UpdownUp") : QStringLiteral("UpdownDn");
        b->setStyleSheet(QStringLiteral("QPushButton#%1{border-image: url(:/PNG/%2Nor.png);background-color: transparent;}"
                                        "QPushButton#%1:hover{border-image: url(:/PNG/%2On.png);}")
                             .arg(b->objectName(), img));
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(1000);
        b->setAutoRepeatInterval(100);
        b->setFocusPolicy(Qt::NoFocus);
    }

    // The bypass indicator on the graph.
    Label[14]->setGeometry(1000, 56, 90, 20);
    Label[14]->setStyleSheet(QStringLiteral("color: rgb(255, 80, 80);"));
    Label[14]->setFont(uiFont(10));

    retranslateUi(w);
}

void KestrunForm::retranslateUi(QWidget *)
{
    // The form's own texts are the Chinese ones; the language switch rewrites them later.
    auto zh = [](Txt id) { return T(id, 0); };
    const std::pair<int, Txt> labels[] = {
        {0, Txt::CapHPF},  {2, Txt::CapType},  {3, Txt::CapFreq}, {4, Txt::CapSlope}, {5, Txt::CapFreq},
        {6, Txt::CapType}, {7, Txt::CapSlope}, {8, Txt::CapFreq}, {9, Txt::CapQ},     {10, Txt::CapGain},
        {11, Txt::CapLPF}, {12, Txt::CapUnit}, {15, Txt::CapMasterVol},
    };
    for (const auto &l : labels) Label[l.first]->setText(zh(l.second));
    Label[1]->setText(QStringLiteral("Arvon-6"));
    Label[14]->setText(QStringLiteral("    直通"));
    const std::pair<QPushButton *, Txt> buttons[] = {
        {BT_SENCE, Txt::CapSence},       {BT_OPTION, Txt::CapOption},       {BT_CONNECT, Txt::StatusOffline},
        {BT_MainMute, Txt::CapMainMute}, {BT_PEQ, Txt::CapPEQ},             {BT_GEQ, Txt::CapGEQ},
        {BT_EQ_RESET, Txt::CapEqReset},  {BT_EQ_BYPASS, Txt::CapEqBypass},  {BT_LINK, Txt::CapLink},
        {BT_INPUT_HI, Txt::CapInputHi},  {BT_INPUT_LOW, Txt::CapInputLow},  {BT_INPUT_BT, Txt::CapInputBT},
        {BT_INPUT_OPT, Txt::CapInputOPT}, {BT_INPUT_COAX, Txt::CapInputCOAX},
        {BT_HPF_TYPE, Txt::FilterTypeButterworth}, {BT_LPF_TYPE, Txt::FilterTypeButterworth},
        {BT_HPF_SLOPE, Txt::FilterOff},  {BT_LPF_SLOPE, Txt::FilterOff},
    };
    for (const auto &b : buttons) b.first->setText(zh(b.second));
    BT_Unit->setText(QStringLiteral("ms"));
    static const char axis[15][5] = {"+20", "0", "-20", "20", "50", "100", "500", "1000",
                                   "2k", "5k", "10k", "20k", "+20", "0", "-20"};
    for (int k = 0; k < 15; ++k) Edit_L[k]->setText(QLatin1String(axis[k]));
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        BT_CH[ch]->setText(QStringLiteral("CH%1").arg(ch + 1));
        checkBox[ch]->setText(zh(Txt::CapCurveBox).arg(ch + 1));
        BT_Sync[ch]->setText(zh(Txt::CapSync));
        BT_Mute[ch]->setText(zh(Txt::CapMute));
        BT_Phase[ch]->setText(zh(Txt::PhaseNormal));
    }
}
