// kestrun-cli commands run in-process: the JSON round trip, diff lines, exit codes, refusals and the sheet.
#include <QtTest>

#include "WindowMenus.h"
#include "SceneFiles.h"
#include "CliTool.h"
#include "FileDialogs.h"
#include "OutputValues.h"
#include "ParamStore.h"
#include "SceneFields.h"
#include "SceneFile.h"
#include "TestRig.h"
#include "Texts.h"

#include <QAction>
#include <QMenu>

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstring>

namespace {

struct Run {
    int code;
    QString out, err;
};

Run cli(const QStringList &args)
{
    Run r;
    QTextStream out(&r.out), err(&r.err);
    CliTool tool(out, err);
    r.code = tool.run(args);
    return r;
}

QByteArray defaults()
{
    ParamBlock b;
    std::memset(&b, 0, sizeof b);
    b.setDefaults();
    b.MasterVol = 600;
    return SceneFile::singleImage(b);
}

uint8_t *bytes(QByteArray &b) { return reinterpret_cast<uint8_t *>(b.data()); }

// Every field a random valid code; reserved bytes and the tail random.
QByteArray randomScene(QRandomGenerator &rng)
{
    QByteArray b(STORE_SIZE, '\0');
    for (char &c : b) c = char(rng.bounded(256));
    auto fill = [&](const SceneField *fields, int n, int entries) {
        for (int i = 0; i < n; ++i)
            for (int e = 0; e < entries; ++e) {
                uint32_t c;
                do c = rng.generate() >> (32 - 8 * fields[i].width);
                while (!SceneFields::valid(fields[i].kind, c));
                SceneFields::setCode(bytes(b), fields[i], e, c);
            }
    };
    fill(SceneFields::Globals, SceneFields::GLOBAL_COUNT, 1);
    fill(SceneFields::Outputs, SceneFields::OUTPUT_COUNT, CH_COUNT);
    fill(SceneFields::Filters[0], SceneFields::FILTER_COUNT, CH_COUNT);
    fill(SceneFields::Filters[1], SceneFields::FILTER_COUNT, CH_COUNT);
    fill(SceneFields::Bands, SceneFields::BAND_FIELD_COUNT, CH_COUNT * BAND_COUNT);
    return b;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestCli : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }
    QString put(const QString &name, const QByteArray &data) const
    {
        SceneFile::write(path(name), data);
        return path(name);
    }

private slots:
    void exportImportIsExact()
    {
        QRandomGenerator rng(1606);
        QByteArray all;
        for (int i = 0; i < 12; ++i) {
            const QByteArray scene = randomScene(rng);
            const QString sce = put(QStringLiteral("r%1.SCE").arg(i), scene);
            QCOMPARE(cli({"export", sce, "-o", path("r.json")}).code, 0);
            QCOMPARE(cli({"import", path("r.json"), "-o", path("back.SCE")}).code, 0);
            QCOMPARE(readAll(path("back.SCE")), scene);
            if (i < SCENE_COUNT) all += scene;
        }
        // Scene 7 of an all-scenes file, through standard output; zero tail bytes are implied.
        all[7 * STORE_SIZE - 1] = 0;
        const Run r = cli({"export", put("x.ALL", all), "--scene", "7"});
        QCOMPARE(r.code, 0);
        QFile json(path("s7.json"));
        QVERIFY(json.open(QIODevice::WriteOnly));
        json.write(r.out.toUtf8());
        json.close();
        QCOMPARE(cli({"import", path("s7.json"), "-o", path("s7.SCE")}).code, 0);
        QCOMPARE(readAll(path("s7.SCE")), all.mid(6 * STORE_SIZE, STORE_SIZE));
    }

    void diffNamesOneFieldOfEachKind()
    {
        const QByteArray a = defaults();
        const QString pa = put("a.SCE", a);
        QCOMPARE(cli({"diff", pa, pa}).code, 0);
        struct Change {
            const SceneField &field;
            int entry;
            uint32_t code;
            const char *line;
        };
        const Change changes[] = {
            {SceneFields::Globals[0], 0, 7, "firmware version: 0 -> 7"},
            {SceneFields::Globals[1], 0, 2, "input source: HI -> OPT"},
            {SceneFields::Globals[2], 0, 575, "master volume: 0.0 dB -> -2.5 dB"},
            {SceneFields::Globals[3], 0, 3, "noise gate: off -> level 3"},
            {SceneFields::Outputs[0], 2, 17, "CH3 name: RL-FULL -> L-Subwoofer"},
            {SceneFields::Outputs[2], 0, 125, "CH1 delay: 0.00 ms (0 cm) -> 1.25 ms (43 cm)"},
            {SceneFields::Outputs[3], 5, 1, "CH6 phase: 0\u00b0 -> 180\u00b0"},
            {SceneFields::Outputs[4], 1, 1, "CH2 mute: off -> on"},
            {SceneFields::Filters[0][0], 0, 0, "CH1 high-pass bypass: on -> off"},
            {SceneFields::Filters[0][1], 3, 2, "CH4 high-pass type: Butterworth -> Bessel"},
            {SceneFields::Filters[1][2], 0, 7, "CH1 low-pass slope: -24 dB/Oct -> -48 dB/Oct"},
            {SceneFields::Filters[0][3], 0, 100, "CH1 high-pass: 20 Hz -> 100 Hz"},
            {SceneFields::Bands[1], 1 * BAND_COUNT + 4, 195, "CH2 band 5 gain: 0.0 dB -> -4.5 dB"},
            {SceneFields::Bands[2], 0, 71, "CH1 band 1 Q: 3.0 -> 7.1"},
        };
        for (const Change &c : changes) {
            QByteArray b = a;
            SceneFields::setCode(bytes(b), c.field, c.entry, c.code);
            const Run r = cli({"diff", pa, put("b.SCE", b)});
            QCOMPARE(r.code, 1);
            QCOMPARE(r.out, QString::fromUtf8(c.line) + '\n');
        }
        QByteArray b = a;
        b[12] = 1;
        b[4000] = 1;
        b[4001] = 1;
        QCOMPARE(cli({"diff", pa, put("b.SCE", b)}).out,
                 QStringLiteral("reserved bytes 11..23: 1 byte differ\nbytes 1100..4095: 2 bytes differ\n"));
    }

    void refusalsAndExitCodes()
    {
        const QString good = put("good.SCE", defaults());
        const QString small = put("small.SCE", QByteArray(100, '\0'));
        QCOMPARE(cli({"show", small}).code, 4);
        QVERIFY(cli({"show", small}).err.contains("small.SCE: the file is 100 bytes; a single-scene file must be 4096"));
        QCOMPARE(cli({"diff", good, small}).code, 2);
        QCOMPARE(cli({"show", put("s.ALL", defaults())}).code, 4);
        QCOMPARE(cli({"show", path("missing.SCE")}).code, 3);
        QCOMPARE(cli({"show", good, "--scene", "2"}).code, 2);
        QCOMPARE(cli({"show", good, "--scene", "10"}).code, 2);
        QCOMPARE(cli({"frob"}).code, 2);
        QCOMPARE(cli({"import", "x.json"}).code, 2);
        QCOMPARE(cli({"sheet", "--help"}).code, 0);
        QCOMPARE(cli({"export", good, "-o", path("no/such/dir/x.json")}).code, 6);

        // A stored code no JSON value can hold is named with its path.
        QByteArray bad = defaults();
        SceneFields::setCode(bytes(bad), SceneFields::Bands[1], 40, 0);
        const Run e = cli({"export", put("bad.SCE", bad)});
        QCOMPARE(e.code, 5);
        QVERIFY(e.err.contains("outputs[1].eq[9].gain_db: stored code 0 (invalid)"));
        QVERIFY(cli({"show", path("bad.SCE")}).out.contains("band 10: 160 Hz, code 0 (invalid), Q 3.0"));

        QCOMPARE(cli({"export", good, "-o", path("g.json")}).code, 0);
        const QString json = QString::fromUtf8(readAll(path("g.json")));
        const struct {
            QString from, to, message;
        } edits[] = {
            {"\"volume_db\": 0", "\"volume_db\": -60.5", "outputs[0].volume_db: -60.5 is outside -60.0..0.0"},
            {"\"gain_db\": 0", "\"gain_db\": 1.25", "outputs[0].eq[0].gain_db: 1.25 is not a multiple of 0.1"},
            {"\"slope_db_oct\": -24", "\"slope_db_oct\": -25", "outputs[0].high_pass.slope_db_oct: -25 is not a multiple"},
            {"\"name\": \"FL-FULL\"", "\"name\": \"FL\"", "outputs[0].name: expected one of FL-Tweeter"},
            {"\"mute\": false", "\"mute\": 0", "outputs[0].mute: expected true or false"},
            {"\"q\": 3", "\"qq\": 3", "outputs[0].eq[0].qq: unknown field"},
            {"\"tail\": \"\"", "\"tail\": \"0g\"", "tail: expected up to 2996 bytes as hex digits"},
            {"\"outputs\": [", "\"outputs\": [}", "line "},
        };
        for (const auto &ed : edits) {
            QFile f(path("e.json"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QString(json).replace(json.indexOf(ed.from), ed.from.size(), ed.to).toUtf8());
            f.close();
            const Run r = cli({"import", path("e.json"), "-o", path("e.SCE")});
            QCOMPARE(r.code, 5);
            QVERIFY2(r.err.contains(ed.message), qPrintable(r.err));
            QVERIFY(!QFile::exists(path("e.SCE")));
        }
    }

    void tuningCommandsWriteTheScene()
    {
        QByteArray all = defaults() + defaults() + defaults();
        all += QByteArray(6 * STORE_SIZE, '\0');
        const QString in = put("t.ALL", all);
        const Run r = cli({"align", in, "--scene", "2", "--distances", "100,120,150,160,130,200", "-o", path("al.ALL")});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith("CH1 delay: 2.90 ms (100 cm)\n"));
        // Scene 2 gets the delays (0.01 ms codes), every other byte of the file stays.
        QByteArray expected = all;
        const uint32_t delays[CH_COUNT] = {290, 232, 145, 116, 203, 0};
        for (int ch = 0; ch < CH_COUNT; ++ch)
            SceneFields::setCode(bytes(expected) + STORE_SIZE, SceneFields::Outputs[2], ch, delays[ch]);
        QCOMPARE(readAll(path("al.ALL")), expected);
        QCOMPARE(cli({"align", in, "--distances", "1,2,3", "-o", path("x.SCE")}).code, 2);
        const Run channel = cli({"autoeq", in, "--channel", "7", "--measurement", "m.txt", "-o", path("x.SCE")});
        QCOMPARE(channel.code, 2);
        QVERIFY2(channel.err.contains("7 is not a channel (1..6)"), qPrintable(channel.err));
        QFile m(path("m.txt"));
        QVERIFY(m.open(QIODevice::WriteOnly));
        for (int f = 20; f <= 20000; f *= 2) m.write(QByteArray::number(f) + " 80.0\n");
        m.close();
        const Run target = cli({"autoeq", in, "--channel", "1", "--measurement", path("m.txt"), "--target", "harman",
                                "-o", path("x.SCE")});
        QVERIFY2(target.err.contains("harman: neither a built-in target (flat, tilt, car) nor a file"),
                 qPrintable(target.err));
        QVERIFY(QRegularExpression("^kestrun-cli \\d+\\.\\d+\\.\\d+\n$").match(cli({"--version"}).out).hasMatch());
        // The 15 ms limit: one conversion, the same whole centimetres in the tool, the window and its tooltip.
        const Run limit = cli({"align", in, "--distances", "0,0,0,0,0,600", "-o", path("x.SCE")});
        QVERIFY(limit.out.startsWith("CH1 delay: 15.00 ms (518 cm) (limited"));
        QCOMPARE(OutputValues::delayText(1500, 1), QStringLiteral("518cm"));
        QVERIFY(T(Txt::TipDelayEdit, 0).contains("0 .. 518 cm") && T(Txt::TipDelayEdit, 1).contains("0 .. 518 cm"));
        QCOMPARE(cli({"autoeq", in, "--channel", "1", "--measurement", path("none.txt"), "-o", path("x.SCE")}).code, 3);
        QCOMPARE(cli({"filters", in, "--channel", "1", "--export", "--import", "f.txt"}).code, 2);
    }

    void sheetIsPdf()
    {
        QByteArray scene = defaults();
        SceneFields::setCode(bytes(scene), SceneFields::Bands[1], 3 * BAND_COUNT + 10, 300);
        SceneFields::setCode(bytes(scene), SceneFields::Filters[0][0], 3, 0);
        const QString pdf = path("sheet.pdf");
        QCOMPARE(cli({"sheet", put("sheet.SCE", scene), "--note", "Door woofers sealed", "-o", pdf}).code, 0);
        const QByteArray data = readAll(pdf);
        QVERIFY(data.startsWith("%PDF-"));
        QCOMPARE(data.count("/Type /Page\n") + data.count("/Type /Page\r") + data.count("/Type /Page "), 2);
        QCOMPARE(cli({"sheet", put("flat.SCE", defaults()), "-o", pdf}).code, 0);
        QVERIFY(readAll(pdf).startsWith("%PDF-"));
        QCOMPARE(cli({"sheet", path("flat.SCE"), "--language", "fr", "-o", pdf}).code, 2);
    }

    // Every value and heading printed whole (wrapped, never cut), in either language; read back with pdftotext.
    void sheetPrintsWholeTexts()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is missing");
        QByteArray scene = defaults();
        SceneFields::setCode(bytes(scene), SceneFields::Bands[0], 30, 20000);
        SceneFields::setCode(bytes(scene), SceneFields::Bands[1], 30, 300);
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            SceneFields::setCode(bytes(scene), SceneFields::Outputs[2], ch, 304);
            for (int f = 0; f < 2; ++f) {
                SceneFields::setCode(bytes(scene), SceneFields::Filters[f][0], ch, 0);
                SceneFields::setCode(bytes(scene), SceneFields::Filters[f][3], ch, f ? 20000 : 80);
            }
        }
        const QString in = put("whole.SCE", scene);
        auto words = [&](const QString &language) {
            const QString pdf = path("whole-" + language + ".pdf");
            if (cli({"sheet", in, "--language", language, "-o", pdf}).code != 0) return QString();
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
            text.waitForFinished();
            return QString::fromUtf8(text.readAllStandardOutput()).simplified();
        };
        const QString en = words("en"), zh = words("zh");
        for (const char *whole : {"Butterworth -24 dB/Oct 80 Hz", "Butterworth -24 dB/Oct 20000 Hz", "3.04 ms (105 cm)",
                                  "Output Name Volume Delay Phase Mute EQ bypass High-pass Low-pass", "31 20000 Hz 6.0 dB"})
            QVERIFY2(en.contains(QLatin1String(whole)), whole);
        for (const char *whole :
             {"巴特沃斯 -24 dB/Oct 80 Hz", "3.04 ms (105 cm)", "输出 名称 音量 延时 相位 静音 均衡旁通", "频段 频率 增益 Q"})
            QVERIFY2(zh.contains(QString::fromUtf8(whole)), whole);
        QVERIFY(!en.contains(QChar(0x2026)) && !zh.contains(QChar(0x2026)));
    }

    void windowSheetAndSavedScene()
    {
        // The window's entry, last in the scene menu, writes the sheet of its parameters.
        TestRig rig;
        QString answer = path("window.pdf");
        rig.fileDialogs.setResponder([&](const FileDialogs::Request &) { return answer; });
        QAction *entry = rig.w->menus().SenceMenu->actions().last();
        QCOMPARE(entry->text(), QStringLiteral("打印设置单"));
        entry->trigger();
        QVERIFY(readAll(path("window.pdf")).startsWith("%PDF-"));

        // A scene the window saved from the simulated processor survives export and import.
        QVERIFY(rig.connectAndDownload());
        Session().ParamStore.EqGain[2][7] = 95;
        Session().ParamStore.Tail[10] = 0x5A;
        answer = path("window.SCE");
        rig.w->sceneFiles().Sence_Sub2_Fun();
        rig.fileDialogs.setResponder(nullptr);
        QCOMPARE(cli({"export", answer, "-o", path("w.json")}).code, 0);
        QCOMPARE(cli({"import", path("w.json"), "-o", path("w2.SCE")}).code, 0);
        QCOMPARE(readAll(path("w2.SCE")), readAll(answer));
        QVERIFY(rig.notices.isEmpty());
    }
};

QTEST_MAIN(TestCli)
#include "test_cli.moc"
