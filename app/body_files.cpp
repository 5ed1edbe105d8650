// Design files: the save and load dialogs and the file format.
#include "body.h"
#include "calign.h"
#include "filenames.h"
#include "matchkey.h"
#include "mcrystal.h"
#include "notices.h"
#include "undo.h"
#include "units.h"

#include <QButtonGroup>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QTextCodec>
#include <QTextStream>

namespace {

// The marker between the panels' blocks and the crystal groups, and the comment after them.
const QString keyNewLayout = QStringLiteral("# New Layout         : ");
const QString keyComment = QStringLiteral("# Comment            : ");

// Files are written in UTF-8; one that is not valid UTF-8 comes from elsewhere and is read in
// the locale's encoding.
QString decode(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    const QString text
        = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return text;
    return QTextCodec::codecForLocale()->toUnicode(bytes);
}

// The lines of a file's text without their line endings; a last line without one counts too.
QVector<QStringRef> splitLines(const QString &text)
{
    QVector<QStringRef> lines;
    for (int start = 0; start < text.size();) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        lines.append(text.midRef(start, end - start));
        start = end + 1;
    }
    return lines;
}

// What decides whether a line of a file rebuilds the crystals: the material chosen, the type
// checked (1 to 7, 0 none) and the overall rotation ticked.
struct PanelChecks
{
    int crystalIndex = -1;
    int crystalCount = 0;
    int type = 0;
    bool rotate = false;

    bool differsFrom(const PanelChecks &o) const
    {
        return crystalIndex != o.crystalIndex || type != o.type || rotate != o.rotate;
    }
};

// The index of the last line that rebuilds the crystals when the file is read from the start
// with the panels in state p, or -1. The marker always does; a crystal choice, a type or the
// rotation box does when it changes what the panels show, as their widgets decide: an index
// outside the crystal list leaves no choice, and a 0 cannot uncheck the checked type.
int lastRebuildLine(const QVector<QStringRef> &lines, PanelChecks p)
{
    int last = -1;
    QString value;
    for (int i = 0; i < lines.size(); ++i) {
        // Most lines of a design are crystal lines: only these keys can rebuild anything.
        const QStringRef &ref = lines.at(i);
        if (!ref.startsWith(QLatin1String("# Selected ")) && !ref.startsWith(CAlign::rotateAllKey())
            && !ref.startsWith(keyNewLayout))
            continue;
        const QString line = ref.toString();
        if (matchKey(line, keyNewLayout, value)) {
            last = i;
            continue;
        }
        const PanelChecks before = p;
        if (matchKey(line, MCrystal::selectedCrystalKey(), value)) {
            const int n = value.toInt();
            p.crystalIndex = n >= 0 && n < p.crystalCount ? n : -1;
        }
        for (int t = 0; t < 7; ++t) {
            if (matchKey(line, CAlign::typeKey(t + 1), value) && value.toInt() == 1)
                p.type = t + 1;
        }
        if (matchKey(line, CAlign::rotateAllKey(), value))
            p.rotate = value.toInt() == 1;
        if (p.differsFrom(before))
            last = i;
    }
    return last;
}

// True when a line begins with one of the keys of a design file: a text file that is not a
// design has none.
bool holdsDesign(const QVector<QStringRef> &lines)
{
    static const QStringList keys = MCrystal::fileKeys() + CAlign::fileKeys()
                                    + QStringList{keyNewLayout} + ACrystal::fileKeys()
                                    + QStringList{keyComment};
    for (const QStringRef &line : lines) {
        if (!line.startsWith(QLatin1String("# ")))
            continue;
        for (const QString &key : keys) {
            if (line.startsWith(key))
                return true;
        }
    }
    return false;
}

} // namespace

void Body::setUpFileDialogs()
{
    for (QFileDialog *dialog : {&saveDialog, &loadDialog}) {
        dialog->setDirectory(lastFolder());
        connect(dialog, &QFileDialog::fileSelected, this, &Body::rememberFolder);
        dialog->setNameFilters(
            {QStringLiteral("Configuration File (*.cfg)"), QStringLiteral("Any File (* *.*)")});
    }
    saveDialog.setAcceptMode(QFileDialog::AcceptSave);
    loadDialog.setAcceptMode(QFileDialog::AcceptOpen);

    connect(Save, SIGNAL(clicked()), &saveDialog, SLOT(show()));
    connect(&saveDialog, SIGNAL(fileSelected(const QString &)), this, SLOT(save(QString)));
    connect(Load, SIGNAL(clicked()), &loadDialog, SLOT(show()));
    connect(&loadDialog, SIGNAL(fileSelected(const QString &)), this, SLOT(load(QString)));
}

void Body::openAtStart(const QString &file)
{
    QMetaObject::invokeMethod(this, "load", Qt::QueuedConnection, Q_ARG(QString, file));
}

void Body::save(QString fname)
{
    writeDesign(fname);
}

QString Body::designText()
{
    QString text;
    QTextStream out(&text);
    MC->save(out);
    CA->save(out);
    out << keyNewLayout << 0 << Qt::endl;
    for (int i = 0; i < crystals.size(); ++i)
        crystals.at(i)->save(i, out);
    out << keyComment << Comment->text() << Qt::endl;
    out.flush();
    return text;
}

bool Body::writeDesign(const QString &fname)
{
    // Written beside the target and put in its place only once complete, so a failed save
    // leaves the previous file as it was.
    const QString text = designText();
    const QByteArray bytes = text.toUtf8();
    QSaveFile file(fname);
    // The write only fills a buffer: the flush is what reaches the disk, and may fail.
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Text)
                         && file.write(bytes) == bytes.size() && file.flush() && file.commit();
    if (!written) {
        qDebug() << "Can't open" << fname << "to save.";
        tellUser(this, tr("Nothing was saved: \"%1\" cannot be written.").arg(fname));
        return false;
    }
    // What a save writes is also what undo compares with: the file now holds the design.
    currentPath = QFileInfo(fname).absoluteFilePath();
    savedText = text;
    rememberRecentFile(currentPath);
    updateTitle();
    return true;
}

void Body::load(QString fname)
{
    QFile file(fname);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug() << "Can't open" << fname << "to load.";
        tellUser(this, tr("Nothing was loaded: \"%1\" cannot be read.").arg(fname));
        return;
    }
    const QString text = decode(file.readAll());
    file.close();
    if (!holdsDesign(splitLines(text))) {
        tellUserOnce(
            noDesignBox,
            tr("Nothing was loaded: \"%1\" holds no design.").arg(QDir::toNativeSeparators(fname)));
        return;
    }

    const FileState before{currentPath, packDesign(savedText)};
    applyDesign(text);
    // The file is now the current one; the design as loaded is what it holds.
    currentPath = QFileInfo(fname).absoluteFilePath();
    savedText = designText();
    if (savedText != recordedText || currentPath != before.path) {
        const FileState after{currentPath, packDesign(savedText)};
        pushStep(savedText, after.savedPacked, &before, &after);
    }
    recordedComment = Comment->text();
    rememberRecentFile(currentPath);
    updateTitle();
}

void Body::applyDesign(const QString &text)
{
    // The steps of a load are not changes of their own.
    const bool wasRecording = recording;
    recording = false;
    const QVector<QStringRef> lines = splitLines(text);

    // Every rebuild of the crystals replaces the previous ones, and the crystal lines before it
    // with them: only the last one counts. Rebuilding there alone keeps a file full of markers
    // or type switches from laying out thousands of times.
    QRadioButton *const types[]
        = {CA->Type1, CA->Type2, CA->Type3, CA->Type4, CA->Type5, CA->Type6, CA->Type7};
    const auto panelState = [&] {
        PanelChecks p;
        p.crystalIndex = MC->SelCrystal->currentIndex();
        p.crystalCount = MC->SelCrystal->count();
        for (int t = 0; t < 7; ++t) {
            if (types[t]->isChecked())
                p.type = t + 1;
        }
        p.rotate = CA->RotateAll->isChecked();
        return p;
    };
    const int lastRebuild = lastRebuildLine(lines, panelState());

    // A crystal's lines only set its fields; it takes the stored geometry at once when its group
    // ends, at the first line that is not one of its lines. The design is traced once, at the end.
    QPointer<ACrystal> group;
    int groupIndex = -1;
    bool crystalsRestored = false;
    const auto endGroup = [&] {
        if (group && crystals.value(groupIndex) == group) {
            group->restore();
            crystalsRestored = true;
        }
        group = nullptr;
        groupIndex = -1;
    };

    // The panels announce their changes to nobody while the file is read: the crystals are
    // rebuilt here, where the file says. The type's field colours follow once, at the end.
    const QSignalBlocker quietMaterial(MC);
    const QSignalBlocker quietArrangement(CA);
    const QSignalBlocker quietTypes(CA->typeGroup);
    QString value;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).toString();
        // A line names at most one crystal, by its index; no other crystal could take it.
        const int index = ACrystal::lineIndex(line);
        if (group && index != groupIndex)
            endGroup();

        const PanelChecks before = panelState();
        MC->load(line);
        CA->load(line);
        const PanelChecks after = panelState();
        // A new crystal choice has the material panel compute its spacing, which becomes the
        // layout's; the marker takes the spacing the file stores, not the one shown before.
        const bool marker = matchKey(line, keyNewLayout, value);
        if (marker || after.crystalIndex != before.crystalIndex)
            units.setD(MC->Spacing->text().toDouble());
        if (i == lastRebuild || (i > lastRebuild && (marker || after.differsFrom(before))))
            newLayout();

        if (i >= lastRebuild && index >= 0 && index < crystals.size()) {
            crystals.at(index)->load(index, line);
            group = crystals.at(index);
            groupIndex = index;
        }
        if (matchKey(line, keyComment, value))
            Comment->setText(value);
    }
    endGroup();
    CA->newType();

    if (crystalsRestored)
        drawEverything();
    recording = wasRecording;
}
