#pragma once

#include "commandline.h"

class QIODevice;

// Exit statuses of a batch run: success, a mistake in what was asked (nothing is written), a file
// that could not be read or written.
enum BatchStatus { BatchOk = 0, BatchRefused = 1, BatchFileError = 2 };

// Runs a batch on a design document without any window: loads the design as Load does (what it
// did not understand is one warning line, or with --strict a file error), makes the
// --set changes as a user types them, runs the sweep, and only then writes the files asked for,
// each complete or not at all. Standard output gets the one output named "-"; err gets one line
// for a failure. Pictures need a QGuiApplication; nothing else needs more than QCoreApplication.
// Returns the exit status.
int runBatch(const CommandLine &cl, QIODevice &out, QIODevice &err);
