#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

class DesignDocument;

// What a batch run or a script reports of a design.

// The JSON report: the panels' values, every crystal as the crystal table has it, the focus and
// image read-outs with their full-precision values (null with fewer than two crystals that
// reflect), the history entries the last tracing added (whether it added any, and null when not)
// and the analysis of the Bands window. `file` is the design file it came from (null when none).
// Numbers that are not finite are null.
QByteArray designReport(const DesignDocument &doc, const QString &file);
// The same as a JSON object (what a script turns into its own values).
QJsonObject designReportObject(const DesignDocument &doc, const QString &file);

// The header and one row of the sweep table for the design as it stands after `value` was typed.
QByteArray sweepHeader();
QByteArray sweepRow(const DesignDocument &doc, const QString &value);
