#pragma once

#include "commandline.h"

#include <QByteArray>

class Body;
class QIODevice;

// Exit statuses of a batch run: success, a mistake in what was asked (nothing is written), a file
// that could not be read or written.
enum BatchStatus { BatchOk = 0, BatchRefused = 1, BatchFileError = 2 };

// Runs a batch on a main window of its own, which is never shown: loads the design as Load does,
// makes the --set changes as a user types them, runs the sweep, and only then writes the files
// asked for, each complete or not at all. Standard output gets the one output named "-"; err
// gets one line for a failure. Returns the exit status.
int runBatch(const CommandLine &cl, QIODevice &out, QIODevice &err);

// Makes one change as a user does: VALUE typed into the field NAME and Return pressed, or the
// choice clicked. Empty when the window took it, else why not (a value the field refuses, a
// crystal that does not exist).
QString applySetting(Body &body, const Setting &setting);

// The JSON document of --json: the panels' values, every crystal as the crystal table has it,
// the focus and image read-outs with their full-precision values, the newest history entry and
// the analysis of the Bands window. Numbers that are not finite are null.
QByteArray batchJson(Body &body, const QString &file);

// The header and one row of the sweep table for the design as it stands after `value` was typed.
QByteArray sweepHeader();
QByteArray sweepRow(Body &body, const QString &value);
