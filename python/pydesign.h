#pragma once

#include "pybind.h"

#include <memory>

class DesignDocument;

// The Python class Design: a DesignDocument with the command line's edits, the crystal table as
// NumPy arrays, the read-outs and the JSON report.
void bindDesign(pybind11::module_ &m);

// lumivard.load(path), lumivard.loads(text) and Design.copy().
std::unique_ptr<DesignDocument> loadDesign(const pybind11::object &path);
std::unique_ptr<DesignDocument> readDesign(const pybind11::str &text);
std::unique_ptr<DesignDocument> copyDesign(const DesignDocument &doc);
