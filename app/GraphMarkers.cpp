// Graph interaction: marker drags, band-button double-clicks and the value edits' keys and wheel.
#include "GraphMarkers.h"

#include "Kestrun.h"
#include "WindowMenus.h"

#include "CrossoverRules.h"
#include "DragPushButton.h"
#include "ResponseGraph.h"
#include "ResponseMath.h"
#include "TuningModel.h"
#include "ValueEditKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

namespace {

constexpr char HpfMarkStyle[] = "DragPushButton{border-image: url(:/PNG/H_Nor.png);background-color: transparent;}";
constexpr char HpfMarkHeldStyle[] = "DragPushButton{border-image: url(:/PNG/H_On.png);background-color: transparent;}";
constexpr char LpfMarkStyle[] = "DragPushButton{border-image: url(:/PNG/L_Nor.png);background-color: transparent;}";
constexpr char LpfMarkHeldStyle[] = "DragPushButton{border-image: url(:/PNG/L_On.png);background-color: transparent;}";

constexpr int VOLUME_MAX = 600;
constexpr int GAIN_MAX_CODE = 240;

// Gain code read back from a band marker's top edge (0.2123 dB per pixel from the 0 dB line).
uint16_t MarkerTopToGain(int top)
{
    const double g = (GRAPH_ZERO_DB_Y - top) * 0.2123 * 10.0 + 120.0;
    if (g > GAIN_MAX_CODE) return GAIN_MAX_CODE;
    if (g < 0.0) return 0;
    return uint16_t(g);
}

void setStyleIfChanged(QWidget *w, const char *style)
{
    const QLatin1String wanted(style);
    if (w->styleSheet() != wanted) w->setStyleSheet(wanted);
}

}  // namespace

GraphMarkers::GraphMarkers(Kestrun &window, TuningModel &model) : w_(window), model_(model) {}

void GraphMarkers::createMarkers()
{
    KestrunForm *ui = w_.ui;
    for (int b = 0; b < BAND_COUNT; ++b) {
        BandMark[b] = new DragPushButton(QString(), &w_);
        BandMark[b]->setObjectName(QStringLiteral("BT_Mark_%1").arg(b + 1));
        BandMark[b]->setGeometry(36, 139, 11, 11);
        BandMark[b]->installEventFilter(this);
    }
    HpfMark = new DragPushButton(QString(), &w_);
    HpfMark->setObjectName(QStringLiteral("BT_Mark_HPF"));
    HpfMark->setGeometry(36, 148, 16, 16);
    HpfMark->setStyleSheet(QStringLiteral("DragPushButton{border-image: url(:/PNG/H_Nor.png);background-color: transparent;}"));
    LpfMark = new DragPushButton(QString(), &w_);
    LpfMark->setObjectName(QStringLiteral("BT_Mark_LPF"));
    LpfMark->setGeometry(1080, 148, 16, 16);
    LpfMark->setStyleSheet(QStringLiteral("DragPushButton{border-image: url(:/PNG/L_Nor.png);background-color: transparent;} "
                                          "DragPushButton#BT_Mark_LPF:pressed{border-image: url(:/PNG/L_On.png);}"));
    for (QObject *o : {static_cast<QObject *>(HpfMark), static_cast<QObject *>(LpfMark),
                       static_cast<QObject *>(ui->BT_HPF_FREQ_UP), static_cast<QObject *>(ui->BT_HPF_FREQ_DOWN),
                       static_cast<QObject *>(ui->BT_LPF_FREQ_UP), static_cast<QObject *>(ui->BT_LPF_FREQ_DOWN)})
        o->installEventFilter(this);
    for (QPushButton *b : ui->BT_LED) b->installEventFilter(this);
}

void GraphMarkers::watchValueEdits()
{
    KestrunForm *ui = w_.ui;
    for (int b = 0; b < BAND_COUNT; ++b)
        for (QLineEdit *e : {ui->Edit_EQ_Gain[b], ui->Edit_EQ_Freq[b], ui->Edit_EQ_Q[b]}) e->installEventFilter(this);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        ui->Edit_CHVol[ch]->installEventFilter(this);
        ui->Edit_CHDelay[ch]->installEventFilter(this);
    }
    ui->Edit_Total->installEventFilter(this);
    ui->Edit_HPF_Freq->installEventFilter(this);
    ui->Edit_LPF_Freq->installEventFilter(this);
}

int GraphMarkers::bandMarkerIndex(const QObject *o) const
{
    for (int b = 0; b < BAND_COUNT; ++b)
        if (BandMark[b] == o) return b;
    return -1;
}

int GraphMarkers::bandButtonIndex(const QObject *o) const
{
    for (int b = 0; b < BAND_COUNT; ++b)
        if (w_.ui->BT_LED[b] == o) return b;
    return -1;
}

bool GraphMarkers::eventFilter(QObject *watched, QEvent *event)
{
    if (runHistoryKey(watched, event)) return true;
    switch (event->type()) {
    case QEvent::MouseMove:
        if (HpfMark->heldAtHeight) {
            HPF_Point_Update_Change();
        } else if (LpfMark->heldAtHeight) {
            LPF_Point_Update_Change();
        } else {
            const int b = bandMarkerIndex(watched);
            if (b >= 0) Mark_Point_Update_Change(b);
        }
        return false;
    case QEvent::MouseButtonPress:
        if (watched == HpfMark || watched == LpfMark || bandMarkerIndex(watched) >= 0) model_.beginGesture();
        if (watched == HpfMark) {
            HpfMark->setStyleSheet(QLatin1String(HpfMarkHeldStyle));
            HpfMark->heldAtHeight = true;
        } else if (watched == LpfMark) {
            LpfMark->setStyleSheet(QLatin1String(LpfMarkHeldStyle));
            LpfMark->heldAtHeight = true;
        }
        return false;
    case QEvent::MouseButtonRelease: {
        setStyleIfChanged(HpfMark, HpfMarkStyle);
        setStyleIfChanged(LpfMark, LpfMarkStyle);
        const int b = bandMarkerIndex(watched);
        if (b >= 0) {
            model_.CurBand = uint8_t(b);
            w_.graph().curves().EQ_Curve_Update(model_.CurCh);
            w_.graph().curves().Curve_Point_Update(model_.CurCh);
            updateGraph();
            w_.graph().curves().EQ_Mark_Gain_Update(uint8_t(b));
            model_.endGesture();
        } else if (HpfMark->heldAtHeight) {
            HpfMark->heldAtHeight = false;
            updateGraph();
            model_.endGesture();
        } else if (LpfMark->heldAtHeight) {
            LpfMark->heldAtHeight = false;
            updateGraph();
            model_.endGesture();
        } else if (QLineEdit *e = valueEdit(watched)) {
            e->selectAll();
        }
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        const int b = bandButtonIndex(watched);
        if (b >= 0) model_.toggleBand(b);
        return false;
    }
    case QEvent::FocusIn:
        if (QLineEdit *e = valueEdit(watched)) e->selectAll();
        return false;
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            if (QLineEdit *e = valueEdit(watched)) e->setModified(false);  // the entry is taken
        if (k->key() != Qt::Key_Up && k->key() != Qt::Key_Down) return false;
        if (!valueEdit(watched)) return false;
        return stepValueEdit(watched, k->key() == Qt::Key_Up ? 1 : -1, k->isAutoRepeat(), true);
    }
    case QEvent::Wheel: {
        auto *w = static_cast<QWheelEvent *>(event);
        int delta = w->angleDelta().y();
        if (delta == 0) delta = w->angleDelta().x();
        if (delta == 0 || !valueEdit(watched)) return false;
        return stepValueEdit(watched, delta > 0 ? 1 : -1, false, false);
    }
    default:
        return false;
    }
}

QLineEdit *GraphMarkers::valueEdit(QObject *o) const
{
    const KestrunForm *ui = w_.ui;
    auto *e = qobject_cast<QLineEdit *>(o);
    if (!e) return nullptr;
    if (e == ui->Edit_Total || e == ui->Edit_HPF_Freq || e == ui->Edit_LPF_Freq) return e;
    return ParseValueEditName(e->objectName()).kind != ValueEditKind::None ? e : nullptr;
}

// One key or wheel step of a value edit. True (the event is used up) for the crossover and
// equaliser edits; the volume and delay edits pass the event on after stepping.
bool GraphMarkers::stepValueEdit(QObject *o, int dir, bool autoRepeat, bool fromKey)
{
    const int units = KeyStepUnits(autoRepeat);
    const bool up = dir > 0;
    const bool fast = fromKey && autoRepeat;  // the wheel always steps 1 Hz
    const KestrunForm *ui = w_.ui;
    TuningModel &m = model_;
    const uint8_t ch = m.CurCh;
    if (ch >= CH_COUNT) return false;
    // An auto-repeat burst or a run of wheel steps on one field is one step of the history.
    const ValueEditRef ref = ParseValueEditName(o->objectName());
    const int field = o == ui->Edit_Total ? 1 : o == ui->Edit_HPF_Freq ? 2 : o == ui->Edit_LPF_Freq ? 3
                                                                        : 4 + int(ref.kind) * 64 + ref.index;
    m.mergeNext(field * 2 + (fromKey ? 1 : 0));
    if (o == ui->Edit_Total) {
        const int v = StepWithinRange(m.store.MasterVol, dir, units, 0, VOLUME_MAX);
        if (v != m.store.MasterVol) m.setMasterVolume(v);
        return false;
    }
    if (o == ui->Edit_HPF_Freq || o == ui->Edit_LPF_Freq) {
        const int filter = o == ui->Edit_HPF_Freq ? 0 : 1;
        const uint16_t f = filter == 0 ? m.store.HpfFreq[ch] : m.store.LpfFreq[ch];
        m.stepFilterFreq(filter, CrossoverStepFreq(f, up, fast));
        return true;
    }
    const int i = ref.index;
    switch (ref.kind) {
    case ValueEditKind::ChVol:
        m.stepVolume(i, dir, units);
        return false;
    case ValueEditKind::ChDelay:
        m.stepDelay(i, dir, units);
        return false;
    case ValueEditKind::EqGain:
        m.stepBandGain(i, dir, units);
        return true;
    case ValueEditKind::EqFreq:
        m.stepBandFreq(i, up, fast);
        return true;
    case ValueEditKind::EqQ:
        m.stepBandQ(i, dir, units);
        return true;
    case ValueEditKind::None:
        break;
    }
    return false;
}

void GraphMarkers::Mark_Point_Update_Change(int band)
{
    if (band < 0 || band >= BAND_COUNT || model_.CurCh >= CH_COUNT) return;
    DragPushButton *m = BandMark[band];
    model_.moveBandMarker(band, MarkerTopToGain(m->y()), Pos_To_Freq(m->x()));
}

void GraphMarkers::HPF_Point_Update_Change()
{
    if (model_.CurCh < CH_COUNT) model_.stepFilterFreq(0, Pos_To_Freq(HpfMark->x()));
}

void GraphMarkers::LPF_Point_Update_Change()
{
    if (model_.CurCh < CH_COUNT) model_.stepFilterFreq(1, Pos_To_Freq(LpfMark->x()));
}

void GraphMarkers::updateGraph()
{
    w_.graph().update();
}

// A value field keeps its own text undo only while it holds typing that was not entered yet; otherwise
// its undo and redo keys (which the field claims before any shortcut) run the window's history.
bool GraphMarkers::runHistoryKey(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return false;
    QLineEdit *e = valueEdit(watched);
    if (!e || e->isModified()) return false;
    auto *k = static_cast<QKeyEvent *>(event);
    const QKeySequence typed(int(k->modifiers()) | k->key());
    for (QAction *a : {w_.menus().UndoAct, w_.menus().RedoAct})
        for (const QKeySequence &s : a->shortcuts())
            if (s == typed) {
                a->trigger();
                return true;
            }
    return false;
}

// The window's side of marker placement: the response math moves these markers and band labels.
QPoint GraphMarkers::bandMarkerPos(int band) const
{
    return band >= 0 && band < BAND_COUNT && BandMark[band] ? BandMark[band]->pos() : QPoint();
}

void GraphMarkers::placeBandMarker(int band, int x, int y)
{
    if (band >= 0 && band < BAND_COUNT && BandMark[band])
        BandMark[band]->setGeometry(x, y, BAND_MARKER_SIZE, BAND_MARKER_SIZE);
}

void GraphMarkers::placeBandLabel(int band, int x, int y)
{
    if (band >= 0 && band < BAND_COUNT && w_.ui)
        w_.ui->Edit_Label[band]->setGeometry(x, y, BAND_LABEL_SIZE, BAND_LABEL_SIZE);
}

void GraphMarkers::placeHpfMarker(int x, int y)
{
    if (HpfMark) HpfMark->setGeometry(x, y, XOVER_MARKER_SIZE, XOVER_MARKER_SIZE);
}

void GraphMarkers::placeLpfMarker(int x, int y)
{
    if (LpfMark) LpfMark->setGeometry(x, y, XOVER_MARKER_SIZE, XOVER_MARKER_SIZE);
}
