// The language entries of the option menu and the rewrite of every caption of the window.
#pragma once

#include "QtTranslations.h"

#include <QObject>

class Kestrun;
class TuningModel;

class LanguageSwitch : public QObject
{
    Q_OBJECT
public:
    LanguageSwitch(Kestrun &window, TuningModel &model);

public slots:
    void Option_Sub6_Fun();
    void Option_Sub7_Fun();
    void applyLanguage();  // rewrites every caption of the window in the current language

private:
    Kestrun &w_;
    TuningModel &model_;
    QtTranslations qtTexts_;  // Qt's standard buttons and dialog labels in the window's language
};
