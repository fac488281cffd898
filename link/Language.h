// The language one window builds its texts in: owned by the program entry, passed to whoever builds texts.
#pragma once

#include "Texts.h"

#include <QString>
#include <cstdint>

class Language
{
public:
    // 0 = Chinese (the start value), nonzero = English.
    uint8_t LanguageFlag = 0;

    QString text(Txt id) const { return T(id, LanguageFlag); }
    // zh or en, by the flag.
    const QString &pick(const QString &zh, const QString &en) const { return LanguageFlag ? en : zh; }
};
