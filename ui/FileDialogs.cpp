// Standard open/save dialogs behind a test seam.
#include "FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// "场景文件(*.SCE)" -> "SCE"
QString filterSuffix(const QString &filter)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.([A-Za-z0-9]+)")).match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}
}  // namespace

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) const
{
    QString path = responder_ ? responder_(Request{true, caption, dir, filter})
                             : QFileDialog::getSaveFileName(parent, caption, dir, filter);
    if (path.isEmpty()) return path;
    const QString suffix = filterSuffix(filter);
    if (!suffix.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += (path.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) + suffix;
    return path;
}

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) const
{
    if (responder_) return responder_(Request{false, caption, dir, filter});
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}
