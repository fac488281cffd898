// Recognition of the value edits by name and the unit steps of keys and wheel.
#include "ValueEditKeys.h"

#include "ParamStore.h"

ValueEditRef ParseValueEditName(const QString &name)
{
    struct Family {
        char prefix[14];
        ValueEditKind kind;
        int count;
    };
    static const Family families[] = {
        {"Edit_CHVol_", ValueEditKind::ChVol, CH_COUNT},     {"Edit_CHDelay_", ValueEditKind::ChDelay, CH_COUNT},
        {"Edit_EQ_Gain_", ValueEditKind::EqGain, BAND_COUNT}, {"Edit_EQ_Freq_", ValueEditKind::EqFreq, BAND_COUNT},
        {"Edit_EQ_Q_", ValueEditKind::EqQ, BAND_COUNT},
    };
    ValueEditRef ref;
    for (const Family &f : families) {
        if (!name.contains(QLatin1String(f.prefix))) continue;
        bool ok = false;
        int n = name.right(2).toInt(&ok, 10);
        if (!ok) n = name.right(1).toInt(&ok, 10);
        if (!ok || n < 1 || n > f.count) return ref;
        ref.kind = f.kind;
        ref.index = n - 1;
        return ref;
    }
    return ref;
}
