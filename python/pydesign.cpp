#include "pydesign.h"

#include "crystaltable.h"
#include "designdocument.h"
#include "designfile.h"
#include "pyconvert.h"
#include "raytrace.h"
#include "report.h"

#include <QJsonObject>

#include <cmath>
#include <cstdint>
#include <memory>

namespace py = pybind11;
using namespace PyConvert;

namespace {

using DocumentPtr = std::unique_ptr<DesignDocument>;

// The report's "file": the design file last loaded or saved, null when none.
QString reportFile(const DesignDocument &doc)
{
    return doc.currentFile();
}

py::object pointOrNone(const std::optional<Point> &p)
{
    if (!p)
        return py::none();
    return py::make_tuple(p->x, p->y);
}

// The newest entry of a history, as the read-out and the sweep table give it: none while the
// design has fewer than two crystals (no crossing), whatever an earlier design left there.
py::object newestEntry(const DesignDocument &doc, const PointList &history)
{
    // As the read-outs: a design with fewer than two crystals that reflect has no focus of its own.
    if (!doc.focusState().hasFocus() || history.points.isEmpty())
        return py::none();
    return pointOrNone(history.points.last());
}

py::array_t<double> pointArray(const PointList &list)
{
    const auto n = static_cast<py::ssize_t>(list.points.size());
    py::array_t<double> a({n, py::ssize_t(2)});
    auto r = a.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < n; ++i) {
        r(i, 0) = list.points.at(int(i)).x;
        r(i, 1) = list.points.at(int(i)).y;
    }
    return a;
}

py::dict crystalTable(const DesignDocument &doc)
{
    const Design &d = doc.design();
    const QList<QByteArray> columns = crystalTableColumns();
    const auto n = static_cast<py::ssize_t>(d.crystals.size());
    py::array_t<std::int64_t> numbers(n);
    std::vector<py::array_t<double>> values;
    for (int k = 1; k < columns.size(); ++k)
        values.emplace_back(n);
    auto no = numbers.mutable_unchecked<1>();
    for (py::ssize_t i = 0; i < n; ++i) {
        no(i) = i + 1;
        const QVector<double> row = crystalTableRow(d.crystals.at(int(i)), d.spacing);
        for (size_t k = 0; k < values.size(); ++k)
            values[k].mutable_at(i) = row.at(int(k));
    }
    py::dict table;
    table[py::str(columns.first().constData())] = numbers;
    for (size_t k = 0; k < values.size(); ++k)
        table[py::str(columns.at(int(k) + 1).constData())] = values[k];
    return table;
}

bool isNumber(const py::handle &v)
{
    return (PyLong_Check(v.ptr()) || PyFloat_Check(v.ptr())) && !PyBool_Check(v.ptr());
}

// A column of a list of JSON objects: numbers (null where there is none) as a float64 array with
// NaN for null, the crystal number "no" as int64, booleans as a bool array, anything else a list.
py::object column(const std::string &key, const std::vector<py::object> &cells)
{
    bool numbers = true;
    bool flags = true;
    bool nulls = false;
    for (const py::object &c : cells) {
        nulls = nulls || c.is_none();
        numbers = numbers && (c.is_none() || isNumber(c));
        flags = flags && PyBool_Check(c.ptr());
    }
    const auto n = static_cast<py::ssize_t>(cells.size());
    if (numbers && key == "no" && !nulls) {
        py::array_t<std::int64_t> a(n);
        for (py::ssize_t i = 0; i < n; ++i)
            a.mutable_at(i) = cells[size_t(i)].cast<std::int64_t>();
        return std::move(a);
    }
    if (numbers) {
        py::array_t<double> a(n);
        for (py::ssize_t i = 0; i < n; ++i) {
            const py::object &c = cells[size_t(i)];
            a.mutable_at(i) = c.is_none() ? std::nan("") : c.cast<double>();
        }
        return std::move(a);
    }
    if (flags) {
        py::array_t<bool> a(n);
        for (py::ssize_t i = 0; i < n; ++i)
            a.mutable_at(i) = cells[size_t(i)].cast<bool>();
        return std::move(a);
    }
    py::list l;
    for (const py::object &c : cells)
        l.append(c);
    return std::move(l);
}

// Parsed JSON with every list of objects (a row per crystal, per harmonic) turned into a dict
// of columns under the same keys.
py::object columns(const py::handle &value)
{
    if (py::isinstance<py::dict>(value)) {
        py::dict out;
        for (const auto item : py::reinterpret_borrow<py::dict>(value))
            out[item.first] = columns(item.second);
        return std::move(out);
    }
    if (!py::isinstance<py::list>(value))
        return py::reinterpret_borrow<py::object>(value);
    const auto list = py::reinterpret_borrow<py::list>(value);
    bool rows = list.size() > 0;
    for (const py::handle item : list)
        rows = rows && py::isinstance<py::dict>(item);
    if (!rows) {
        py::list out;
        for (const py::handle item : list)
            out.append(columns(item));
        return std::move(out);
    }
    std::vector<std::string> keys;
    for (const py::handle row : list) {
        for (const auto item : py::reinterpret_borrow<py::dict>(row)) {
            const auto key = item.first.cast<std::string>();
            if (std::find(keys.begin(), keys.end(), key) == keys.end())
                keys.push_back(key);
        }
    }
    py::dict out;
    for (const std::string &key : keys) {
        std::vector<py::object> cells;
        for (const py::handle row : list) {
            const auto r = py::reinterpret_borrow<py::dict>(row);
            cells.push_back(r.contains(key) ? columns(r[py::str(key)]) : py::none());
        }
        out[py::str(key)] = column(key, cells);
    }
    return std::move(out);
}

// A document for Python, which offers no undo: its changes keep no undo steps.
DocumentPtr newDocument()
{
    auto doc = std::make_unique<DesignDocument>();
    doc->setKeepsUndoSteps(false);
    return doc;
}

DocumentPtr copyOf(const DesignDocument &doc)
{
    DocumentPtr copy = newDocument();
    copy->copyFrom(doc);
    return copy;
}

py::object report(const DesignDocument &doc, const py::object &rays, const py::object &seed)
{
    if (rays.is_none())
        return toPy(QJsonValue(designReportObject(doc, reportFile(doc))));
    if (!py::isinstance<py::int_>(rays) || PyBool_Check(rays.ptr()))
        throw py::type_error("rays is an int or None");
    if (!py::isinstance<py::int_>(seed) || PyBool_Check(seed.ptr()))
        throw py::type_error("seed is an int");
    const py::int_ n(rays);
    const py::int_ s(seed);
    if (n < py::int_(1) || n > py::int_(kMaxRays))
        throw py::value_error(QStringLiteral("rays=%1: the number of rays is a whole number from "
                                             "1 to %2")
                                  .arg(toQString(py::repr(n)))
                                  .arg(kMaxRays)
                                  .toStdString());
    if (s < py::int_(0) || s > py::int_(kMaxSeed))
        throw py::value_error(QStringLiteral("seed=%1: the seed is a whole number from 0 to %2")
                                  .arg(toQString(py::repr(s)))
                                  .arg(kMaxSeed)
                                  .toStdString());
    RayTraceParams params;
    params.rays = n.cast<qint64>();
    params.seed = s.cast<quint64>();
    // The trace runs without the interpreter's lock, on a copy that no other thread can change.
    const DocumentPtr copy = copyOf(doc);
    const QString file = reportFile(doc);
    QJsonObject object;
    {
        py::gil_scoped_release unlocked;
        object = designReportObject(*copy, file, params);
    }
    return toPy(QJsonValue(object));
}

void warnNotes(const QString &path, const ReadResult &r)
{
    if (r.notes.isEmpty())
        return;
    const QString text = QStringLiteral("%1: %2").arg(path, DesignFile::describe(r.notes));
    const py::object category = py::module_::import("lumivard").attr("LoadWarning");
    if (PyErr_WarnEx(category.ptr(), text.toUtf8().constData(), 2) != 0)
        throw py::error_already_set();
}

void setOne(DesignDocument &doc, const py::handle &name, const py::handle &value)
{
    if (!py::isinstance<py::str>(name))
        throw py::type_error("a field's name is a str, such as \"DE\" or \"crystal.3.X\"");
    const EditError why = doc.apply(toQString(name), valueText(value));
    if (why)
        raiseEditError(why);
}

void setMany(DesignDocument &doc, const py::object &edits)
{
    // The texts first, so that a value of the wrong type changes nothing either.
    std::vector<std::pair<py::object, QString>> texts;
    const py::object items = py::hasattr(edits, "items") ? edits.attr("items")() : edits;
    for (const py::handle item : items) {
        const auto pair = py::reinterpret_borrow<py::object>(item);
        if (!(py::isinstance<py::tuple>(pair) || py::isinstance<py::list>(pair))
            || py::len(pair) != 2)
            throw py::type_error("set_many takes a dict, or pairs (name, value)");
        const py::object name = pair[py::int_(0)];
        if (!py::isinstance<py::str>(name))
            throw py::type_error("a field's name is a str, such as \"DE\" or \"crystal.3.X\"");
        texts.emplace_back(name, valueText(pair[py::int_(1)]));
    }
    // In order, as several --set options are made; all or nothing.
    const DocumentPtr before = copyOf(doc);
    for (const auto &t : texts) {
        const EditError why = doc.apply(toQString(t.first), t.second);
        if (why) {
            doc.copyFrom(*before);
            raiseEditError(why);
        }
    }
}

QString describeDesign(const DesignDocument &doc)
{
    const Design &d = doc.design();
    const QString material
        = d.materialName().isEmpty() ? QStringLiteral("no material") : d.materialName();
    QString text = QStringLiteral("<lumivard.Design %1 %2 %3 %4, type %5, %6 crystals, E0 %7 eV, "
                                  "dE %8 eV")
                       .arg(material, d.indexH, d.indexK, d.indexL)
                       .arg(d.type)
                       .arg(d.crystals.size())
                       .arg(d.startEnergy, d.energyStep);
    if (!doc.currentFile().isEmpty())
        text += QStringLiteral(", file %1").arg(doc.currentFile());
    return text + QLatin1Char('>');
}

} // namespace

std::unique_ptr<DesignDocument> loadDesign(const py::object &path)
{
    const QString p = pathText(path);
    DocumentPtr doc = newDocument();
    const ReadResult r = doc->load(p);
    if (r.status == ReadResult::CannotRead)
        raiseFileError(p, r.error, false);
    if (r.status == ReadResult::NoDesign)
        throw py::value_error(QStringLiteral("%1 holds no design").arg(p).toStdString());
    warnNotes(p, r);
    return doc;
}

std::unique_ptr<DesignDocument> readDesign(const py::str &text)
{
    DocumentPtr doc = newDocument();
    const ReadResult r = doc->read(toQString(text));
    if (r.status == ReadResult::NoDesign)
        throw py::value_error("the text holds no design");
    warnNotes(QStringLiteral("<text>"), r);
    return doc;
}

std::unique_ptr<DesignDocument> copyDesign(const DesignDocument &doc)
{
    return copyOf(doc);
}

void bindDesign(py::module_ &m)
{
    py::class_<DesignDocument, DocumentPtr> c(m, "Design", R"doc(
A design: the material and arrangement panels, every crystal, and the focus and image histories.

Design() is the design the program starts with: Si 1 1 1, ten crystals of type 3 from 8000 eV down
in steps of 15 eV. Change it with set() and set_many(), exactly as typing into the program's fields
and pressing Return does. Units: energies in eV, angles in degrees, lattice constants and spacings
in Angstrom, positions and lengths in the design's length unit (that of dX, dY and Length).
)doc");

    c.def(py::init(&newDocument),
          "Design()\n\nThe default design: Si 1 1 1, ten type-3 crystals from 8000 eV in steps of "
          "-15 eV.");
    c.def("copy",
          &copyDesign,
          "copy() -> Design\n\nAn independent copy: the same design, histories and file; changing "
          "one "
          "leaves the other.");
    c.def("__copy__", &copyDesign);
    c.def(
        "__deepcopy__",
        [](const DesignDocument &doc, const py::dict &) { return copyDesign(doc); },
        py::arg("memo"));
    c.def("__repr__", [](const DesignDocument &doc) { return toPy(describeDesign(doc)); });

    c.def(
        "save",
        [](DesignDocument &doc, const py::object &path) {
            const QString p = pathText(path);
            QString error;
            if (!doc.save(p, &error))
                raiseFileError(p, error, true);
        },
        py::arg("path"),
        R"doc(save(path: str | os.PathLike) -> None

Writes the design file (what `text` holds), whole or not at all; it becomes `file`.

OSError (FileNotFoundError for a missing folder, PermissionError, IsADirectoryError) when it
cannot be written; a file that was there is then left as it was.)doc");
    c.def_property_readonly(
        "text",
        [](const DesignDocument &doc) { return toPy(doc.text()); },
        "The design file as save() writes it (str, lines ending in \\n).");
    c.def_property_readonly(
        "file",
        [](const DesignDocument &doc) -> py::object {
            if (doc.currentFile().isEmpty())
                return py::none();
            return toPy(doc.currentFile());
        },
        "The design file last loaded or saved, as an absolute path; None when there is none.");

    c.def("set",
          &setOne,
          py::arg("name"),
          py::arg("value"),
          R"doc(set(name: str, value: str | int | float | tuple) -> None

Types `value` into the field `name` and presses Return, as --set NAME=VALUE does.

Names: StartE (eV), DE (eV), Num, DX, DY, Length, LatticeC (Angstrom), Type (1 to 7),
RotateAll (degrees; also ticks "Rotate All"), Material ("Si" or "Ge"), Index ("h,k,l" or a
tuple (h, k, l)), and crystal.N.X, .Y, .Deg, .Energy, .Length for crystal N (from 1); the
source of the Bands window: Source.Distance (from crystal 1's centre, design length unit, above
0), Source.Size (FWHM, design length unit), Source.Divergence (FWHM, microradians; 0 for a
parallel beam), Polarisation ("sigma", "pi", "unpolarised" or a degree from -1 to 1) and
Temperature (of the crystals, degrees C).
A str is typed as it is, an int in decimal, a float with 15 significant digits (as --sweep
types its values). The crystals are laid out and traced again, and the focus and image
histories gain an entry.

Raises KeyError for an unknown name, ValueError for a value the field refuses, IndexError for a
crystal the design does not have, each with the command line's message; the design is then
unchanged. TypeError for a value that is neither a str nor a number.)doc");
    c.def("set_many",
          &setMany,
          py::arg("edits"),
          R"doc(set_many(edits: dict | iterable of (name, value)) -> None

Makes several set() changes in the order given (a dict, or (name, value) pairs), as
several --set options do: each sees the design the ones before it left.

All or nothing: when one is refused, the design, its histories and its file are as they were
before the call, and the exception is that of set().)doc");

    // The panels, as the layout and the physics read their texts (a text that is not a number
    // reads as 0, as in the report).
    c.def_property_readonly(
        "material",
        [](const DesignDocument &doc) -> py::object {
            const QString name = doc.design().materialName();
            if (name.isEmpty())
                return py::none();
            return toPy(name);
        },
        "The crystal material, \"Si\" or \"Ge\"; None for a file's material outside the list.");
    c.def_property_readonly(
        "lattice_constant",
        [](const DesignDocument &doc) { return doc.design().bandsMaterial().latticeConstant; },
        "The lattice constant of the material panel, Angstrom (Si 5.4301, Ge 5.6754 by default).");
    c.def_property_readonly(
        "index",
        [](const DesignDocument &doc) {
            const DesignMaterial m = doc.design().bandsMaterial();
            return py::make_tuple(m.h, m.k, m.l);
        },
        "The Miller indices (h, k, l) of the reflection, as floats.");
    c.def_property_readonly(
        "spacing",
        [](const DesignDocument &doc) { return doc.design().spacing; },
        "The lattice spacing d the crystals are laid out with, Angstrom.");
    c.def_property_readonly(
        "type",
        [](const DesignDocument &doc) { return doc.design().type; },
        "The arrangement type, 1 to 7.");
    c.def_property_readonly(
        "rotate_all",
        [](const DesignDocument &doc) { return doc.design().rotateAll; },
        "Whether \"Rotate All\" is ticked: every crystal turned about the origin.");
    c.def_property_readonly(
        "rotate_all_deg",
        [](const DesignDocument &doc) { return doc.design().rotateAllDeg.toDouble(); },
        "The angle of \"Rotate All\", degrees.");
    c.def_property_readonly(
        "start_energy",
        [](const DesignDocument &doc) { return doc.design().layoutParams().startEnergy; },
        "The start energy E0, eV: crystal 1 reflects it.");
    c.def_property_readonly(
        "energy_step",
        [](const DesignDocument &doc) { return doc.design().layoutParams().energyStep; },
        "The energy step dE, eV: crystal i reflects E0 + (i - 1) dE.");
    c.def_property_readonly(
        "count",
        [](const DesignDocument &doc) { return doc.design().layoutParams().count; },
        "\"Num of C.\" as the layout reads it: whole, at most 1000, 0 for a text that is not.");
    c.def_property_readonly(
        "dx",
        [](const DesignDocument &doc) { return doc.design().layoutParams().dx; },
        "The spacing dX of the arrangement, design length unit.");
    c.def_property_readonly(
        "dy",
        [](const DesignDocument &doc) { return doc.design().layoutParams().dy; },
        "The spacing dY of the arrangement, design length unit.");
    c.def_property_readonly(
        "length",
        [](const DesignDocument &doc) { return doc.design().layoutParams().length; },
        "The length L of a laid-out crystal, design length unit.");
    c.def_property_readonly(
        "comment",
        [](const DesignDocument &doc) { return toPy(doc.design().comment); },
        "The design file's comment.");

    // The source of the Bands window and the crystals' temperature.
    c.def_property_readonly(
        "source_distance",
        [](const DesignDocument &doc) { return doc.design().source.distance; },
        "Source.Distance: from crystal 1's centre upstream along the incident beam, design length "
        "unit.");
    c.def_property_readonly(
        "source_size",
        [](const DesignDocument &doc) { return doc.design().source.size; },
        "Source.Size: the FWHM of the source across the beam, design length unit (0: a point).");
    c.def_property_readonly(
        "source_divergence",
        [](const DesignDocument &doc) { return doc.design().source.divergence; },
        "Source.Divergence: the FWHM of the rays' directions, microradians (0: a parallel beam).");
    c.def_property_readonly(
        "polarisation",
        [](const DesignDocument &doc) {
            return toPy(Reflection::polarisationText(doc.design().source.polarisation));
        },
        "Polarisation as set() takes it: \"sigma\", \"pi\", \"unpolarised\" or the degree.");
    c.def_property_readonly(
        "polarisation_degree",
        [](const DesignDocument &doc) { return doc.design().source.polarisation.degree; },
        "The degree of linear polarisation: 1 sigma, -1 pi, 0 unpolarised.");
    c.def_property_readonly(
        "temperature",
        [](const DesignDocument &doc) { return doc.design().source.temperature; },
        "Temperature: of the crystals, degrees C; it sets the real crystal's lattice constant.");

    c.def_property_readonly("crystals", &crystalTable, R"doc(
The crystal table, bit for bit what --csv writes: a dict of NumPy arrays, one per column, one row
per crystal in list order (a new dict at every access).

no (int64, from 1); x, y: the surface centre; angle_deg: the surface angle, degrees; energy_eV:
the energy it reflects with the design's spacing (negative where no reflection exists); length
(signed as stored); in_beam_centre, beam_width: the middle height and the signed height of the
part of the beam it intercepts; start_x, start_y, end_x, end_y: the ends of its surface. Lengths
and positions in the design's length unit; NaN and inf where the geometry gives them.)doc");
    c.def_property_readonly(
        "focus",
        [](const DesignDocument &doc) { return newestEntry(doc, doc.focusHistory()); },
        R"doc(The focus read-out (x, y): the average of the crossings of the reflected centre rays of
every pair of crystals, design length unit. None with fewer than two crystals that reflect.)doc");
    c.def_property_readonly(
        "image",
        [](const DesignDocument &doc) { return newestEntry(doc, doc.imageHistory()); },
        R"doc(The image point read-out (x, y), design length unit. None with fewer than two
crystals that reflect.)doc");
    c.def_property_readonly(
        "least_squares_focus",
        [](const DesignDocument &doc) {
            const Design &d = doc.design();
            return pointOrNone(analyseBands(d.bandsMaterial(), d.crystalList()).focus.focus);
        },
        R"doc(The point (x, y) nearest to the reflected centre lines of the crystals that reflect
(least squares), design length unit; None when they are fewer than two or all parallel. Its RMS
distance is bands()["focus"]["rms"].)doc");
    c.def_property_readonly(
        "crossings",
        [](const DesignDocument &doc) { return pointArray(doc.crossings()); },
        R"doc(The crossing of the reflected centre rays of every pair (i, j), i < j, in pair order:
an (n (n - 1) / 2, 2) float64 array of x, y, design length unit.)doc");
    c.def_property_readonly(
        "centres",
        [](const DesignDocument &doc) { return pointArray(doc.centres()); },
        "The middle of every crystal's surface: an (n, 2) float64 array, design length unit.");
    c.def_property_readonly(
        "focus_history",
        [](const DesignDocument &doc) { return pointArray(doc.focusHistory()); },
        R"doc(Every focus since the design was made, oldest first: an (m, 2) float64 array, one
row per tracing with two crystals or more.)doc");
    c.def_property_readonly(
        "image_history",
        [](const DesignDocument &doc) { return pointArray(doc.imageHistory()); },
        "Every image point since the design was made, oldest first, as focus_history.");

    c.def("report",
          &report,
          py::arg("rays") = py::none(),
          py::arg("seed") = 1,
          R"doc(report(rays: int | None = None, seed: int = 1) -> dict

The whole JSON report as a dict: json.loads of what `lumivard --batch FILE --json`
writes, with FILE the absolute path in `file` (None when the design has no file).

Keys: file, panels, crystals (the table as a list of dicts), readouts (focus, image: text, x, y,
distance), history (the newest entries), bands (see bands()), rays. Numbers that are not finite
are None. Units as in the class's documentation; band widths in microradians.

With rays=N (1 to 100000000) "rays" holds a Monte-Carlo ray trace of N rays from the design's
source, as --rays N --seed SEED adds it: per crystal the traced energies and efficiency (eV),
the peak efficiency, the photons (eV of a flat spectrum) with their counting errors, and the spot
at the least-squares focus (design length unit). The same seed (0 to 2**53) traces the same rays;
the interpreter's lock is released while they run. Without rays it is None. ValueError for a
number of rays or a seed out of range.)doc");
    c.def(
        "bands",
        [](const DesignDocument &doc) {
            const QJsonObject report = designReportObject(doc, reportFile(doc));
            return columns(toPy(report.value(QStringLiteral("bands"))));
        },
        R"doc(bands() -> dict

The physics of the Bands window: report()["bands"], with every list of objects (a
row per crystal, per harmonic) turned into a dict of columns under the same keys.

A column of numbers is a float64 array with NaN where the report has null, "no" (the crystal
number) an int64 array, a column of booleans a bool array, anything else a list. Energies and
band edges in eV, the widths of the reflection curves (fwhmSigma_urad, fwhmPi_urad) in
microradians, positions in the design's length unit, coverage.fraction from 0 to 1.)doc");

    c.def(py::pickle([](const DesignDocument &doc) { return toPy(doc.text()); },
                     [](const py::str &text) { return readDesign(text); }));
}
