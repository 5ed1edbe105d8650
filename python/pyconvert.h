#pragma once

#include "pybind.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>

struct EditError;

// What the module's bindings share: texts across the boundary, values typed into fields, file
// paths, and the exceptions a C++ failure becomes.
namespace PyConvert {

namespace py = pybind11;

// A str (nothing else) as a QString.
QString toQString(const py::handle &text);
py::str toPy(const QString &text);

// The text typed into a field for a Python value: a str as it is; an int in decimal; a float (or
// anything with __float__) with 15 significant digits, as --sweep types its values; a tuple or list
// as its items joined by commas (Index=h,k,l). TypeError for anything else, bool included.
QString valueText(const py::handle &value);

// A path given as str, bytes or os.PathLike, as the file system names it.
QString pathText(const py::handle &path);

// Raises the exception an edit that was not made becomes: KeyError for an unknown name, IndexError
// for a crystal the design does not have, ValueError for a value the field refuses; each carries
// the command line's message.
[[noreturn]] void raiseEditError(const EditError &why);

// Raises the OSError subclass that fits a file that could not be read (or written): the number
// errno would have, Qt's reason as its text, the path as its filename.
[[noreturn]] void raiseFileError(const QString &path, const QString &reason, bool writing);

// A JSON value as Python values, exactly what json.loads makes of the text Qt writes for it: a
// number written without a point or an exponent ("8000", "-0") becomes an int, any other a
// float; null None, objects dicts with their keys in the written (sorted) order.
py::object toPy(const QJsonValue &value);

} // namespace PyConvert
