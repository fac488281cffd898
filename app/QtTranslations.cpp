// Installs and removes Qt's Chinese catalogue (qtbase_zh_CN.qm) as the window's language changes.
#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QtTranslations::QtTranslations(const QString &folder)
    : folder_(folder.isEmpty() ? QLibraryInfo::location(QLibraryInfo::TranslationsPath) : folder)
{
}

QtTranslations::~QtTranslations()
{
    if (installed_) QCoreApplication::removeTranslator(&translator_);
}

bool QtTranslations::setLanguage(uint8_t language)
{
    if (language != 0) {
        if (installed_) QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
        return true;
    }
    if (installed_) return true;
    if (translator_.isEmpty() && !translator_.load(QStringLiteral("qtbase_zh_CN"), folder_)) return false;
    installed_ = QCoreApplication::installTranslator(&translator_);
    return installed_;
}
