// The language entries of the option menu and the rewrite of every caption of the window.
#pragma once

#include "QtTranslations.h"

#include <QObject>

class Kestrun;
class Language;
class TuningModel;

class LanguageSwitch : public QObject
{
    Q_OBJECT
public:
    // Switches language, the window's language object.
    LanguageSwitch(Kestrun &window, TuningModel &model, Language &language);

public slots:
    void Option_Sub6_Fun();
    void Option_Sub7_Fun();
    void applyLanguage();  // rewrites every caption of the window in the current language

public:
    const Language &current() const { return language_; }

private:
    Kestrun &w_;
    TuningModel &model_;
    Language &language_;
    QtTranslations qtTexts_;  // Qt's standard buttons and dialog labels in the window's language
};
