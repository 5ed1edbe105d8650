#pragma once

#include "designdocument.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class QStatusBar;

// The status bar's word on what a change of the design did that the user did not type: a count
// laid out as 1000 crystals or as one, crystals edited by hand replaced by a new layout, crystals
// that reflect nothing; and the words for the lines of a design file that a load did not
// understand.
class DesignNotices : public QObject
{
    Q_OBJECT

public:
    DesignNotices(DesignDocument &doc, QStatusBar *bar, QObject *parent = nullptr);

    // How long a notice stays, in milliseconds.
    static constexpr int kShownMs = 10000;

    // "line 7 (# Lattice Index h): not a number" and the like, one per line, at most `most` of
    // them and a count of the rest.
    static QString loadNotes(const QVector<DesignFile::Note> &notes, int most = 10);
    // The notice of a load that did not understand everything: the file named, then its notes.
    static QString loadNotice(const QString &file, const QVector<DesignFile::Note> &notes);

private:
    void changed(DesignDocument::Changes what);

    DesignDocument &doc;
    QStatusBar *bar;
    // Said by the document during the change now under way.
    QStringList pending;
    // The notice on show, taken down when a later change has nothing to say.
    QString shown;
};
