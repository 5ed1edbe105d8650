#pragma once

#include <QString>
#include <QStringList>

// Names of design files: the suffix the save dialogs add, the files last opened or saved, newest
// first, and the folder where a file was last chosen, kept across runs.

// The suffix a save dialog appends to a name typed without one under its name filter: "cfg"
// under the design files' filter "(*.cfg)", none under any other.
QString defaultSuffixFor(const QString &nameFilter);

inline constexpr int kRecentFiles = 8;

// The list with `path` moved to the front (added when new), at most `max` long.
QStringList withRecentFile(QStringList files, const QString &path, int max = kRecentFiles);

// The list as the settings hold it, and storing it there.
QStringList recentFiles();
void setRecentFiles(const QStringList &files);

// The folder where a file was last chosen in an open, save or export dialog, as the settings hold
// it; the working folder when none was, or when it no longer exists.
QString lastFolder();
// Stores the folder that holds `file`.
void setLastFolderOf(const QString &file);
