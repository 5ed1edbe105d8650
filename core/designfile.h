#pragma once

#include "design.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The design file: one setting per line, a 23-character key ("# ", the name padded to 19
// characters, ": ") followed by its value as the field shows it. The material block, the
// arrangement block, the marker at which a load lays the crystals out, one group of seven lines
// per crystal ("i : " before the value, i from 0), the comment, and after it the source's keys
// whose values differ from the defaults (a design lit as ever stores none).
namespace DesignFile {

// The keys of each block, in file order.
const QStringList &materialKeys();    // Selected Crystal, Lattice Constant, h, k, l, Spacing
const QStringList &arrangementKeys(); // Selected Type 1..7, Rotate All, "Ratate" All [deg], ...
const QString &markerKey();           // "# New Layout         : "
const QStringList &crystalKeys();     // Pos X, Pos Y, Deg, Energy, Length, In Beam C, Beam Width
const QString &commentKey();
// Source Distance, Source Size, Source Divergence, Polarisation, Temperature: in the design's
// length unit, microradians (FWHM), sigma/pi/unpolarised or the degree, degrees Celsius. A save
// writes only those whose values differ from SourceParams' defaults, numbers as the shortest text
// that reads back as the same double.
const QStringList &sourceKeys();

// What a save writes, each line ending in "\n".
QString text(const Design &design);
// The blocks of it: the material panel's, the arrangement panel's, crystal i's group.
QString materialBlock(const Design &design);
QString arrangementBlock(const Design &design);
QString crystalBlock(const CrystalTexts &texts, int i);

// The bytes of a file as text: UTF-8 as the program writes it, else (a file that is not valid
// UTF-8 came from elsewhere) the locale's encoding.
QString decode(const QByteArray &bytes);

// The lines of a text without their line endings; a last line without one counts too.
QVector<QStringRef> lines(const QString &text);

// True when a line begins with one of the keys: a text file that is not a design has none.
bool holdsDesign(const QVector<QStringRef> &lines);

// The crystal index that a line of a crystal group names, or -1 when the line is not one
// ("# Crystal Deg        : 3 : ..." names 3; the index is written without blanks or leading
// zeros, at most nine digits).
int crystalIndex(const QString &line);

// What a load did not understand. The design still loads as far as it can; these say where it
// could not follow the file.
struct Note
{
    enum Kind {
        UnknownLine,   // a line that begins with no key of a design file
        NotANumber,    // a value that is not a number where one belongs (a count not whole)
        NoSuchCrystal, // a crystal line for a crystal the design does not have
        NoMarker,      // the file ends before the line at which the crystals are laid out
        MissingGroups, // the file ends before every crystal's group (crystals first to last)
        Refused        // a number the field does not take (a source's distance of 0, say): the
                       // default stays
    };
    Kind kind = UnknownLine;
    int line = 0;  // 1-based; 0 for what concerns the whole file
    QString key;   // the key as written (or the start of an unknown line), blanks trimmed
    int first = 0; // MissingGroups: crystal numbers (from 1)
    int last = 0;
};

// "line 7 (# Lattice Index h): not a number" and the like, in English, at most `most` of them
// and a count of the rest: the warning of a batch run.
QString describe(const QVector<Note> &notes, int most = 10);

} // namespace DesignFile
