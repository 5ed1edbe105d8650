#include "filenames.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const char *const kKey = "recentFiles";
const char *const kFolderKey = "lastFolder";

QSettings settings()
{
    return QSettings(QStringLiteral("Lumivard"), QStringLiteral("Lumivard"));
}

} // namespace

QString defaultSuffixFor(const QString &nameFilter)
{
    return nameFilter.contains(QLatin1String("(*.cfg)")) ? QStringLiteral("cfg") : QString();
}

QStringList withRecentFile(QStringList files, const QString &path, int max)
{
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > max)
        files.removeLast();
    return files;
}

QStringList recentFiles()
{
    QStringList files = settings().value(QLatin1String(kKey)).toStringList();
    files.removeAll(QString());
    while (files.size() > kRecentFiles)
        files.removeLast();
    return files;
}

void setRecentFiles(const QStringList &files)
{
    settings().setValue(QLatin1String(kKey), files);
}

QString lastFolder()
{
    const QString folder = settings().value(QLatin1String(kFolderKey)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::currentPath();
}

void setLastFolderOf(const QString &file)
{
    settings().setValue(QLatin1String(kFolderKey), QFileInfo(file).absolutePath());
}
