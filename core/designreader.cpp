// Reading a design file into the document, by the rules every design file has been read with:
// the panels take the stored texts, the crystals are laid out where the file says (at the marker
// line, or where a stored choice changes what the panels show), and each crystal then stands as
// its group of lines stored it.
#include "changescope.h"
#include "designdocument.h"
#include "matchkey.h"
#include "numbers.h"

#include <QBitArray>

#include <cmath>
#include <optional>

namespace {

using DesignFile::Note;

// What decides whether a line of a file lays the crystals out: the material chosen, the type
// checked and the overall rotation ticked.
struct PanelChecks
{
    int material = -1;
    int type = 0;
    bool rotate = false;

    bool differsFrom(const PanelChecks &o) const
    {
        return material != o.material || type != o.type || rotate != o.rotate;
    }
};

PanelChecks checksOf(const Design &d)
{
    return {d.material, d.type, d.rotateAll};
}

// The material a stored index chooses: an index outside the list leaves none.
int storedMaterial(const QString &value)
{
    const int n = value.toInt();
    return n >= 0 && n < materials().size() ? n : -1;
}

// A "1" checks its type; a 0 cannot uncheck the checked one (one type is always chosen).
void storeTypeFlag(int type, const QString &value, Design &d)
{
    if (value.toInt() == 1)
        d.type = type;
}

// The index of the last line that lays the crystals out when the file is read from the start
// with the panels in state p, or -1. The marker always does; a material, a type or the rotation
// box does when it changes what the panels show.
int lastRebuildLine(const QVector<QStringRef> &lines, PanelChecks p)
{
    const QStringList &m = DesignFile::materialKeys();
    const QStringList &a = DesignFile::arrangementKeys();
    int last = -1;
    QString value;
    for (int i = 0; i < lines.size(); ++i) {
        // Most lines of a design are crystal lines: only these keys can lay anything out.
        const QStringRef &ref = lines.at(i);
        if (!ref.startsWith(QLatin1String("# Selected ")) && !ref.startsWith(a.at(7))
            && !ref.startsWith(DesignFile::markerKey()))
            continue;
        const QString line = ref.toString();
        if (matchKey(line, DesignFile::markerKey(), value)) {
            last = i;
            continue;
        }
        const PanelChecks before = p;
        if (matchKey(line, m.at(0), value))
            p.material = storedMaterial(value);
        for (int t = 1; t <= 7; ++t) {
            if (matchKey(line, a.at(t - 1), value) && value.toInt() == 1)
                p.type = t;
        }
        if (matchKey(line, a.at(7), value))
            p.rotate = value.toInt() == 1;
        if (p.differsFrom(before))
            last = i;
    }
    return last;
}

// The key at the start of a line as a note names it, without its padding and colon ("# Start
// Energy"); the first 23 characters of a line that begins with no key.
QString keyOf(const QString &line)
{
    QString key = line.left(23);
    if (key.size() == 23 && key.endsWith(QLatin1String(": ")))
        key.chop(2);
    return key.trimmed();
}

// The texts of one crystal's group as the file stored them, until the group ends.
struct Group
{
    int index = -1;
    int loaded = 0; // bits in file order
    // The crystal's texts as its geometry shows them, from before its lines overwrote them (so
    // that its restoring need not format them again); valid while the spacing is the same.
    std::optional<CrystalTexts> laidOut;
    double laidOutSpacing = 0;
};

enum LoadedField { PosX = 1, PosY = 2, Angle = 4, EnergyField = 8, LengthField = 16 };

// The text of a value a crystal was stood at: as the file stored it when that is the value's own
// text in the row's format (a zero keeping the minus sign of the tiny negative value it was
// saved from), else the value's own text.
QString shownAsStored(const QString &stored, const char *format, double value)
{
    const QString own = QString::asprintf(format, value);
    if (stored == own
        || (value == 0.0 && QString(stored).replace(QLatin1Char('-'), QLatin1Char(' ')) == own))
        return stored;
    return own;
}

// Stands the crystal as its group stored it: centre, angle and signed length, and an energy
// that agrees with the angle or else turns the crystal to its Bragg angle about the start point.
// What no line stored stays as it was; the texts of the lines not read back stay as stored.
void restoreCrystal(DesignCrystal &c, const Group &group, double spacing)
{
    const int loaded = group.loaded;
    if ((loaded & (PosX | PosY | Angle | EnergyField | LengthField)) == 0) {
        // Only the two shown-only fields: they stay as stored.
        return;
    }
    const CrystalTexts stored = c.texts;
    const CrystalTexts laidOut = group.laidOut && group.laidOutSpacing == spacing
                                     ? *group.laidOut
                                     : c.CrystalOptics::texts(spacing);
    bool turned = false;
    // An energy typed in, which the file keeps where the crystal was turned to it.
    double typedEnergy = qQNaN();

    const Point m = c.centre();
    const double x = (loaded & PosX) ? stored.x.toDouble() : m.x;
    const double y = (loaded & PosY) ? stored.y.toDouble() : m.y;
    const double length = (loaded & LengthField) ? stored.length.toDouble() : c.surface.length;
    const double deg = (loaded & Angle) ? stored.deg.toDouble() : c.angleDeg();

    if (loaded & EnergyField) {
        // The file holds the angle to six decimals and the energy to four: where one angle shows
        // as both, that is the crystal's angle; otherwise the energy was typed in, and it turns
        // the crystal about its start point as an edit of the energy does.
        const double energy = stored.energy.toDouble();
        const std::optional<double> agreed = storedAngle(stored.deg.toDouble(), energy, spacing);
        c.standAt(agreed ? *agreed : deg, x, y, length);
        if (!agreed) {
            c.turnToEnergy(energy, spacing);
            typedEnergy = energy;
        }
        turned = !agreed;
    } else {
        c.standAt(deg, x, y, length);
    }
    c.showValues(spacing);
    const CrystalTexts shown = c.texts;

    // Shown as the file stores them, so that saving again writes the same file: the band values,
    // which a load only shows (recomputed from the rounded geometry they could come out one in
    // the last digit off), and the centre and length the crystal was stood at rather than the
    // centre derived back from its start point (off in the last digit for large coordinates, or a
    // zero that has lost its sign).
    CrystalTexts &t = c.texts;
    if ((loaded & PosX) && !turned && std::isfinite(x))
        t.x = shownAsStored(stored.x, "%11.5f", x);
    if ((loaded & PosY) && !turned && std::isfinite(y))
        t.y = shownAsStored(stored.y, "%11.5f", y);
    if ((loaded & LengthField) && std::isfinite(length))
        t.length = shownAsStored(stored.length, "%10.5f", length);
    if (loaded & 32)
        t.inBeamC = stored.inBeamC;
    if (loaded & 64)
        t.beamW = stored.beamW;
    c.showsOptics = t == shown;
    // A crystal that stands elsewhere than the layout put it was edited by hand.
    const CrystalTexts &l = laidOut;
    if (t.x != l.x || t.y != l.y || t.deg != l.deg || t.energy != l.energy
        || t.length != l.length) {
        c.editedByHand = true;
        // A crystal turned elsewhere is no longer explained by what the layout asked of it.
        if (!std::isnan(typedEnergy) || t.deg != l.deg)
            c.askedEnergy = typedEnergy;
    }
}

} // namespace

bool DesignDocument::storePanelLine(const QString &line, int lineNumber, QVector<Note> *notes)
{
    const QStringList &materialKeys = DesignFile::materialKeys();
    const QStringList &arrangementKeys = DesignFile::arrangementKeys();
    const auto notANumber = [&] {
        if (!notes)
            return;
        Note n;
        n.kind = Note::NotANumber;
        n.line = lineNumber;
        n.key = keyOf(line);
        notes->append(n);
    };
    // Numbers where a number belongs: a choice's integer, a field's number.
    const auto checkNumber = [&](const QString &value, bool integer) {
        bool ok = false;
        if (integer)
            value.toInt(&ok);
        else
            value.toDouble(&ok);
        if (!ok)
            notANumber();
    };
    QString value;
    // The source's keys, after the comment: a value the field refuses leaves what was there.
    const QStringList &sourceKeys = DesignFile::sourceKeys();
    for (int k = 0; k < sourceKeys.size(); ++k) {
        if (!matchKey(line, sourceKeys.at(k), value))
            continue;
        const SourceField field = SourceField(k);
        if (const std::optional<SourceParams> s = sourceWith(current.source, field, value)) {
            current.source = *s;
            announce(SourceChanged);
        } else if (field != SourceField::Polarisation && !finiteNumber(value)) {
            notANumber();
        } else if (notes) {
            Note n;
            n.kind = Note::Refused;
            n.line = lineNumber;
            n.key = keyOf(line);
            notes->append(n);
        }
        return true;
    }

    bool known = false;
    // The material block: the texts as stored; only a change of material computes (the
    // constant of the new material and its spacing, which the layout takes at the marker).
    if (matchKey(line, materialKeys.at(0), value)) {
        known = true;
        checkNumber(value, true);
        const int m = storedMaterial(value);
        if (m != current.material) {
            current.material = m;
            const double a = m >= 0 ? materials().at(m).latticeConstant : 0.0;
            current.latticeConstant = QString::number(a, 'g', 6);
            current.spacingText = current.computedSpacingText();
        }
    }
    QString *const materialTexts[] = {&current.latticeConstant,
                                      &current.indexH,
                                      &current.indexK,
                                      &current.indexL,
                                      &current.spacingText};
    for (int k = 0; k < 5; ++k) {
        if (matchKey(line, materialKeys.at(k + 1), value)) {
            known = true;
            checkNumber(value, false);
            *materialTexts[k] = value;
        }
    }

    // The arrangement block.
    for (int t = 1; t <= 7; ++t) {
        if (matchKey(line, arrangementKeys.at(t - 1), value)) {
            known = true;
            checkNumber(value, true);
            storeTypeFlag(t, value, current);
        }
    }
    if (matchKey(line, arrangementKeys.at(7), value)) {
        known = true;
        checkNumber(value, true);
        current.rotateAll = value.toInt() == 1;
    }
    QString *const arrangementTexts[] = {&current.rotateAllDeg,
                                         &current.startEnergy,
                                         &current.energyStep,
                                         &current.count,
                                         &current.dx,
                                         &current.dy,
                                         &current.length};
    for (int k = 0; k < 7; ++k) {
        if (matchKey(line, arrangementKeys.at(8 + k), value)) {
            known = true;
            if (k == 3 && !wholeNumber(value))
                notANumber();
            else if (k != 3)
                checkNumber(value, false);
            *arrangementTexts[k] = value;
        }
    }
    if (known)
        announce(DesignChanged);
    return known;
}

void DesignDocument::storeLine(const QString &line)
{
    ChangeScope scope(this);
    QString value;
    if (!storePanelLine(line, 0, nullptr) && matchKey(line, DesignFile::commentKey(), value)) {
        current.comment = value;
        announce(DesignChanged);
    }
}

ReadResult DesignDocument::readText(const QString &text)
{
    ReadResult result;
    QVector<Note> &notes = result.notes;
    const QVector<QStringRef> lines = DesignFile::lines(text);
    const QStringList &crystalKeys = DesignFile::crystalKeys();

    // The steps of a load are not changes of their own.
    const bool wasRecording = recording;
    recording = false;
    // A file without source keys has the default source.
    if (current.source != SourceParams()) {
        current.source = SourceParams();
        announce(SourceChanged);
    }

    // Every layout replaces the crystals, and the crystal lines before it with them: only the
    // last one counts. Laying out there alone keeps a file full of markers or type switches from
    // laying out thousands of times.
    const int lastRebuild = lastRebuildLine(lines, checksOf(current));

    // A crystal's lines only set its texts; it takes the stored geometry at once when its group
    // ends, at the first line that is not one of its lines. The design is traced at the end.
    Group group;
    bool crystalsRestored = false;
    QBitArray grouped;
    bool marked = false;
    const auto endGroup = [&] {
        if (group.index >= 0 && group.index < current.crystals.size()) {
            restoreCrystal(current.crystals[group.index], group, current.spacing);
            crystalsRestored = true;
        }
        group = Group();
    };
    const auto note = [&](Note::Kind kind, int i, const QString &line) {
        Note n;
        n.kind = kind;
        n.line = i + 1;
        n.key = keyOf(line);
        notes.append(n);
    };
    int missingIndex = -1;
    QString value;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).toString();
        // A line names at most one crystal, by its index; no other crystal could take it.
        const int index = DesignFile::crystalIndex(line);
        if (group.index >= 0 && index != group.index)
            endGroup();

        const PanelChecks before = checksOf(current);
        bool known = storePanelLine(line, i + 1, &notes);

        const PanelChecks after = checksOf(current);
        // A new material has the panel compute its spacing, which becomes the layout's; the
        // marker takes the spacing the file stores, not the one shown before.
        const bool marker = matchKey(line, DesignFile::markerKey(), value);
        known = known || marker;
        marked = marked || marker;
        if (marker || after.material != before.material)
            current.spacing = current.spacingText.toDouble();
        if (i == lastRebuild || (i > lastRebuild && (marker || after.differsFrom(before)))) {
            layOut();
            grouped = QBitArray(current.crystals.size());
            group.laidOut.reset();
        }

        if (index >= 0) {
            known = true;
            if (i >= lastRebuild && index < current.crystals.size()) {
                const DesignCrystal &c = current.crystals.at(index);
                if (index != group.index && c.showsOptics) {
                    group.laidOut = c.texts;
                    group.laidOutSpacing = current.spacing;
                }
                // The line's field takes the text when it names this crystal as "i : ".
                const QString prefix = QString::number(index) + QStringLiteral(" : ");
                for (int k = 0; k < crystalKeys.size(); ++k) {
                    if (!matchKey(line, crystalKeys.at(k), value) || !value.startsWith(prefix))
                        continue;
                    const QString stored = value.mid(prefix.size());
                    bool ok = false;
                    stored.toDouble(&ok);
                    if (!ok)
                        note(Note::NotANumber, i, line);
                    current.crystals[index].texts[CrystalField(k)] = stored;
                    current.crystals[index].showsOptics = false;
                    group.loaded |= 1 << k;
                }
                group.index = index;
                if (index < grouped.size())
                    grouped.setBit(index);
            } else if (i >= lastRebuild) {
                // One note for a crystal's group, at its first line.
                if (index != missingIndex)
                    note(Note::NoSuchCrystal, i, line);
                missingIndex = index;
            }
        } else {
            for (const QString &key : crystalKeys) {
                // A crystal line whose index is missing or malformed names no crystal.
                if (line.startsWith(key)) {
                    known = true;
                    note(Note::UnknownLine, i, line);
                }
            }
        }
        if (matchKey(line, DesignFile::commentKey(), value)) {
            known = true;
            current.comment = value;
        }
        if (!known && !line.trimmed().isEmpty())
            note(Note::UnknownLine, i, line);
    }
    endGroup();

    if (!marked) {
        Note n;
        n.kind = Note::NoMarker;
        notes.append(n);
    } else {
        // The file ends before the groups of the last crystals laid out.
        int first = -1;
        for (int k = 0; k < grouped.size(); ++k) {
            if (!grouped.testBit(k)) {
                first = k;
                break;
            }
        }
        if (first >= 0) {
            Note n;
            n.kind = Note::MissingGroups;
            n.first = first + 1;
            n.last = grouped.size();
            notes.append(n);
        }
    }

    if (crystalsRestored)
        trace();
    recording = wasRecording;
    return result;
}
