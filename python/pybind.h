#pragma once

// pybind11 for the bindings, whatever Qt header came first: Qt defines `slots` as a keyword,
// which Python's object.h uses as a member name.
#pragma push_macro("slots")
#undef slots
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#pragma pop_macro("slots")
