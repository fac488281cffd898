// Qt's own texts (standard buttons, file-dialog labels) in the window's language, from the system's Qt catalogues.
#pragma once

#include <QString>
#include <QTranslator>
#include <cstdint>

class QtTranslations
{
public:
    // Catalogues are looked up in `folder` (by default the folder of Qt's installed translations).
    explicit QtTranslations(const QString &folder = QString());
    ~QtTranslations();
    QtTranslations(const QtTranslations &) = delete;
    QtTranslations &operator=(const QtTranslations &) = delete;

    // 0 Chinese: Qt's zh_CN catalogue joins the application's translators; 1 English: Qt's own texts.
    // False when the Chinese catalogue is missing (Qt's texts then stay English).
    bool setLanguage(uint8_t language);

private:
    QString folder_;
    QTranslator translator_;
    bool installed_ = false;
};
