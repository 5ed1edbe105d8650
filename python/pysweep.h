#pragma once

#include "pybind.h"

// lumivard.sweep(design, name, values) and lumivard.sweep_values(start, stop, step): the command
// line's --sweep from Python.
void bindSweep(pybind11::module_ &m);
