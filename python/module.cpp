#include "designdocument.h"
#include "pybind.h"
#include "pyconvert.h"
#include "pydesign.h"
#include "pysweep.h"

namespace py = pybind11;

PYBIND11_MODULE(lumivard, m)
{
    m.doc() = R"doc(Lumivard's designs of flat X-ray analyser crystal arrays, from Python.

The same core as the program and its command line, so the same numbers to the last bit:

    import lumivard
    d = lumivard.Design()                 # Si 1 1 1, ten type-3 crystals from 8000 eV, dE -15 eV
    d.set("DE", -5)                       # as --set DE=-5: typed into the field, Return pressed
    d.crystals["energy_eV"]               # the crystal table (--csv) as NumPy arrays
    d.focus, d.image                      # the read-outs (x, y)
    d.report()["bands"]["coverage"]       # the JSON report (--json) as a dict
    t = lumivard.sweep(d, "DE", lumivard.sweep_values(-0.5, -15, -0.5))   # --sweep
    d.save("design.cfg"); lumivard.load("design.cfg")

Units: energies in eV, angles in degrees (widths of reflection curves in microradians, as their
names say), lattice constants and spacings in Angstrom, positions and lengths in the design's
length unit (that of dX, dY and Length).

Errors are Python exceptions: KeyError for a name no field has, ValueError for a value a field
refuses or a file that holds no design, IndexError for a crystal a design does not have,
FileNotFoundError and other OSErrors for files that cannot be read or written. A file that loads
with lines the program did not understand gives a LoadWarning.)doc";
    m.attr("__version__") = LUMIVARD_VERSION;

    // Each docstring starts with its signature in Python's types, not pybind11's C++ ones.
    py::options options;
    options.disable_function_signatures();

    // Raised as a warning by load() and loads(): the design loaded as far as the file allowed.
    m.attr("LoadWarning") = py::reinterpret_steal<py::object>(
        PyErr_NewExceptionWithDoc("lumivard.LoadWarning",
                                  "A design file held lines that a load could not follow (unknown "
                                  "keys, values that are not numbers, missing crystals); the "
                                  "design loaded as far as it could.",
                                  PyExc_UserWarning,
                                  nullptr));

    bindDesign(m);

    m.def("load",
          &loadDesign,
          py::arg("path"),
          R"doc(load(path: str | os.PathLike) -> Design

Loads a design file as the program's Load does and returns its Design.

FileNotFoundError, PermissionError, IsADirectoryError or OSError when the file cannot be read,
ValueError when it holds no design; LoadWarning (a warning) for lines it could not follow.)doc");
    m.def("loads",
          &readDesign,
          py::arg("text"),
          R"doc(loads(text: str) -> Design

The Design that a design file with this text holds (the inverse of Design.text);
ValueError when the text holds no design.)doc");
    bindSweep(m);

    m.def(
        "render",
        [](const py::object &design,
           const py::object &window,
           const py::object &path,
           const py::object &size) {
            py::module_::import("lumivard_render").attr("render")(design, window, path, size);
        },
        py::arg("design"),
        py::arg("window"),
        py::arg("path"),
        py::arg("size") = py::none(),
        R"doc(render(design: Design, window: str, path: str | os.PathLike, size=None) -> None

Writes the picture of a plot window at its default view, as --image WINDOW=OUT draws it: window
"overall", "crystals", "focus" or "imaging"; PNG (pixels), SVG or PDF (vector drawings) by the
suffix of path; size (width, height) in pixels, else the size the window opens at (900 x 600,
600 x 400, 400 x 400, 400 x 400). The texts are English.

The first call imports lumivard_render, which loads QtGui and starts a QGuiApplication on the
offscreen platform (no display needed); nothing else in the module needs either. Call it from the
main thread. ValueError for another window name or suffix or a size the picture cannot have,
TypeError for a size that is not two ints, OSError when the file cannot be written.)doc");
}
