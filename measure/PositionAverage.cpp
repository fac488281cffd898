// Power average over microphone positions.
#include "PositionAverage.h"

#include <algorithm>
#include <cmath>

bool AveragePositions(const std::vector<CaptureResult> &positions, CaptureResult &out, QString *why)
{
    auto fail = [why](const QString &text) {
        if (why) *why = text;
        return false;
    };
    if (positions.empty() || int(positions.size()) > MAX_POSITIONS)
        return fail(QStringLiteral("1 to %1 positions are averaged, not %2").arg(MAX_POSITIONS).arg(positions.size()));
    const CaptureResult &first = positions.front();
    for (const CaptureResult &p : positions) {
        if (!p.usable()) return fail(QStringLiteral("a position cannot be used: %1")
                                         .arg(p.problem.isEmpty() ? (p.noSignal ? QStringLiteral("no signal") : QStringLiteral("clipped")) : p.problem));
        if (p.hz != first.hz || p.unit != first.unit || p.sampleRate != first.sampleRate)
            return fail(QStringLiteral("the positions were measured differently"));
    }
    CaptureResult avg = first;
    for (size_t i = 0; i < avg.hz.size(); ++i) {
        double power = 0.0;
        for (const CaptureResult &p : positions) power += std::pow(10.0, p.magnitudeDb[i] / 10.0);
        avg.magnitudeDb[i] = 10.0 * std::log10(power / double(positions.size()));
    }
    for (const CaptureResult &p : positions) avg.snrDb = std::min(avg.snrDb, p.snrDb);
    out = avg;
    return true;
}
