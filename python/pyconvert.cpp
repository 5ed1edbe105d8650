#include "pyconvert.h"

#include "designdocument.h"
#include "sweep.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>

#include <cerrno>
#include <cmath>
#include <limits>

namespace PyConvert {

QString toQString(const py::handle &text)
{
    // A str with a lone surrogate has no UTF-8: UnicodeEncodeError, a ValueError.
    Py_ssize_t size = 0;
    const char *utf8 = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
    if (!utf8)
        throw py::error_already_set();
    if (size > std::numeric_limits<int>::max())
        throw py::value_error("a text of more than 2 GiB");
    return QString::fromUtf8(utf8, static_cast<int>(size));
}

py::str toPy(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return py::str(utf8.constData(), static_cast<size_t>(utf8.size()));
}

QString valueText(const py::handle &value)
{
    if (py::isinstance<py::str>(value))
        return toQString(value);
    if (PyBool_Check(value.ptr()))
        throw py::type_error("a field takes a str or a number, not a bool");
    if (PyLong_Check(value.ptr()))
        return toQString(py::str(value));
    if (PyFloat_Check(value.ptr()))
        return sweepValueText(value.cast<double>());
    if (py::isinstance<py::tuple>(value) || py::isinstance<py::list>(value)) {
        QStringList items;
        for (const py::handle item : value)
            items.append(valueText(item));
        return items.join(QLatin1Char(','));
    }
    // NumPy's scalars: its integers have __index__, its floats __float__.
    if (py::hasattr(value, "__index__")) {
        PyObject *whole = PyNumber_Index(value.ptr());
        if (!whole)
            throw py::error_already_set();
        return toQString(py::str(py::reinterpret_steal<py::object>(whole)));
    }
    if (py::hasattr(value, "__float__"))
        return sweepValueText(py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>());
    throw py::type_error("a field takes a str or a number, not "
                         + std::string(py::str(py::type::handle_of(value).attr("__name__"))));
}

QString pathText(const py::handle &path)
{
    const py::bytes name = py::module_::import("os").attr("fsencode")(path);
    const std::string_view bytes = name;
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw py::value_error("a path of more than 2 GiB");
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<int>(bytes.size())));
}

void raiseEditError(const EditError &why)
{
    const std::string message = why.message.toStdString();
    switch (why.kind) {
    case EditError::UnknownName:
        throw py::key_error(message);
    case EditError::NoSuchCrystal:
        throw py::index_error(message);
    case EditError::Refused:
    case EditError::None:
        break;
    }
    throw py::value_error(message);
}

void raiseFileError(const QString &path, const QString &reason, bool writing)
{
    // OSError(errno, text, filename) makes the subclass that errno names (FileNotFoundError,
    // PermissionError, IsADirectoryError); EIO leaves a plain OSError.
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    int number = EIO;
    if (file.isDir())
        number = EISDIR;
    else if (!writing && !file.exists())
        number = ENOENT;
    else if (writing && !folder.isDir())
        number = ENOENT;
    else if (writing ? !folder.isWritable() || (file.exists() && !file.isWritable())
                     : !file.isReadable())
        number = EACCES;
    const py::object error
        = py::reinterpret_borrow<py::object>(PyExc_OSError)(number, toPy(reason), toPy(path));
    PyErr_SetObject(reinterpret_cast<PyObject *>(Py_TYPE(error.ptr())), error.ptr());
    throw py::error_already_set();
}

py::object toPy(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    case QJsonValue::Bool:
        return py::bool_(value.toBool());
    case QJsonValue::Double: {
        // The text QJsonDocument writes for a finite number (the report holds no other).
        const double v = value.toDouble();
        const QByteArray text = QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
        if (text.contains('.') || text.contains('e') || !std::isfinite(v))
            return py::float_(v);
        return py::reinterpret_steal<py::object>(PyLong_FromString(text.constData(), nullptr, 10));
    }
    case QJsonValue::String:
        return toPy(value.toString());
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        py::list list(static_cast<size_t>(array.size()));
        for (int i = 0; i < array.size(); ++i)
            list[static_cast<size_t>(i)] = toPy(array.at(i));
        return std::move(list);
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        py::dict dict;
        for (auto i = object.begin(); i != object.end(); ++i)
            dict[toPy(i.key())] = toPy(i.value());
        return std::move(dict);
    }
    }
    return py::none();
}

} // namespace PyConvert
