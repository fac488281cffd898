// The scene JSON reader and writer measured against Qt's JSON: the same verdicts and error offsets, the
// same values, the same number text, and the golden file written again byte for byte.
#include "JsonReader.h"
#include "SceneFields.h"
#include "SceneJson.h"

#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <vector>

class TestSceneJson : public QObject
{
    Q_OBJECT

private slots:
    void readerAgreesWithQt()
    {
        const QByteArray doc = "{\"a\": 1, \"n\": [-0.0, 7.50, 1e1, .5, 1., 1.5e300, 123456789012345678901234567890e-20, "
                               "-9223372036854775808], \"b\": \"x\\u00e9\\ud800\\q\\/\", \"a\": true, "
                               "\"\xef\xbb\xbf" "c\": \"\xef\xbb\xbf" "d\"}";
        const QByteArray texts[] = {
            doc, "", " ", "[]", "[1 2]", "[1,]", "[", "{,}", "{\"v\" 1}", "{\"v\":1,}", "{\"v\":tru}", "{\"v\":true",
            "{\"v\":nul\n}", "{\"v\":-}", "{\"v\":1e}", "{\"v\":01}", "{\"v\":1e400}", "{\"v\":2e-324}", "{\"v\":1",
            "{\"v\":\"a\"", "{\"v\":\"a", "{\"a\\", "{\"v\":\"\\u12g4\"}", "{\"v\":\"\xc3\x28\"}",
            "{\"v\":\"\xed\xa0\x80\"}", "{\"v\":]}", "{\"v\":,}", "{\"v\":1}x", "{\"v\":1}\x0b", "\xef\xbb\xbf{}",
            QByteArray(1024, '[') + QByteArray(1024, ']'), QByteArray(1025, '[') + QByteArray(1025, ']')};
        for (const QByteArray &t : texts) {
            QJsonParseError qt, mine;
            QJsonDocument::fromJson(t, &qt);
            JsonReader r;
            QCOMPARE(r.parse(t, &mine), qt.error == QJsonParseError::NoError);
            QCOMPARE(mine.error, qt.error);
            QCOMPARE(mine.offset, qt.offset);
        }

        // The last of repeated keys counts; numbers as Qt reads them (no negative zero); a leading byte order
        // mark is dropped from the text of a string and a key, but not where keys are looked up.
        JsonReader r;
        QJsonParseError e;
        QVERIFY(r.parse(doc, &e));
        const QJsonObject q = QJsonDocument::fromJson(doc).object();
        const char *const known[] = {"a", "b", "n", nullptr};
        int found[3], marked = -1;
        QCOMPARE(r.matchMembers(0, known, found, 8, &marked), 1);
        QCOMPARE(r.at(found[0]).type, JsonReader::Type::True);
        QCOMPARE(r.textView(found[1]).toString(), q.value("b").toString());
        const QJsonArray n = q.value("n").toArray();
        const int a = found[2];
        QCOMPARE(r.at(a).count, n.size());
        for (int i = 0, v = a + 1; i < n.size(); ++i, v = r.at(v).end) {
            QCOMPARE(r.at(v).number, n.at(i).toDouble());
            QCOMPARE(std::signbit(r.at(v).number), std::signbit(n.at(i).toDouble()));
        }
        QCOMPARE(r.key(marked), (q.end() - 1).key());
        QCOMPARE(r.textView(marked).toString(), (q.end() - 1).value().toString());
    }

    void numbersAreWrittenAsQtWritesThem()
    {
        std::vector<std::pair<FieldKind, uint32_t>> values;
        for (const FieldKind kind : {FieldKind::Level, FieldKind::Gate, FieldKind::Phase, FieldKind::Delay,
                                     FieldKind::Freq, FieldKind::Slope, FieldKind::Gain, FieldKind::Q})
            for (uint32_t code = 0; code <= 20000; ++code)
                if (SceneFields::valid(kind, code)) values.push_back({kind, code});
        for (const uint32_t code : {0u, 1u, 4660u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
            values.push_back({FieldKind::Firmware, code});
        for (const auto &[kind, code] : values) {
            QByteArray text = "[";
            SceneFields::writeJson(kind, code, &text);
            text += ']';
            const QJsonArray qt = QJsonDocument::fromJson(text).array();
            QCOMPARE(QJsonDocument(qt).toJson(QJsonDocument::Compact), text);
            JsonReader r;
            QJsonParseError e;
            uint32_t back = 0;
            QString why;
            QVERIFY(r.parse(text, &e) && SceneFields::fromJson(kind, r, 1, &back, &why));
            QCOMPARE(back, code);
        }
    }

    void goldenFileIsWrittenAgain()
    {
        QFile f(QFINDTESTDATA("../fuzz/seeds/scene_json/tuned.json"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray golden = f.readAll();
        QByteArray block, text;
        QString why;
        QVERIFY2(SceneJson::read(golden, &block, &why), qPrintable(why));
        QVERIFY(SceneJson::write(block, &text, &why));
        QCOMPARE(text, golden);
    }
};

QTEST_GUILESS_MAIN(TestSceneJson)
#include "test_scene_json.moc"
