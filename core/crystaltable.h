#pragma once

#include "trace.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

// The crystal table as other programs read it: CSV by RFC 4180 (comma separated, CRLF after every
// record, UTF-8 without a byte order mark), a header row and then one row per crystal in list
// order:
//   no,x,y,angle_deg,energy_eV,length,in_beam_centre,beam_width,start_x,start_y,end_x,end_y
// no is the crystal number (index + 1); x, y the surface centre; the angle that of the surface;
// the energy the one it reflects with the given lattice spacing (negative where the angle is the
// -1 degree of "no reflection"); length signed as stored; in_beam_centre and beam_width the
// middle height and the signed height of the intercepted band, as the row defines them; start and
// end the surface's end points. Every number is the full double, not the row's rounded text.
QByteArray crystalTableCsv(const CrystalList &crystals, double spacing);

// The column names of the table, in order, and one crystal's numbers after "no".
QList<QByteArray> crystalTableColumns();
QVector<double> crystalTableRow(const CrystalOptics &crystal, double spacing);

// The shortest text that reads back as the same double (strtod, QString::toDouble, Python's
// float), with "." as decimal point whatever the locale: "0.1", "-0", "1e+300". Non-finite values
// are "nan", "inf" and "-inf", which those readers also take.
QByteArray shortestNumber(double v);

// Writes the table through QSaveFile, so that either the whole table is there or the previous
// file is untouched. On failure returns false with the reason in *error.
bool writeCrystalTable(const QString &path,
                       const CrystalList &crystals,
                       double spacing,
                       QString *error = nullptr);

// The name the table is offered under: the design file's name with ".csv" in its folder, or
// "crystals.csv" without a design file.
QString suggestedTableName(const QString &designFile);
