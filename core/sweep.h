#pragma once

#include "designdocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// One parameter of a design run through a range of values, a run of the design per value: what
// the command line's --sweep and the Python module's sweep do.

// A parameter run from `from` to `to` in steps of `step`; `to` counts when the steps reach it
// within a thousandth of a step.
struct Sweep
{
    QString name;
    double from = 0.0;
    double to = 0.0;
    double step = 0.0;
};

// The values of a sweep, each computed from `from` (no accumulated error), or none when the step is
// zero, points away from `to`, or the values are not finite.
QVector<double> sweepValues(const Sweep &sweep);
// At most this many values in one sweep.
inline constexpr int kMaxSweepValues = 10000;
// The text typed for a swept value: 15 significant digits, so that 8000 + 3 * 0.1 is typed 8000.3.
QString sweepValueText(double value);

struct SweepRun
{
    QVector<QByteArray> rows; // sweepRow() of each value run, in value order
    EditError error;          // the value refused, when one was: no rows then
    bool stopped = false;     // keepGoing asked to stop: no rows then
};

// Types each value into the field `name` of a copy of `design` (which stays as it is) and makes
// the row of the sweep table for it. Every value is checked before the first runs. A field whose
// edit lays the whole design out afresh from its panels (StartE, DE, Num, DX, DY, Length,
// LatticeC, RotateAll) gives rows that do not depend on the values before: those values run on
// up to `threads` threads, each on its own copy. The others (Type, which changes nothing for the
// type shown, and the crystals' fields, which change a crystal as the edit before left it) run
// one after the other on one copy, as the command line always ran them. `keepGoing` is asked on the
// calling thread between every few values; false stops the run.
SweepRun runSweep(const DesignDocument &design,
                  const QString &name,
                  const QStringList &values,
                  int threads = 1,
                  const std::function<bool()> &keepGoing = {});
