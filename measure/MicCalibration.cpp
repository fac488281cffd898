// Calibration files: the sensitivity line by hand, the data lines through the shared curve-text reader.
#include "MicCalibration.h"

#include <QRegularExpression>

namespace {

// The first non-empty line, when it is not a data line: its fields, or an error.
bool ReadHeader(const QByteArray &line, MicCalibration &out, QString &reason)
{
    QString text = QString::fromUtf8(line).trimmed();
    if (text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')) && text.size() >= 2)
        text = text.mid(1, text.size() - 2).trimmed();
    const QRegularExpression sens(QStringLiteral("^Sens\\s*Factor\\s*=\\s*([-+]?[0-9]*[.,]?[0-9]+)\\s*dB\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = sens.match(text);
    if (!m.hasMatch()) {
        reason = QStringLiteral("neither a \"Sens Factor =...dB\" line nor a frequency and a level");
        return false;
    }
    const QByteArray number = m.captured(1).toLatin1();
    double v = 0.0;
    if (!ParseDecimal(number.constData(), number.constData() + number.size(), v) || !(std::fabs(v) <= 60.0)) {
        reason = QStringLiteral("the sensitivity factor is not a level between -60 and 60 dB");
        return false;
    }
    out.sensDb = v;
    out.hasSens = true;
    const QRegularExpression serno(QStringLiteral("SERNO\\s*:\\s*([A-Za-z0-9_-]+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    out.serial = serno.match(text).captured(1);
    return true;
}

bool StartsData(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith('*')) return true;  // left to the curve reader
    const char c = t.at(0);
    return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-';
}

// The 1-based line of the index-th data point (lines that are blank or '*' comments hold none).
int LineOfPoint(const QByteArray &body, int index)
{
    const QList<QByteArray> lines = body.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray t = lines[i].trimmed();
        if (t.isEmpty() || t.startsWith('*')) continue;
        if (index-- == 0) return i + 1;
    }
    return 0;
}

}  // namespace

bool ReadMicCalibration(const QByteArray &bytes, MicCalibration &out, CalibrationError &err)
{
    out = MicCalibration();
    err = CalibrationError();
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) body.remove(0, 3);
    // The header may only be the first non-empty line; blank lines before it are kept so that line numbers
    // stay those of the file.
    int at = 0, line = 1;
    while (at < body.size() && (body.at(at) == '\n' || body.at(at) == '\r')) {
        if (body.at(at) == '\n') ++line;
        ++at;
    }
    const int nl = body.indexOf('\n', at);
    const QByteArray first = body.mid(at, nl < 0 ? -1 : nl - at);
    if (!StartsData(first)) {
        QString reason;
        if (!ReadHeader(first, out, reason)) {
            out = MicCalibration();
            err = {line, reason};
            return false;
        }
        // Blank the header for the curve reader, keeping the line count.
        body.replace(at, first.size(), QByteArray());
    }
    CurveTextRules rules;
    rules.minPoints = MIC_CALIBRATION_MIN_POINTS;
    TextError te;
    if (!ReadCurveText(body, rules, out.curve, te)) {
        const MicCalibration none;
        out = none;
        err.line = te.line;
        const QString msg = te.message();
        const QString prefix = QStringLiteral("line %1: ").arg(te.line);
        err.reason = msg.startsWith(prefix) ? msg.mid(prefix.size()) : msg;
        return false;
    }
    for (size_t i = 0; i < out.curve.db.size(); ++i)
        if (!(std::fabs(out.curve.db[i]) <= 60.0)) {
            err = {LineOfPoint(body, int(i)), QStringLiteral("the correction is beyond ±60 dB")};
            out = MicCalibration();
            return false;
        }
    return true;
}

bool ReadMicCalibrationFile(const QString &path, MicCalibration &out, CalibrationError &err)
{
    out = MicCalibration();
    TextError te;
    QByteArray bytes;
    if (!ReadLimitedFile(path, bytes, te)) {
        err = {0, te.message()};
        return false;
    }
    return ReadMicCalibration(bytes, out, err);
}
