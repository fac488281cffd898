// Re-timing against a reference output, and the polarity's text.
#include "CaptureResult.h"

void ReferTo(CaptureResult &result, const CaptureResult &reference, int referenceOutput)
{
    result.arrivalSamples -= reference.arrivalSamples;
    result.timing = TimingReference::ReferenceOutput;
    result.referenceOutput = referenceOutput;
}

QString PolarityText(Polarity p)
{
    switch (p) {
    case Polarity::Positive: return QStringLiteral("+");
    case Polarity::Negative: return QStringLiteral("-");
    case Polarity::Ambiguous: break;
    }
    return QStringLiteral("ambiguous");
}
