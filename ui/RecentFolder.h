// The folder the file dialogs start in: the last one a file was chosen in, with a suggested name there.
#pragma once

#include <QString>

class FileDialogs;
class QWidget;

class RecentFolder
{
public:
    // Starts in the program's working folder.
    explicit RecentFolder(const FileDialogs &files);

    QString folder() const { return folder_; }
    // The dialogs through FileDialogs; a chosen file's folder becomes the start of the next dialog.
    // Empty when cancelled.
    QString openFile(QWidget *parent, const QString &caption, const QString &filter);
    QString saveFile(QWidget *parent, const QString &caption, const QString &suggestedName, const QString &filter);

    // "<prefix>_<yyyy-MM-dd>.<suffix>": a save name that tells files of different days apart.
    static QString datedName(const QString &prefix, const QString &suffix);

private:
    QString remember(const QString &path);

    const FileDialogs &files_;
    QString folder_;
};
