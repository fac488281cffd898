// The scene JSON writer measured against Qt's JSON: the same number text, values that read back, and the
// golden file written again byte for byte.
#include "SceneFields.h"
#include "SceneJson.h"

#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

class TestSceneJson : public QObject
{
    Q_OBJECT

private slots:
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
            uint32_t back = 0;
            QString why;
            QVERIFY(qt.size() == 1 && SceneFields::fromJson(kind, qt.at(0), &back, &why));
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
