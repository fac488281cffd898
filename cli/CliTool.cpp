// Argument parsing, help, file loading and the scene commands of kestrun-cli.
#include "CliTool.h"

#include "SceneFile.h"
#include "SceneJson.h"
#include "SceneText.h"
#include "SetupSheet.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 MAX_JSON_SIZE = 1 << 20;

const char *const ExitCodes =
    "Exit codes: 0 done; 1 the files differ (diff); 2 usage error (for diff: any error); 3 an input cannot be read;\n"
    "4 a scene file of the wrong size; 5 content refused (JSON syntax or range, an invalid stored value);\n"
    "6 the output cannot be written; 7 the measurement failed (measure, autotune).\n";

}  // namespace

struct CliTool::Command {
    const char *name;
    const char *synopsis;
    const char *help;
    QStringList valued;  // options that take a value
    QStringList flags;   // options without a value
    int positional;      // number of file arguments
    bool needsOutput;    // -o is required
    int (CliTool::*handler)(const Args &);
};

std::vector<CliTool::Command> CliTool::commands()
{
    return {
        {"show", "show FILE [--scene K] [--all-bands]",
         "Shows one scene: the master volume, input source, noise gate and firmware version, then per output its name,\n"
         "volume, delay in ms and cm, phase, mute, EQ bypass, high-pass and low-pass filters and the bands that are not\n"
         "flat (all 31 with --all-bands). FILE is a .SCE, or a .ALL with --scene K (1..9, default 1).\n",
         {"--scene"}, {"--all-bands"}, 1, false, &CliTool::show},
        {"export", "export FILE [--scene K] [-o OUT.json]",
         "Writes the scene as JSON (see the README for the schema) to standard output, or to OUT.json with -o.\n"
         "A stored value outside its field's range cannot be exported and is named.\n",
         {"--scene", "-o"}, {}, 1, false, &CliTool::exportJson},
        {"import", "import FILE.json -o OUT.SCE",
         "Makes a single-scene file from JSON written by export. A value outside its field's range is refused with\n"
         "the field's path; export followed by import gives the original bytes.\n",
         {"-o"}, {}, 1, true, &CliTool::importJson},
        {"diff", "diff A B [--scene K]",
         "Prints one line per differing field, e.g. \"CH2 band 5 gain: -3.0 dB -> -4.5 dB\". Two .ALL files are\n"
         "compared scene by scene unless --scene K picks one. Exits 0 when equal, 1 when they differ, 2 on an error.\n",
         {"--scene"}, {}, 2, false, &CliTool::diff},
        {"sheet", "sheet FILE [--scene K] [--date TEXT] [--note TEXT] [--language en|zh] -o OUT.pdf",
         "Makes the printable setup sheet: outputs with names, levels, delays, phase and mute, crossovers, the bands\n"
         "that are not flat and one response graph per output. --date defaults to today; without --note the sheet\n"
         "has lines for a note by hand. The sheet is in English (en, the default) or Chinese (zh).\n",
         {"--scene", "--date", "--note", "--language", "-o"}, {}, 1, true, &CliTool::sheet},
        {"autoeq",
         "autoeq FILE --channel N --measurement M [--target flat|tilt|car|T] [--range LO-HI] [--max-boost DB]\n"
         "       [--mode peq|geq] [--lock 1,5,7] [--smoothing none|1/24|1/12|1/6|1/3] [--scene K] [-o OUT]",
         "Fits output N's equaliser (1..6) to the target from a measurement (REW text export or FRD), within the\n"
         "range (default: where the output's crossovers pass), boosting at most DB (default 6.0, at most 12.0).\n"
         "geq moves gains only; locked bands keep their values. Prints the RMS error in the range before and after\n"
         "and writes the scene file with the new bands to OUT (an .ALL input gives an .ALL output); without -o\n"
         "nothing is written.\n",
         {"--channel", "--measurement", "--target", "--range", "--max-boost", "--mode", "--lock", "--smoothing",
          "--scene", "-o"},
         {}, 1, false, &CliTool::autoeq},
        {"filters", "filters FILE --channel N (--import F [--lock 1,5,7] -o OUT | --export [-o OUT.txt]) [--scene K]",
         "--import reads a filter file (REW filter settings or an Equalizer APO / AutoEq ParametricEQ.txt), computes\n"
         "the response it means (cookbook filters at 48 kHz) and fits output N's free bands to it; prints what was\n"
         "skipped and the RMS difference left, and writes the scene to OUT. A file without a readable filter is\n"
         "refused (exit 5). --export prints the output's bands as ParametricEQ lines with cookbook Q (or writes\n"
         "them to OUT.txt).\n",
         {"--channel", "--import", "--lock", "--scene", "-o"}, {"--export"}, 1, false, &CliTool::filters},
        {"align", "align FILE --distances d1,d2,d3,d4,d5,d6 [--unit cm|in] [--scene K] [-o OUT]",
         "Sets the six output delays from the distances of the speakers to the listening position (default cm):\n"
         "the farthest gets 0, each other the difference over the speed of sound (345 m/s), at most 15.00 ms.\n"
         "Without -o the delays are printed and nothing is written.\n",
         {"--distances", "--unit", "--scene", "-o"}, {}, 1, false, &CliTool::align},
        {"measure", "measure --car CAR.json [--scene IN.SCE] --channel N [--positions K] [--sweep-s S] -o OUT.txt",
         "Measures output N (1..6) headless: the simulated processor with the scene (default: factory parameters),\n"
         "the virtual car of CAR.json and a sweep of S seconds (0.5..6, default 1.5) at K microphone positions (1..9,\n"
         "default 1). Writes the REW-text measurement to OUT.txt and prints \"CHn: arrival X.XXX ms, polarity\n"
         "+|-|ambiguous, SNR Y dB\": the arrival after the processor's input, the card's latency taken out by the\n"
         "loopback (the output's own delay plus the path; 345 cm and no delay give 10.000 ms). --level DBFS sets the\n"
         "sweep's level (-60..0, default -12); when the level check clips, it steps down 6 dB (three times at most).\n",
         {"--car", "--scene", "--channel", "--positions", "--sweep-s", "--level", "-o"}, {}, 0, true, &CliTool::measure},
        {"autotune",
         "autotune --car CAR.json IN.SCE [--target flat|tilt|car|FILE] [--positions K] [--range A-B] [--max-boost DB]\n"
         "       -o OUT.SCE",
         "Runs the whole auto-tune headless on the virtual car of CAR.json and the simulated processor loaded with\n"
         "IN.SCE (its crossovers stay as they are): every output with a speaker name measured at K microphone\n"
         "positions (1..9, default 1), polarity corrected where inverted, delays from the arrivals (the latest gets 0),\n"
         "levels matched by cuts, each equaliser fitted to the target within its pass band (or A-B within it, boosting\n"
         "at most DB, default 6.0), then measured again to verify. Prints one line per output, \"CHn: delay X.XX ms,\n"
         "polarity +|-|ambiguous, level Y.Y dB, RMS predicted P.PP dB, verified V.VV dB\" (level: the output's volume),\n"
         "and writes the processor's state after the tuning to OUT.SCE. --level DBFS sets the sweeps' level (-60..0,\n"
         "default -12); an output whose first sweep clips is measured again 6 dB lower (three times at most), noted.\n",
         {"--car", "--target", "--positions", "--range", "--max-boost", "--level", "-o"}, {}, 1, true, &CliTool::autotune},
    };
}

int CliTool::fail(int code, const QString &file, const QString &reason)
{
    err_ << "kestrun-cli " << (command_ ? command_ : "") << ": " << file << ": " << reason << Qt::endl;
    return code;
}

int CliTool::usage(const QString &reason)
{
    const QString name = command_ ? QString::fromLatin1(command_) : QString();
    err_ << "kestrun-cli" << (name.isEmpty() ? "" : " ") << name << ": " << reason << " (see kestrun-cli " << name
         << (name.isEmpty() ? "" : " ") << "--help)" << Qt::endl;
    return Usage;
}

int CliTool::run(const QStringList &args)
{
    command_ = nullptr;
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        out_ << "Usage: kestrun-cli COMMAND [ARGS]   (kestrun-cli COMMAND --help for details)\n"
                "       kestrun-cli --version\n\nCommands:\n";
        for (const Command &c : commands()) out_ << "  kestrun-cli " << c.synopsis << '\n';
        out_ << '\n' << ExitCodes;
        out_.flush();
        return args.isEmpty() ? Usage : Ok;
    }
    if (args.first() == QLatin1String("--version")) {
        out_ << "kestrun-cli " << KESTRUN_VERSION << '\n';
        out_.flush();
        return Ok;
    }
    const std::vector<Command> all = commands();
    for (const Command &c : all) {
        if (args.first() != QLatin1String(c.name)) continue;
        command_ = c.name;
        if (args.contains(QStringLiteral("--help"))) {
            out_ << "Usage: kestrun-cli " << c.synopsis << "\n\n" << c.help << '\n' << ExitCodes;
            out_.flush();
            return Ok;
        }
        Args a;
        int code = parse(c, args.mid(1), &a);
        if (code == Ok) code = (this->*c.handler)(a);
        out_.flush();
        // diff keeps 0 and 1 for its answer and reports every error as 2.
        return c.handler == &CliTool::diff && code > Differ ? int(Usage) : code;
    }
    return usage(QStringLiteral("unknown command \"%1\"").arg(args.first()));
}

int CliTool::parse(const Command &c, const QStringList &args, Args *a)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &s = args[i];
        if (c.valued.contains(s)) {
            if (i + 1 >= args.size()) return usage(QStringLiteral("%1 needs a value").arg(s));
            a->values[s] = args[++i];
        } else if (c.flags.contains(s)) {
            a->flags << s;
        } else if (s.startsWith(QLatin1Char('-')) && s.size() > 1) {
            return usage(QStringLiteral("unknown option %1").arg(s));
        } else {
            a->positional << s;
        }
    }
    if (a->positional.size() != c.positional)
        return usage(QStringLiteral("expected %1 file argument%2").arg(c.positional).arg(c.positional == 1 ? "" : "s"));
    if (c.needsOutput && !a->values.contains(QStringLiteral("-o"))) return usage(QStringLiteral("-o OUT is required"));
    // --scene K picks a scene of the FILE argument; a command without one takes --scene as a file (measure).
    if (c.positional > 0 && a->values.contains(QStringLiteral("--scene"))) {
        bool ok = false;
        a->scene = a->values.value(QStringLiteral("--scene")).toInt(&ok);
        if (!ok || a->scene < 1 || a->scene > SCENE_COUNT) return usage(QStringLiteral("--scene must be 1..9"));
    }
    return Ok;
}

int CliTool::loadScene(const QString &path, int scene, QByteArray *block, QByteArray *file)
{
    const QFileInfo info(path);
    if (!info.exists()) return fail(Unreadable, path, QStringLiteral("no such file"));
    if (!info.isFile()) return fail(Unreadable, path, QStringLiteral("not a file"));
    const QString ext = info.suffix().toUpper();
    const qint64 size = info.size();
    int expected = size == SceneFile::ALL_SIZE ? SceneFile::ALL_SIZE : SceneFile::SINGLE_SIZE;
    if (ext == QLatin1String("SCE")) expected = SceneFile::SINGLE_SIZE;
    if (ext == QLatin1String("ALL")) expected = SceneFile::ALL_SIZE;
    if (size != expected) {
        const QString kinds = ext == QLatin1String("SCE")   ? QStringLiteral("a single-scene file must be 4096 bytes")
                              : ext == QLatin1String("ALL") ? QStringLiteral("an all-scenes file must be 36864 bytes")
                                                            : QStringLiteral("a scene file must be 4096 bytes (.SCE) "
                                                                             "or 36864 bytes (.ALL)");
        return fail(WrongSize, path, QStringLiteral("the file is %1 bytes; %2").arg(size).arg(kinds));
    }
    QByteArray data;
    if (SceneFile::read(path, expected, &data) != SceneFile::Read::Ok)
        return fail(Unreadable, path, QStringLiteral("cannot be read"));
    if (expected == SceneFile::SINGLE_SIZE && scene != 1)
        return fail(Usage, path, QStringLiteral("a single-scene file holds scene 1 only"));
    *block = data.mid((scene - 1) * STORE_SIZE, STORE_SIZE);
    if (file) *file = data;
    return Ok;
}

int CliTool::writeOutput(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(WriteFailed, path, file.errorString());
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(WriteFailed, path, reason);
    }
    if (!file.commit()) return fail(WriteFailed, path, file.errorString());
    return Ok;
}

int CliTool::show(const Args &a)
{
    const QString path = a.positional.first();
    QByteArray block;
    if (const int code = loadScene(path, a.scene, &block)) return code;
    out_ << QFileInfo(path).fileName() << ", scene " << a.scene << '\n';
    for (const QString &line : SceneText::show(block, a.flags.contains(QStringLiteral("--all-bands")))) out_ << line << '\n';
    return Ok;
}

int CliTool::exportJson(const Args &a)
{
    const QString path = a.positional.first();
    QByteArray block, json;
    QString why;
    if (const int code = loadScene(path, a.scene, &block)) return code;
    if (!SceneJson::write(block, &json, &why)) return fail(Invalid, path, why);
    if (a.values.contains(QStringLiteral("-o"))) return writeOutput(a.values.value(QStringLiteral("-o")), json);
    out_ << QString::fromUtf8(json);
    return Ok;
}

int CliTool::importJson(const Args &a)
{
    const QString path = a.positional.first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(Unreadable, path, file.errorString());
    // Read with a bound, so that a device or a growing file cannot take all memory.
    const QByteArray json = file.read(MAX_JSON_SIZE + 1);
    if (json.size() > MAX_JSON_SIZE) return fail(Invalid, path, QStringLiteral("larger than 1 MiB, not a scene description"));
    QByteArray block;
    QString why;
    if (!SceneJson::read(json, &block, &why)) return fail(Invalid, path, why);
    return writeOutput(a.values.value(QStringLiteral("-o")), block);
}

int CliTool::diff(const Args &a)
{
    const QString pa = a.positional[0], pb = a.positional[1];
    // Two all-scenes files without --scene are compared scene by scene.
    const bool everyScene = !a.values.contains(QStringLiteral("--scene")) &&
                            QFileInfo(pa).size() == SceneFile::ALL_SIZE && QFileInfo(pb).size() == SceneFile::ALL_SIZE;
    bool differ = false;
    for (int k = everyScene ? 1 : a.scene; k <= (everyScene ? SCENE_COUNT : a.scene); ++k) {
        QByteArray ba, bb;
        if (const int code = loadScene(pa, k, &ba)) return code;
        if (const int code = loadScene(pb, k, &bb)) return code;
        for (const QString &line : SceneText::diff(ba, bb)) {
            out_ << (everyScene ? QStringLiteral("scene %1: ").arg(k) : QString()) << line << '\n';
            differ = true;
        }
    }
    return differ ? Differ : Ok;
}

int CliTool::sheet(const Args &a)
{
    const QString path = a.positional.first();
    QByteArray block;
    if (const int code = loadScene(path, a.scene, &block)) return code;
    SetupSheet::Heading heading;
    heading.source = QStringLiteral("%1, scene %2").arg(QFileInfo(path).fileName()).arg(a.scene);
    heading.date = a.values.value(QStringLiteral("--date"), QDate::currentDate().toString(Qt::ISODate));
    heading.note = a.values.value(QStringLiteral("--note"));
    const QString language = a.values.value(QStringLiteral("--language"), QStringLiteral("en"));
    if (language != QLatin1String("en") && language != QLatin1String("zh"))
        return usage(QStringLiteral("--language must be en or zh"));
    heading.language = language == QLatin1String("en") ? 1 : 0;
    const QString outPath = a.values.value(QStringLiteral("-o"));
    QString why;
    if (!SetupSheet::write(block, heading, outPath, &why)) return fail(WriteFailed, outPath, why);
    return Ok;
}
