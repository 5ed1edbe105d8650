#include "pysweep.h"

#include "designdocument.h"
#include "pyconvert.h"
#include "pydesign.h"
#include "report.h"
#include "sweep.h"

#include <cmath>
#include <thread>
#include <vector>

namespace py = pybind11;
using namespace PyConvert;

namespace {

// A cell of the sweep table: the shortest text of a double (or the value as typed, which the
// field read as this number), or empty for none (NaN).
double cellValue(const QByteArray &cell)
{
    bool ok = false;
    const double v = cell.trimmed().toDouble(&ok);
    return ok ? v : std::nan("");
}

py::dict sweep(const DesignDocument &design, const py::object &nameObject, const py::object &values)
{
    if (!py::isinstance<py::str>(nameObject))
        throw py::type_error("a field's name is a str, such as \"DE\" or \"crystal.3.X\"");
    if (py::isinstance<py::str>(values) || py::isinstance<py::bytes>(values))
        throw py::type_error("sweep takes a sequence of values, not one text");
    const QString name = toQString(nameObject);
    QStringList texts;
    for (const py::handle v : values)
        texts.append(valueText(v));

    if (name == QLatin1String("Material") || name == QLatin1String("Index"))
        throw py::value_error(
            QStringLiteral("a sweep runs a number; %1 is not one").arg(name).toStdString());

    // The design given stays as it is: the run starts from a copy made while this thread holds
    // the interpreter, which other threads may use as soon as it is released.
    const std::unique_ptr<DesignDocument> start = copyDesign(design);
    SweepRun run;
    bool interrupted = false;
    {
        py::gil_scoped_release unlocked;
        run = runSweep(*start,
                       name,
                       texts,
                       static_cast<int>(std::thread::hardware_concurrency()),
                       [&interrupted] {
                           py::gil_scoped_acquire locked;
                           interrupted = PyErr_CheckSignals() != 0;
                           return !interrupted;
                       });
    }
    if (interrupted)
        throw py::error_already_set();
    if (run.error)
        raiseEditError(run.error);

    const QList<QByteArray> header = sweepHeader().trimmed().split(',');
    const auto n = static_cast<py::ssize_t>(run.rows.size());
    std::vector<py::array_t<double>> columns;
    for (int k = 0; k < header.size(); ++k)
        columns.emplace_back(n);
    for (py::ssize_t i = 0; i < n; ++i) {
        const QList<QByteArray> cells = run.rows.at(int(i)).trimmed().split(',');
        for (int k = 0; k < header.size(); ++k)
            columns[size_t(k)].mutable_at(i) = k < cells.size() ? cellValue(cells.at(k)) : NAN;
    }
    py::dict out;
    for (int k = 0; k < header.size(); ++k)
        out[py::str(header.at(k).constData())] = columns[size_t(k)];
    return out;
}

py::array_t<double> values(double start, double stop, double step)
{
    const QVector<double> v = sweepValues({QString(), start, stop, step});
    if (v.isEmpty())
        throw py::value_error(QStringLiteral("no values from %1 to %2 in steps of %3: the step "
                                             "must be non-zero and lead from start to stop, "
                                             "with at most %4 values")
                                  .arg(start)
                                  .arg(stop)
                                  .arg(step)
                                  .arg(kMaxSweepValues)
                                  .toStdString());
    py::array_t<double> a(v.size());
    for (int i = 0; i < v.size(); ++i)
        a.mutable_at(i) = v.at(i);
    return a;
}

} // namespace

void bindSweep(py::module_ &m)
{
    m.def("sweep",
          &sweep,
          py::arg("design"),
          py::arg("name"),
          py::arg("values"),
          R"doc(sweep(design: Design, name: str, values: sequence of numbers) -> dict

Runs the design once per value of the field `name`, as --sweep does, and returns its
table: a dict of float64 NumPy arrays, one per column, one row per value, NaN where the table has
no number.

Each value is typed into the field (set()'s rules: a float with 15 significant digits) on a copy
of `design`, which itself does not change. Names as for set(), but not Material or Index. Fields
that lay the whole design out afresh (StartE, DE, Num, DX, DY, Length, LatticeC, RotateAll) run
on every core; Type, the crystals' fields and the source's one value after the other, as
--sweep runs them. Every value is checked before the first runs: KeyError for an unknown name,
ValueError for a value the field refuses, IndexError for a crystal the design does not have.
The interpreter's other threads run meanwhile; Ctrl+C stops it with KeyboardInterrupt.

Columns: value (the number typed); focus_x, focus_y, image_x, image_y: the focus and image
read-outs (NaN with fewer than two crystals); lsq_focus_x, lsq_focus_y, lsq_rms: the
least-squares focus of the reflected centre lines and its RMS distance (design length unit);
coverage: the fraction (0 to 1) of the array's energy range inside an intrinsic band;
largest_gap_eV: the widest gap between neighbouring intrinsic bands, eV; reflecting: how many
crystals reflect (have a Bragg angle); effective_coverage, effective_largest_gap_eV: the same
for the effective bands with the design's source (NaN where no crystal has one).)doc");
    m.def("sweep_values",
          &values,
          py::arg("start"),
          py::arg("stop"),
          py::arg("step"),
          R"doc(sweep_values(start: float, stop: float, step: float) -> numpy.ndarray

The values of --sweep NAME=START:STOP:STEP as a float64 NumPy array: start + i step,
each from start (no accumulated error), up to stop when the steps reach it within a thousandth
of a step. ValueError for a step of 0, one that leads away from stop, or more than 10000 values.)doc");
}
