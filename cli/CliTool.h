// The commands of kestrun-cli, run on an argument list with the output and error streams given.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <vector>

struct FreqCurve;
struct ParamBlock;

class CliTool
{
public:
    // Exit codes; `diff` answers Ok when equal, Differ when not and Usage for every error.
    enum Exit {
        Ok = 0,
        Differ = 1,
        Usage = 2,        // unknown command or option, missing or malformed argument
        Unreadable = 3,   // an input file is missing or cannot be read
        WrongSize = 4,    // a scene file that is neither 4096 bytes (.SCE) nor 36864 bytes (.ALL)
        Invalid = 5,      // an input's content is refused: JSON syntax or range, a value no field can hold
        WriteFailed = 6,  // the -o file cannot be written
        MeasureFailed = 7,  // measure: the run could not measure the output (no signal, clipping, ...)
    };

    CliTool(QTextStream &out, QTextStream &err) : out_(out), err_(err) {}
    // Runs one command; `args` excludes the program name. Returns the exit code.
    int run(const QStringList &args);

    // The parsed arguments of one command.
    struct Args {
        QStringList positional;
        QMap<QString, QString> values;  // options with a value, by name ("--scene", "-o", ...)
        QStringList flags;              // options without a value
        int scene = 1;
    };

    // Shared by the commands (the tuning commands live beside them).
    int fail(int code, const QString &file, const QString &reason);
    int usage(const QString &reason);
    // Reads scene `scene` of a .SCE or .ALL file as a 4096-byte block, refusing other sizes.
    int loadScene(const QString &path, int scene, QByteArray *block, QByteArray *file = nullptr);
    // Writes `data` to `path` through a temporary that replaces the file only when complete.
    int writeOutput(const QString &path, const QByteArray &data);
    QTextStream &out() { return out_; }

private:
    struct Command;
    // The commands, made for each run (their handlers and option lists are not plain data).
    static std::vector<Command> commands();
    const char *command_ = nullptr;  // the name of the running command

    int parse(const Command &c, const QStringList &args, Args *a);
    int show(const Args &a);
    int exportJson(const Args &a);
    int importJson(const Args &a);
    int diff(const Args &a);
    int sheet(const Args &a);
    // The tuning commands (cli/CliTuning.cpp).
    int autoeq(const Args &a);
    int filters(const Args &a);
    int align(const Args &a);
    // The scene of a tuning command's FILE in the store's own encoding, and the whole file it came from.
    int loadStore(const Args &a, ParamBlock *store, QByteArray *file);
    // Writes the file back to -o with the scene replaced by the store.
    int writeStore(const Args &a, const ParamBlock &store, QByteArray file);
    int channelOf(const Args &a, int *ch);
    // Measuring through the simulated processor and a virtual car (cli/CliMeasure.cpp).
    int measure(const Args &a);
    // --range LO-HI and --max-boost DB into the given values (left alone when not given).
    int fitLimits(const Args &a, double *loHz, double *hiHz, double *maxBoostDb);
    // --target flat|tilt|car|FILE (flat when not given).
    int targetOf(const Args &a, FreqCurve *target);
    int levelOf(const Args &a, double *dbfs);  // --level DBFS, -60..0 (left as it is when absent)
    // The auto-tune on a virtual car (cli/CliAutotune.cpp).
    int autotune(const Args &a);

    QTextStream &out_;
    QTextStream &err_;
};
