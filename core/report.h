#pragma once

#include "bandanalysis.h"
#include "raytrace.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

class DesignDocument;
struct Design;

// What a batch run or a script reports of a design.

// The JSON report: the panels' values, every crystal as the crystal table has it, the focus and
// image read-outs with their full-precision values (null with fewer than two crystals that
// reflect), the history entries the last tracing added (whether it added any, and null when not),
// the analysis of the Bands window with the design's source, and the ray trace when `rays` asks
// for one (else null). `file` is the design file it came from (null when none). Numbers that are
// not finite are null.
QByteArray designReport(const DesignDocument &doc,
                        const QString &file,
                        const std::optional<RayTraceParams> &rays = std::nullopt);
// The same as a JSON object (what a script turns into its own values).
QJsonObject designReportObject(const DesignDocument &doc,
                               const QString &file,
                               const std::optional<RayTraceParams> &rays = std::nullopt);

// The physics of the design's array lit by its source: what the Bands window shows.
BandsAnalysis designBands(const Design &design);

// The header and one row of the sweep table for the design as it stands after `value` was typed:
// the focus and image read-outs, the least-squares focus of the reflecting crystals, the
// intrinsic coverage, the crystals that reflect, the effective coverage.
QByteArray sweepHeader();
QByteArray sweepRow(const DesignDocument &doc, const QString &value);
