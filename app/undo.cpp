#include "undo.h"

#include <utility>

QByteArray packDesignText(const QString &text)
{
    return qCompress(text.toUtf8());
}

QString unpackDesignText(const QByteArray &packed)
{
    return QString::fromUtf8(qUncompress(packed));
}

DesignChange::DesignChange(QByteArray before, QByteArray after, Restore restore)
    : before(std::move(before)), after(std::move(after)), restore(std::move(restore))
{}

void DesignChange::setFiles(const FileState &before, const FileState &after)
{
    filesBefore = before;
    filesAfter = after;
}

void DesignChange::undo()
{
    restore(before, filesBefore ? &*filesBefore : nullptr);
}

void DesignChange::redo()
{
    if (!pushed) {
        pushed = true;
        return;
    }
    restore(after, filesAfter ? &*filesAfter : nullptr);
}
