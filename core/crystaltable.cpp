#include "crystaltable.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <charconv>
#include <cmath>

QByteArray shortestNumber(double v)
{
    if (std::isnan(v))
        return QByteArrayLiteral("nan");
    if (std::isinf(v))
        return v > 0 ? QByteArrayLiteral("inf") : QByteArrayLiteral("-inf");
    // Without a format, to_chars writes the shortest form that round-trips, fixed or exponent,
    // and never consults the locale.
    char buffer[32];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return QByteArray(buffer, int(r.ptr - buffer));
}

QList<QByteArray> crystalTableColumns()
{
    return {"no",
            "x",
            "y",
            "angle_deg",
            "energy_eV",
            "length",
            "in_beam_centre",
            "beam_width",
            "start_x",
            "start_y",
            "end_x",
            "end_y"};
}

QVector<double> crystalTableRow(const CrystalOptics &c, double spacing)
{
    const Point m = c.centre();
    const Point p = c.startPoint();
    const Point e = c.endPoint();
    return {m.x,
            m.y,
            c.angleDeg(),
            c.energyEv(spacing),
            c.surface.length,
            c.inBeamCentre(),
            c.beamWidth(),
            p.x,
            p.y,
            e.x,
            e.y};
}

QByteArray crystalTableCsv(const CrystalList &crystals, double spacing)
{
    QByteArray csv = crystalTableColumns().join(',') + "\r\n";
    for (int i = 0; i < crystals.size(); ++i) {
        csv += QByteArray::number(i + 1);
        for (const double v : crystalTableRow(*crystals.at(i), spacing)) {
            csv += ',';
            csv += shortestNumber(v);
        }
        csv += "\r\n";
    }
    return csv;
}

bool writeCrystalTable(const QString &path,
                       const CrystalList &crystals,
                       double spacing,
                       QString *error)
{
    const QByteArray csv = crystalTableCsv(crystals, spacing);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

QString suggestedTableName(const QString &designFile)
{
    const QFileInfo design(designFile);
    if (designFile.isEmpty() || design.completeBaseName().isEmpty())
        return QStringLiteral("crystals.csv");
    const QString name = design.completeBaseName() + QStringLiteral(".csv");
    return design.path() == QLatin1String(".") ? name : design.dir().filePath(name);
}
