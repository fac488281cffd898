// Remembers the last folder used and starts every file dialog there.
#include "RecentFolder.h"

#include "FileDialogs.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

RecentFolder::RecentFolder(const FileDialogs &files) : files_(files), folder_(QDir::currentPath()) {}

QString RecentFolder::openFile(QWidget *parent, const QString &caption, const QString &filter)
{
    return remember(files_.getOpenFileName(parent, caption, folder_, filter));
}

QString RecentFolder::saveFile(QWidget *parent, const QString &caption, const QString &suggestedName,
                               const QString &filter)
{
    return remember(files_.getSaveFileName(parent, caption, QDir(folder_).filePath(suggestedName), filter));
}

QString RecentFolder::datedName(const QString &prefix, const QString &suffix)
{
    return QStringLiteral("%1_%2.%3").arg(prefix, QDate::currentDate().toString(Qt::ISODate), suffix);
}

QString RecentFolder::remember(const QString &path)
{
    if (!path.isEmpty()) folder_ = QFileInfo(path).absolutePath();
    return path;
}
