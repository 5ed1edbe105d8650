#include "designnotices.h"

#include "noreflectiontext.h"

#include <QDir>
#include <QStatusBar>

DesignNotices::DesignNotices(DesignDocument &doc, QStatusBar *bar, QObject *parent)
    : QObject(parent), doc(doc), bar(bar)
{
    // The document says these while it lays out; the change ends with one announcement, when
    // everything it did is told at once.
    connect(&doc, &DesignDocument::countBounded, this, [this](int) {
        pending << tr("At most %1 crystals").arg(kMaxCrystals);
    });
    connect(&doc, &DesignDocument::countRaised, this, [this](int asked, int laidOut) {
        pending << (laidOut == 0 ? tr("A count of %1 lays out no crystal").arg(asked)
                    : laidOut == 1
                        ? tr("A count of %1 lays out one crystal").arg(asked)
                        : tr("A count of %1 lays out %2 crystals").arg(asked).arg(laidOut));
    });
    connect(&doc, &DesignDocument::handEditsReplaced, this, [this](int count) {
        pending << (count == 1 ? tr("Laid out again: 1 crystal edited by hand was replaced (Ctrl+Z "
                                    "brings it back)")
                               : tr("Laid out again: %1 crystals edited by hand were replaced "
                                    "(Ctrl+Z brings them back)")
                                     .arg(count));
    });
    connect(&doc, &DesignDocument::changed, this, &DesignNotices::changed);
}

void DesignNotices::changed(DesignDocument::Changes what)
{
    if (!(what & DesignDocument::Traced)) {
        pending.clear();
        return;
    }
    const QString crystals = NoReflectionText::summary(noReflectionRuns(doc.crystalReflections()));
    if (!crystals.isEmpty())
        pending << crystals;
    // The steps of one change (the three indices of --set Index, say) may say the same.
    pending.removeDuplicates();
    const QString text = pending.join(QStringLiteral(" \u2014 "));
    pending.clear();
    if (!text.isEmpty()) {
        bar->showMessage(text, kShownMs);
        shown = text;
    } else if (!shown.isEmpty() && bar->currentMessage() == shown) {
        // The design no longer has what the notice says.
        bar->clearMessage();
        shown.clear();
    }
}

QString DesignNotices::loadNotes(const QVector<DesignFile::Note> &notes, int most)
{
    QStringList lines;
    for (int i = 0; i < notes.size() && i < most; ++i) {
        const DesignFile::Note &n = notes.at(i);
        switch (n.kind) {
        case DesignFile::Note::UnknownLine:
            lines << tr("line %1 (%2): unknown key").arg(n.line).arg(n.key);
            break;
        case DesignFile::Note::NotANumber:
            lines << tr("line %1 (%2): not a number").arg(n.line).arg(n.key);
            break;
        case DesignFile::Note::Refused:
            lines << tr("line %1 (%2): a value the field does not take").arg(n.line).arg(n.key);
            break;
        case DesignFile::Note::NoSuchCrystal:
            lines << tr("line %1 (%2): no such crystal").arg(n.line).arg(n.key);
            break;
        case DesignFile::Note::NoMarker:
            lines << tr("the file ends before \"# New Layout\"");
            break;
        case DesignFile::Note::MissingGroups:
            lines << (n.first == n.last
                          ? tr("the file ends before crystal %1").arg(n.first)
                          : tr("the file ends before crystals %1 to %2").arg(n.first).arg(n.last));
            break;
        }
    }
    if (notes.size() > most)
        lines << tr("and %1 more").arg(notes.size() - most);
    return lines.join(QLatin1Char('\n'));
}

QString DesignNotices::loadNotice(const QString &file, const QVector<DesignFile::Note> &notes)
{
    return tr("\"%1\" was loaded, but not all of its lines were understood:")
               .arg(QDir::toNativeSeparators(file))
           + QLatin1Char('\n') + loadNotes(notes);
}
