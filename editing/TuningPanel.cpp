// The measurement and auto-EQ panel, built in code; every edit goes through the model.
#include "TuningPanel.h"

#include "AutoEq.h"
#include "FilterFile.h"
#include "MeasurementOverlay.h"
#include "Notice.h"
#include "RecentFolder.h"
#include "Styles.h"
#include "TargetCurve.h"
#include "TimeAlignment.h"
#include "TuningModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The smoothing choices in the order of the enum.
const int SmoothingOctaves[] = {24, 12, 6, 3};

QDoubleSpinBox *decimalBox(double lo, double hi, double step, double value, int decimals)
{
    auto *s = new QDoubleSpinBox;
    s->setRange(lo, hi);
    s->setSingleStep(step);
    s->setDecimals(decimals);
    s->setValue(value);
    return s;
}

// The bands of ch as one undoable step, sent while connected.
void applyBands(TuningModel &model, int ch, const BandSet &bands)
{
    uint16_t freq[BAND_COUNT], gain[BAND_COUNT];
    uint8_t q[BAND_COUNT];
    for (int b = 0; b < BAND_COUNT; ++b) {
        freq[b] = bands[b].freq;
        gain[b] = bands[b].gain;
        q[b] = bands[b].q;
    }
    model.setBands(ch, freq, gain, q);
}

// The combo items of each choice, in item order.
const Txt TargetItems[] = {Txt::PanelTargetFlat, Txt::PanelTargetTilt, Txt::PanelTargetCar, Txt::PanelTargetFile};
const Txt ModeItems[] = {Txt::PanelModePeq, Txt::PanelModeGeq};
const Txt UnitItems[] = {Txt::PanelUnitCm, Txt::PanelUnitInch};

template <size_t N>
void fillItems(QComboBox *box, const Txt (&items)[N], const Language &language)
{
    for (size_t k = 0; k < N; ++k) {
        if (int(k) < box->count())
            box->setItemText(int(k), language.text(items[k]));
        else
            box->addItem(language.text(items[k]));
    }
}

// One note of a filter import in the given language.
QString noteText(const FilterNote &n, uint8_t language)
{
    const QString text = T(Txt(int(Txt::PanelNotePreamp) + int(n.kind)), language).arg(n.line);
    switch (n.kind) {
    case FilterNoteKind::OtherType: return text.arg(n.type);
    case FilterNoteKind::Preamp:
    case FilterNoteKind::FreqClamped:
    case FilterNoteKind::GainClamped:
    case FilterNoteKind::QClamped: return text.arg(n.value);
    default: return text;
    }
}

// A short stretch of a curve's line: the legend beside its check box.
QIcon legendIcon(const QPen &pen)
{
    QPixmap pm(28, 10);
    pm.fill(QColor(40, 40, 41));
    QPainter p(&pm);
    p.setPen(pen);
    p.drawLine(1, 5, 27, 5);
    return QIcon(pm);
}

QString importSummary(const FilterImport &imported, uint8_t language)
{
    QStringList lines{imported.ok() ? T(Txt::PanelImportSummary, language).arg(imported.filters).arg(imported.rmsDb, 0, 'f', 2)
                                    : T(Txt::PanelNoFilter, language)};
    for (const FilterNote &n : imported.notes) lines << noteText(n, language);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

TuningPanel::TuningPanel(TuningModel &model, MeasurementOverlay &overlay, const Notice &notice, RecentFolder &folder,
                         QWidget *parent)
    : FramelessDialog(parent), model_(model), overlay_(overlay), notice_(notice), folder_(folder)
{
    // A window of its own (not a child drawn over the graph), kept when closed.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QStringLiteral("TuningPanel"));
    setWindowTitle(notice_.language().text(Txt::PanelTitle));
    setStyleSheet(panelStyle());

    auto *column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);  // grows with a longer note instead of clipping it
    auto *top = new QHBoxLayout;
    QLabel *heading = label(Txt::PanelTitle);
    outputLabel = new QLabel;
    QPushButton *close = panelCloseButton();
    top->addWidget(heading);
    top->addStretch();
    top->addWidget(outputLabel);
    top->addSpacing(16);
    top->addWidget(close);
    column->addLayout(top);

    buildMeasurement(group(column, Txt::PanelGroupMeasurement));
    buildFit(group(column, Txt::PanelGroupFit));
    QGridLayout *filters = group(column, Txt::PanelGroupFilters);
    importButton = button(Txt::PanelImportFilters);
    exportButton = button(Txt::PanelExportFilters);
    filters->addWidget(importButton, 0, 0);
    filters->addWidget(exportButton, 0, 1);
    connect(importButton, &QPushButton::clicked, this, &TuningPanel::importFilters);
    connect(exportButton, &QPushButton::clicked, this, &TuningPanel::exportFilters);
    buildAlignment(group(column, Txt::PanelGroupAlign));

    connect(&model_, &ModelCore::changed, this, &TuningPanel::modelChanged);
    connect(&overlay_, &MeasurementOverlay::changed, this, &TuningPanel::showOutput);  // e.g. a measured output
    applyLanguage();
    setDefaultRange();
}

QGridLayout *TuningPanel::group(QVBoxLayout *column, Txt title)
{
    auto *box = new QGroupBox;
    captions_.push_back({box, title});
    column->addWidget(box);
    return new QGridLayout(box);
}

QPushButton *TuningPanel::button(Txt text)
{
    auto *b = new QPushButton(this);
    captions_.push_back({b, text});
    return b;
}

QLabel *TuningPanel::label(Txt text)
{
    auto *l = new QLabel(this);
    captions_.push_back({l, text});
    return l;
}

void TuningPanel::applyLanguage()
{
    setWindowTitle(notice_.language().text(Txt::PanelTitle));
    for (const auto &c : captions_) {
        if (auto *box = qobject_cast<QGroupBox *>(c.first))
            box->setTitle(notice_.language().text(c.second));
        else if (auto *l = qobject_cast<QLabel *>(c.first))
            l->setText(notice_.language().text(c.second));
        else if (auto *b = qobject_cast<QAbstractButton *>(c.first))
            b->setText(notice_.language().text(c.second));
    }
    smoothing->setItemText(0, notice_.language().text(Txt::PanelSmoothNone));
    for (int k = 0; k < int(std::size(SmoothingOctaves)); ++k)
        smoothing->setItemText(k + 1, notice_.language().text(Txt::PanelSmoothOctave).arg(SmoothingOctaves[k]));
    fillItems(target, TargetItems, notice_.language());
    fillItems(mode, ModeItems, notice_.language());
    fillItems(unit, UnitItems, notice_.language());
    locks->setPlaceholderText(notice_.language().text(Txt::PanelLocksHint));
    showOutput();
}

void TuningPanel::buildMeasurement(QGridLayout *g)
{
    loadButton = button(Txt::PanelLoadMeasurement);
    measurementName = new QLabel;
    g->addWidget(loadButton, 0, 0);
    g->addWidget(measurementName, 0, 1, 1, 3);

    smoothing = new QComboBox;
    for (size_t k = 0; k <= std::size(SmoothingOctaves); ++k) smoothing->addItem(QString());
    offset = decimalBox(-40.0, 40.0, 0.5, 0.0, 1);
    g->addWidget(label(Txt::PanelSmoothing), 1, 0);
    g->addWidget(smoothing, 1, 1);
    g->addWidget(label(Txt::PanelOffset), 1, 2);
    g->addWidget(offset, 1, 3);

    target = new QComboBox;
    g->addWidget(label(Txt::PanelTarget), 2, 0);
    g->addWidget(target, 2, 1);

    auto *shown = new QHBoxLayout;
    const Txt names[3] = {Txt::PanelShowMeasured, Txt::PanelShowPredicted, Txt::PanelShowTarget};
    for (int c = 0; c < MeasurementOverlay::CurveCount; ++c) {
        curveBox[c] = new QCheckBox(this);
        captions_.push_back({curveBox[c], names[c]});
        curveBox[c]->setChecked(overlay_.shown(MeasurementOverlay::Curve(c)));
        curveBox[c]->setIcon(legendIcon(MeasurementOverlay::pen(MeasurementOverlay::Curve(c))));
        curveBox[c]->setIconSize(QSize(28, 10));
        shown->addWidget(curveBox[c]);
        connect(curveBox[c], &QCheckBox::toggled, this,
                [this, c](bool on) { overlay_.setShown(MeasurementOverlay::Curve(c), on); });
    }
    g->addLayout(shown, 3, 0, 1, 4);

    connect(loadButton, &QPushButton::clicked, this, &TuningPanel::loadMeasurement);
    connect(smoothing, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (channel() >= 0) overlay_.setSmoothing(channel(), Smoothing(index));
    });
    connect(offset, &QDoubleSpinBox::editingFinished, this, [this] {
        if (channel() >= 0 && offset->value() != overlay_.output(channel()).offsetDb)
            overlay_.setOffset(channel(), offset->value());
    });
    connect(target, QOverload<int>::of(&QComboBox::activated), this, &TuningPanel::chooseTarget);
}

void TuningPanel::buildFit(QGridLayout *g)
{
    rangeLo = new QSpinBox;
    rangeHi = new QSpinBox;
    for (QSpinBox *s : {rangeLo, rangeHi}) s->setRange(20, 20000);
    rangeDefault = button(Txt::PanelRangeDefault);
    g->addWidget(label(Txt::PanelRange), 0, 0);
    g->addWidget(rangeLo, 0, 1);
    g->addWidget(rangeHi, 0, 2);
    g->addWidget(rangeDefault, 0, 3);

    maxBoost = decimalBox(0.0, 12.0, 0.5, FIT_DEFAULT_MAX_BOOST_DB, 1);
    mode = new QComboBox;
    mode->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    g->addWidget(label(Txt::PanelMaxBoost), 1, 0);
    g->addWidget(maxBoost, 1, 1);
    g->addWidget(label(Txt::PanelMode), 1, 2);
    g->addWidget(mode, 1, 3);

    locks = new QLineEdit;
    g->addWidget(label(Txt::PanelLocks), 2, 0);
    g->addWidget(locks, 2, 1, 1, 3);

    fitButton = button(Txt::PanelFit);
    fitResult = new QLabel;
    g->addWidget(fitButton, 3, 0);
    g->addWidget(fitResult, 3, 1, 1, 3);

    connect(rangeDefault, &QPushButton::clicked, this, &TuningPanel::setDefaultRange);
    connect(fitButton, &QPushButton::clicked, this, &TuningPanel::fit);
}

void TuningPanel::buildAlignment(QGridLayout *g)
{
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        distance[ch] = decimalBox(0.0, 10000.0, 1.0, 0.0, 2);
        g->addWidget(new QLabel(QStringLiteral("CH%1").arg(ch + 1)), 0, ch);
        g->addWidget(distance[ch], 1, ch);
    }
    unit = new QComboBox;
    alignButton = button(Txt::PanelAlignApply);
    alignResult = new QLabel;  // one line per limited output, on a row of its own
    g->addWidget(unit, 2, 0);
    g->addWidget(alignButton, 2, 1);
    g->addWidget(alignResult, 3, 0, 1, CH_COUNT);
    connect(alignButton, &QPushButton::clicked, this, &TuningPanel::align);
    connect(unit, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TuningPanel::convertDistances);
}

int TuningPanel::channel() const
{
    return model_.CurCh < CH_COUNT ? model_.CurCh : -1;
}

void TuningPanel::modelChanged(const ModelChange &c)
{
    if (c.all || std::find(std::begin(c.output), std::end(c.output), true) != std::end(c.output)) delaysChanged();
    if (!c.selection && !c.all) return;
    fitResult->clear();
    showOutput();
    setDefaultRange();
}

void TuningPanel::showOutput()
{
    const int ch = channel();
    for (QWidget *w : std::initializer_list<QWidget *>{loadButton, smoothing, offset, target, fitButton,
                                                        importButton, exportButton})
        w->setEnabled(ch >= 0);
    if (ch < 0) return;
    const MeasurementOverlay::Output &o = overlay_.output(ch);
    outputLabel->setText(notice_.language().text(Txt::PanelOutput).arg(ch + 1));
    measurementName->setText(overlay_.loaded(ch) ? o.measurement.name : notice_.language().text(Txt::PanelNoMeasurement));
    smoothing->setCurrentIndex(int(o.smoothing));
    offset->setValue(o.offsetDb);
    target->setItemText(MeasurementOverlay::TARGET_FILE,
                        o.targetName.isEmpty() ? notice_.language().text(Txt::PanelTargetFile) : o.targetName);
    target->setCurrentIndex(o.targetKind);
}

void TuningPanel::setDefaultRange()
{
    if (channel() < 0) return;
    const FitSettings s = DefaultFitSettings(model_.store, channel());
    rangeLo->setValue(int(std::lround(s.loHz)));
    rangeHi->setValue(int(std::lround(s.hiHz)));
}

QString TuningPanel::refusal(const TextError &err, uint8_t language)
{
    QString reason = T(Txt(int(Txt::FaultCannotOpen) + int(err.fault) - 1), language);
    if (err.fault == TextFault::TooFewPoints) reason = reason.arg(err.minPoints);
    return err.line > 0 ? T(Txt::PanelRefusedLine, language).arg(err.line).arg(reason)
                        : T(Txt::PanelRefused, language).arg(reason);
}

void TuningPanel::refuse(const TextError &err) const
{
    notice_.info(refusal(err, 0), refusal(err, 1));
}

QString TuningPanel::pickFile(Txt caption, Txt filter, const QString &saveName)
{
    if (channel() < 0) return QString();
    return saveName.isEmpty() ? folder_.openFile(this, notice_.language().text(caption), notice_.language().text(filter))
                              : folder_.saveFile(this, notice_.language().text(caption), saveName, notice_.language().text(filter));
}

void TuningPanel::loadMeasurement()
{
    const QString path = pickFile(Txt::PanelLoadMeasurement, Txt::PanelMeasurementFiles);
    if (path.isEmpty()) return;
    const int ch = channel();
    Measurement m;
    TextError err;
    if (!LoadMeasurementFile(path, m, err)) return refuse(err);
    overlay_.setMeasurement(ch, m);
    showOutput();
}

void TuningPanel::chooseTarget(int index)
{
    const int ch = channel();
    if (ch < 0) return;
    if (index != MeasurementOverlay::TARGET_FILE) {
        overlay_.setTarget(ch, index, BuiltInTarget(TargetKind(index)), QString());
        return;
    }
    const QString path = pickFile(Txt::PanelTargetFile, Txt::PanelTargetFiles);
    FreqCurve curve;
    TextError err;
    if (!path.isEmpty() && LoadTargetFile(path, curve, err))
        overlay_.setTarget(ch, index, curve, QFileInfo(path).fileName());
    else if (!path.isEmpty())
        refuse(err);
    showOutput();  // a cancelled or refused file leaves the target as it was
}

bool TuningPanel::readLocks(std::array<bool, BAND_COUNT> &locked) const
{
    locked.fill(false);
    const QString text = locks->text().trimmed();
    if (text.isEmpty()) return true;
    for (const QString &s : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int b = s.trimmed().toInt(&ok);
        if (!ok || b < 1 || b > BAND_COUNT) return false;
        locked[size_t(b - 1)] = true;
    }
    return true;
}

void TuningPanel::fit()
{
    const int ch = channel();
    if (ch < 0) return;
    if (!overlay_.loaded(ch)) return notice_.info(Txt::PanelFitNoMeasurement);
    FitSettings settings = DefaultFitSettings(model_.store, ch);
    settings.loHz = rangeLo->value();
    settings.hiHz = rangeHi->value();
    if (settings.loHz >= settings.hiHz) return notice_.info(Txt::PanelBadRange);
    if (!readLocks(settings.locked)) return notice_.info(Txt::PanelBadLocks);
    settings.maxBoostDb = maxBoost->value();
    settings.graphic = mode->currentIndex() == 1;

    const FitResult r = FitOutput(overlay_.smoothed(ch), overlay_.output(ch).target, model_.store, ch, settings);
    if (!r.ok()) return notice_.info(r.fault == FitFault::EmptyRange ? Txt::PanelFitEmptyRange : Txt::PanelFitNoMeasurement);
    applyBands(model_, ch, r.bands);
    fitResult->setText(notice_.language().text(Txt::PanelFitResult)
                           .arg(r.rmsBefore, 0, 'f', 2)
                           .arg(r.rmsAfter, 0, 'f', 2)
                           .arg(std::lround(r.loHz))
                           .arg(std::lround(r.hiHz)));
}

void TuningPanel::importFilters()
{
    const QString path = pickFile(Txt::PanelImportFilters, Txt::PanelFilterFiles);
    if (path.isEmpty()) return;
    const int ch = channel();
    FilterImport imported;
    TextError err;
    std::array<bool, BAND_COUNT> locked{};
    if (!readLocks(locked)) return notice_.info(Txt::PanelBadLocks);
    if (!ImportFilterFile(path, BandsOf(model_.store, ch), imported, err, locked)) return refuse(err);
    if (imported.ok()) applyBands(model_, ch, imported.bands);  // a file without a readable filter changes nothing
    notice_.info(importSummary(imported, 0), importSummary(imported, 1));
}

void TuningPanel::exportFilters()
{
    const QString path = pickFile(Txt::PanelExportFilters, Txt::PanelFilterFiles,
                                  QStringLiteral("Arvon-6_CH%1_filters.txt").arg(channel() + 1));
    if (path.isEmpty()) return;
    const int ch = channel();
    QSaveFile file(path);
    const QByteArray text = ExportFilters(BandsOf(model_.store, ch), model_.store.EqBypass[ch] != 0);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        notice_.info(Txt::PanelWriteFailed);
    else
        emit saved(path);
}

void TuningPanel::align()
{
    std::array<double, CH_COUNT> d{};
    for (int ch = 0; ch < CH_COUNT; ++ch) d[size_t(ch)] = distance[ch]->value();
    const Alignment al = AlignDelays(d, unit->currentIndex() == 1 ? DistanceUnit::Inches : DistanceUnit::Centimetres);
    if (!al.ok) return;  // the spin boxes hold no negative or non-numeric distance
    model_.setDelays(al.delay.data());
    for (int ch = 0; ch < CH_COUNT; ++ch) aligned_[size_t(ch)] = model_.store.ChDelay[ch];
    QStringList lines{notice_.language().text(Txt::PanelAlignDone)};
    for (int ch = 0; ch < CH_COUNT; ++ch)
        if (al.limited[size_t(ch)]) lines << notice_.language().text(Txt::PanelAlignLimited).arg(ch + 1);
    alignResult->setText(lines.join(QLatin1Char('\n')));
}

// Undo, a later edit or a load took the delays away from what the note reports.
void TuningPanel::delaysChanged()
{
    if (alignResult->text().isEmpty()) return;
    for (int ch = 0; ch < CH_COUNT; ++ch)
        if (model_.store.ChDelay[ch] != aligned_[size_t(ch)]) return alignResult->clear();
}

void TuningPanel::convertDistances(int unitIndex)
{
    if (unitIndex < 0 || unitIndex == unitShown_) return;
    const double factor = unitIndex == 1 ? 1.0 / 2.54 : 2.54;
    for (QDoubleSpinBox *d : distance) d->setValue(d->value() * factor);
    unitShown_ = unitIndex;
}
