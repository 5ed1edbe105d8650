// The module lumivard_render: pictures of the plot windows, as --image draws them. It is the one
// part of the Python interface that needs QtGui (fonts, a painter, SVG and PDF), so lumivard
// imports it only when lumivard.render() is first called.
#include "designdocument.h"
#include "pybind.h"
#include "pyconvert.h"
#include "scene.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSaveFile>

#include <stdexcept>

namespace py = pybind11;
using namespace PyConvert;

namespace {

// The application object the painting needs, made once on the offscreen platform; an
// application made before by someone else (a Qt GUI in the same interpreter) serves as well.
void needGuiApplication()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    if (QCoreApplication::instance())
        throw std::runtime_error("pictures need a QGuiApplication, and this process already has "
                                 "another kind of Qt application object");
    static int argc = 3;
    static char name[] = "lumivard", option[] = "-platform", platform[] = "offscreen";
    static char *argv[] = {name, option, platform, nullptr};
    // Lives as long as the interpreter: Qt's objects are made and kept on it from now on.
    new QGuiApplication(argc, argv);
}

void render(const DesignDocument &doc,
            const py::object &windowName,
            const py::object &path,
            const py::object &size)
{
    if (!py::isinstance<py::str>(windowName))
        throw py::type_error("the window is a str: overall, crystals, focus or imaging");
    PlotView which = PlotView::Overall;
    if (!plotViewFromKey(toQString(windowName), &which))
        throw py::value_error(
            QStringLiteral("no window named %1 (overall, crystals, focus, imaging)")
                .arg(toQString(windowName))
                .toStdString());
    const QString file = pathText(path);
    const PlotFormat format = plotFormatOf(file);
    if (format == PlotFormat::Unknown)
        throw py::value_error(
            QStringLiteral("%1: the file must end in .png, .svg or .pdf").arg(file).toStdString());
    QSize pixels = plotWindowSize(which);
    if (!size.is_none()) {
        try {
            const auto wh = size.cast<std::pair<int, int>>();
            pixels = QSize(wh.first, wh.second);
        } catch (const py::cast_error &) {
            throw py::type_error("the size is (width, height) in pixels");
        }
    }

    needGuiApplication();
    const DesignScene scene(doc);
    QByteArray bytes;
    QString why;
    if (!plotPictureBytes(defaultViewPicture(scene, which), format, pixels, 1.0, bytes, &why))
        throw py::value_error(why.toStdString());
    QSaveFile out(file);
    if (!(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit()))
        raiseFileError(file, out.errorString(), true);
}

} // namespace

PYBIND11_MODULE(lumivard_render, m)
{
    m.doc() = "Pictures of a design's plot windows for lumivard.render(); the one part of the "
              "module that needs QtGui, imported on first use.";
    py::options options;
    options.disable_function_signatures();
    // Designs are lumivard's; this module draws them.
    py::module_::import("lumivard");
    m.def("render",
          &render,
          py::arg("design"),
          py::arg("window"),
          py::arg("path"),
          py::arg("size") = py::none(),
          "render(design, window, path, size=None) -> None\n\nSee lumivard.render().");
}
