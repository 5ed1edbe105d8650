#pragma once

#include <QByteArray>
#include <QString>
#include <QUndoCommand>

#include <functional>
#include <optional>

// A design's text as a save writes it, compressed for keeping: the keys of a thousand-crystal
// design repeat seven thousand times, and two hundred steps of it would otherwise hold some
// hundred megabytes.
QByteArray packDesignText(const QString &text);
QString unpackDesignText(const QByteArray &packed);

// The current file and what it holds, for the steps that change it (loads).
struct FileState
{
    QString path;           // empty when there is none
    QByteArray savedPacked; // what a save to it last wrote, or the design it was loaded as
};

// One change of the design: the design before and after it as a save writes it. Undo and redo
// load one of the two back through `restore`, with the file state of a load. The change has
// already happened when the step is pushed; the stack's first redo does nothing.
class DesignChange : public QUndoCommand
{
public:
    using Restore = std::function<void(const QByteArray &packed, const FileState *file)>;

    DesignChange(QByteArray before, QByteArray after, Restore restore);
    // A load: its undo and redo also give back the current file.
    void setFiles(const FileState &before, const FileState &after);

    void undo() override;
    void redo() override;

private:
    QByteArray before;
    QByteArray after;
    std::optional<FileState> filesBefore;
    std::optional<FileState> filesAfter;
    Restore restore;
    bool pushed = false;
};
