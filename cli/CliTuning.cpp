// The tuning commands of kestrun-cli: auto-EQ from a measurement, filter files, time alignment.
#include "CliTool.h"

#include "AutoEq.h"
#include "FilterFile.h"
#include "Measurement.h"
#include "ParamStore.h"
#include "SceneFields.h"
#include "SceneFile.h"
#include "Smoothing.h"
#include "TargetCurve.h"
#include "TimeAlignment.h"

#include <QFileInfo>
#include <cmath>
#include <cstring>

namespace {

// A refused text file: an unreadable one reads as such, any other fault as refused content.
int textFault(const TextError &err) { return err.fault == TextFault::CannotOpen ? CliTool::Unreadable : CliTool::Invalid; }

// Comma-separated numbers; false when any is not a number.
bool numberList(const QString &text, QVector<double> *out)
{
    for (const QString &s : text.split(QLatin1Char(','))) {
        bool ok = false;
        out->append(s.trimmed().toDouble(&ok));
        if (!ok) return false;
    }
    return true;
}

void setBands(ParamBlock *store, int ch, const BandSet &bands)
{
    for (int b = 0; b < BAND_COUNT; ++b) {
        store->EqFreq[ch][b] = bands[b].freq;
        store->EqGain[ch][b] = bands[b].gain;
        store->EqQ[ch][b] = bands[b].q;
    }
}

}  // namespace

int CliTool::loadStore(const Args &a, ParamBlock *store, QByteArray *file)
{
    const QString path = a.positional.first();
    QByteArray block;
    if (const int code = loadScene(path, a.scene, &block, file)) return code;
    std::memcpy(store, block.constData(), size_t(STORE_SIZE));
    // The tuning code works on the store's encoding; a gain no band can hold is refused rather than guessed.
    for (int ch = 0; ch < CH_COUNT; ++ch)
        for (int b = 0; b < BAND_COUNT; ++b) {
            const uint16_t g = store->EqGain[ch][b];
            if (!SceneFields::valid(FieldKind::Gain, g))
                return fail(Invalid, path, QStringLiteral("CH%1 band %2 gain: stored %3")
                                               .arg(ch + 1)
                                               .arg(b + 1)
                                               .arg(SceneFields::text(FieldKind::Gain, g)));
            store->EqGain[ch][b] = uint16_t(g - GAIN_DEVICE_OFFSET);
        }
    return Ok;
}

int CliTool::writeStore(const Args &a, const ParamBlock &store, QByteArray file)
{
    const QByteArray block = SceneFile::singleImage(store);
    file.replace(file.size() == STORE_SIZE ? 0 : (a.scene - 1) * STORE_SIZE, STORE_SIZE, block);
    return writeOutput(a.values.value(QStringLiteral("-o")), file);
}

int CliTool::channelOf(const Args &a, int *ch)
{
    bool ok = false;
    *ch = a.values.value(QStringLiteral("--channel")).toInt(&ok) - 1;
    if (!a.values.contains(QStringLiteral("--channel"))) return usage(QStringLiteral("--channel N (1..6) is required"));
    if (!ok || *ch < 0 || *ch >= CH_COUNT)
        return usage(QStringLiteral("%1 is not a channel (1..6)").arg(a.values.value(QStringLiteral("--channel"))));
    return Ok;
}

int CliTool::fitLimits(const Args &a, double *loHz, double *hiHz, double *maxBoostDb)
{
    if (a.values.contains(QStringLiteral("--range"))) {
        const QStringList r = a.values.value(QStringLiteral("--range")).split(QLatin1Char('-'));
        bool okLo = false, okHi = false;
        *loHz = r.value(0).toDouble(&okLo);
        *hiHz = r.value(1).toDouble(&okHi);
        if (r.size() != 2 || !okLo || !okHi || !(*loHz >= 20 && *loHz < *hiHz && *hiHz <= 20000))
            return usage(QStringLiteral("--range must be LO-HI in hertz within 20-20000, e.g. 60-8000"));
    }
    if (a.values.contains(QStringLiteral("--max-boost"))) {
        bool ok = false;
        *maxBoostDb = a.values.value(QStringLiteral("--max-boost")).toDouble(&ok);
        if (!ok || !(*maxBoostDb >= 0 && *maxBoostDb <= 12)) return usage(QStringLiteral("--max-boost must be 0..12 dB"));
    }
    return Ok;
}

int CliTool::targetOf(const Args &a, FreqCurve *target)
{
    const QString t = a.values.value(QStringLiteral("--target"), QStringLiteral("flat"));
    const QStringList builtIn = {"flat", "tilt", "car"};
    TextError err;
    if (builtIn.contains(t))
        *target = BuiltInTarget(TargetKind(builtIn.indexOf(t)));
    else if (!QFileInfo::exists(t))
        return fail(Unreadable, t, QStringLiteral("neither a built-in target (flat, tilt, car) nor a file"));
    else if (!LoadTargetFile(t, *target, err))
        return fail(textFault(err), t, err.message());
    return Ok;
}

int CliTool::autoeq(const Args &a)
{
    int ch = 0;
    if (const int code = channelOf(a, &ch)) return code;
    if (!a.values.contains(QStringLiteral("--measurement"))) return usage(QStringLiteral("--measurement M is required"));
    ParamBlock store;
    QByteArray file;
    if (const int code = loadStore(a, &store, &file)) return code;

    FitSettings settings = DefaultFitSettings(store, ch);
    if (const int code = fitLimits(a, &settings.loHz, &settings.hiHz, &settings.maxBoostDb)) return code;
    const QString mode = a.values.value(QStringLiteral("--mode"), QStringLiteral("peq"));
    if (mode != QLatin1String("peq") && mode != QLatin1String("geq")) return usage(QStringLiteral("--mode must be peq or geq"));
    settings.graphic = mode == QLatin1String("geq");
    if (a.values.contains(QStringLiteral("--lock"))) {
        QVector<double> bands;
        if (!numberList(a.values.value(QStringLiteral("--lock")), &bands)) return usage(QStringLiteral("--lock takes band numbers 1..31"));
        for (double b : bands) {
            if (b != std::floor(b) || b < 1 || b > BAND_COUNT) return usage(QStringLiteral("--lock takes band numbers 1..31"));
            settings.locked[size_t(b) - 1] = true;
        }
    }
    const QStringList smoothNames = {"none", "1/24", "1/12", "1/6", "1/3"};
    const int smoothing = smoothNames.indexOf(a.values.value(QStringLiteral("--smoothing"), QStringLiteral("none")));
    if (smoothing < 0) return usage(QStringLiteral("--smoothing must be none, 1/24, 1/12, 1/6 or 1/3"));

    Measurement m;
    TextError err;
    const QString mPath = a.values.value(QStringLiteral("--measurement"));
    if (!LoadMeasurementFile(mPath, m, err)) return fail(textFault(err), mPath, err.message());
    FreqCurve target;
    if (const int code = targetOf(a, &target)) return code;
    const FitResult fit = FitOutput(Smooth(m.curve, Smoothing(smoothing)), target, store, ch, settings);
    if (!fit.ok())
        return fail(Invalid, mPath, fit.fault == FitFault::EmptyRange
                                        ? QStringLiteral("the range does not overlap the measurement")
                                        : QStringLiteral("too few measured points"));
    setBands(&store, ch, fit.bands);
    out() << QStringLiteral("CH%1, %2-%3 Hz: RMS error %4 dB before, %5 dB after\n")
                 .arg(ch + 1)
                 .arg(std::lround(fit.loHz))
                 .arg(std::lround(fit.hiHz))
                 .arg(fit.rmsBefore, 0, 'f', 2)
                 .arg(fit.rmsAfter, 0, 'f', 2);
    return a.values.contains(QStringLiteral("-o")) ? writeStore(a, store, file) : int(Ok);  // without -o: a dry run
}

int CliTool::filters(const Args &a)
{
    int ch = 0;
    if (const int code = channelOf(a, &ch)) return code;
    const bool exporting = a.flags.contains(QStringLiteral("--export"));
    if (exporting == a.values.contains(QStringLiteral("--import")))
        return usage(QStringLiteral("give either --import F -o OUT or --export"));
    if (!exporting && !a.values.contains(QStringLiteral("-o"))) return usage(QStringLiteral("-o OUT is required"));
    ParamBlock store;
    QByteArray file;
    if (const int code = loadStore(a, &store, &file)) return code;
    if (exporting) {
        const QByteArray text = ExportFilters(BandsOf(store, ch), store.EqBypass[ch] != 0);
        if (a.values.contains(QStringLiteral("-o"))) return writeOutput(a.values.value(QStringLiteral("-o")), text);
        out() << QString::fromUtf8(text);
        return Ok;
    }
    std::array<bool, BAND_COUNT> locked{};
    if (a.values.contains(QStringLiteral("--lock"))) {
        QVector<double> bands;
        if (!numberList(a.values.value(QStringLiteral("--lock")), &bands)) return usage(QStringLiteral("--lock takes band numbers 1..31"));
        for (double b : bands) {
            if (b != std::floor(b) || b < 1 || b > BAND_COUNT) return usage(QStringLiteral("--lock takes band numbers 1..31"));
            locked[size_t(b) - 1] = true;
        }
    }
    const QString path = a.values.value(QStringLiteral("--import"));
    FilterImport imported;
    TextError err;
    if (!ImportFilterFile(path, BandsOf(store, ch), imported, err, locked)) return fail(textFault(err), path, err.message());
    for (const FilterNote &n : imported.notes) out() << n.message() << '\n';
    if (!imported.ok()) return fail(Invalid, path, QStringLiteral("no readable filter; nothing changed"));
    setBands(&store, ch, imported.bands);
    out() << QStringLiteral("CH%1: %2 filter%3 %4; RMS difference to the file's response %5 dB (20-20000 Hz)\n")
                 .arg(ch + 1)
                 .arg(imported.filters)
                 .arg(imported.filters == 1 ? "" : "s")
                 .arg(imported.fitted ? QStringLiteral("fitted into the bands") : QStringLiteral("into the bands as they stand"))
                 .arg(imported.rmsDb, 0, 'f', 2);
    return writeStore(a, store, file);
}

int CliTool::align(const Args &a)
{
    QVector<double> d;
    if (!numberList(a.values.value(QStringLiteral("--distances")), &d) || d.size() != CH_COUNT)
        return usage(QStringLiteral("--distances takes six numbers, d1,d2,d3,d4,d5,d6"));
    const QString unit = a.values.value(QStringLiteral("--unit"), QStringLiteral("cm"));
    if (unit != QLatin1String("cm") && unit != QLatin1String("in")) return usage(QStringLiteral("--unit must be cm or in"));
    std::array<double, CH_COUNT> distance{};
    std::copy(d.begin(), d.end(), distance.begin());
    const Alignment al = AlignDelays(distance, unit == QLatin1String("in") ? DistanceUnit::Inches : DistanceUnit::Centimetres);
    if (!al.ok) return usage(QStringLiteral("the distance of output %1 is not a distance").arg(al.badOutput + 1));
    ParamBlock store;
    QByteArray file;
    if (const int code = loadStore(a, &store, &file)) return code;
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        store.ChDelay[ch] = al.delay[size_t(ch)];
        out() << QStringLiteral("CH%1 delay: %2%3\n")
                     .arg(ch + 1)
                     .arg(SceneFields::text(FieldKind::Delay, al.delay[size_t(ch)]))
                     .arg(al.limited[size_t(ch)] ? QStringLiteral(" (limited; more was needed)") : QString());
    }
    return a.values.contains(QStringLiteral("-o")) ? writeStore(a, store, file) : int(Ok);  // without -o: a dry run
}
