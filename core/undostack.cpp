#include "undostack.h"

#include <utility>

UndoStack::UndoStack(Restore restore, QObject *parent)
    : QObject(parent), restore(std::move(restore))
{}

void UndoStack::push(Step step)
{
    const bool couldUndo = canUndo(), couldRedo = canRedo();
    const int wasIndex = done;
    steps.resize(done);
    steps.append(std::move(step));
    if (limit > 0 && steps.size() > limit)
        steps.remove(0, steps.size() - limit);
    done = steps.size();
    announce(couldUndo, couldRedo, wasIndex);
}

void UndoStack::clear()
{
    const bool couldUndo = canUndo(), couldRedo = canRedo();
    const int wasIndex = done;
    steps.clear();
    done = 0;
    announce(couldUndo, couldRedo, wasIndex);
}

void UndoStack::setUndoLimit(int limit)
{
    // As QUndoStack: only while the stack is empty.
    if (steps.isEmpty())
        this->limit = limit;
}

void UndoStack::undo()
{
    if (!canUndo())
        return;
    const bool couldUndo = canUndo(), couldRedo = canRedo();
    const int wasIndex = done;
    --done;
    const Step &s = steps.at(done);
    restore(s.before, s.filesBefore ? &*s.filesBefore : nullptr);
    announce(couldUndo, couldRedo, wasIndex);
}

void UndoStack::redo()
{
    if (!canRedo())
        return;
    const bool couldUndo = canUndo(), couldRedo = canRedo();
    const int wasIndex = done;
    const Step &s = steps.at(done);
    ++done;
    restore(s.after, s.filesAfter ? &*s.filesAfter : nullptr);
    announce(couldUndo, couldRedo, wasIndex);
}

void UndoStack::announce(bool couldUndo, bool couldRedo, int wasIndex)
{
    if (done != wasIndex)
        emit indexChanged(done);
    if (canUndo() != couldUndo)
        emit canUndoChanged(canUndo());
    if (canRedo() != couldRedo)
        emit canRedoChanged(canRedo());
}
