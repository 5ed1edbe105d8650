#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

// The undo steps of a design: each the whole design before and after one change, packed. The
// change has already happened when its step is pushed; undo and redo hand the packed design of
// the other side to the document, which restores it.
class UndoStack : public QObject
{
    Q_OBJECT

public:
    // The current file and what it holds, for the steps that change it (loads).
    struct FileState
    {
        QString path;     // empty when there is none
        QByteArray saved; // what a save to it last wrote (or the design it was loaded as), packed
    };
    struct Step
    {
        QByteArray before;
        QByteArray after;
        std::optional<FileState> filesBefore;
        std::optional<FileState> filesAfter;
    };
    using Restore = std::function<void(const QByteArray &design, const FileState *file)>;

    explicit UndoStack(Restore restore, QObject *parent = nullptr);

    // Drops the steps that could have been redone; beyond the limit the oldest step goes.
    void push(Step step);
    void clear();

    int count() const { return steps.size(); }
    // How many steps are done: undo takes back step index() - 1.
    int index() const { return done; }
    bool canUndo() const { return done > 0; }
    bool canRedo() const { return done < steps.size(); }
    void setUndoLimit(int limit);
    int undoLimit() const { return limit; }

public slots:
    void undo();
    void redo();

signals:
    void canUndoChanged(bool canUndo);
    void canRedoChanged(bool canRedo);
    void indexChanged(int index);

private:
    // Emits what changed since the state (canUndo, canRedo, index) given.
    void announce(bool couldUndo, bool couldRedo, int wasIndex);

    Restore restore;
    QVector<Step> steps;
    int done = 0;
    int limit = 0; // 0: no limit
};
