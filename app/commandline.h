#pragma once

#include "raytrace.h"
#include "sweep.h"

#include <QPair>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

// The program's command line: the windows with an optional design file, or a batch run without a
// window that loads a design, changes fields, writes files and sweeps one parameter.

// One change of the design as a user makes it: VALUE typed into the field NAME and Return pressed,
// or the choice NAME clicked.
struct Setting
{
    QString name;
    QString value;
};

struct CommandLine
{
    bool japanese = true;
    bool help = false;
    bool version = false;
    bool batch = false;
    // The design: opened in the windows, or run in a batch ("-" the default design).
    QString file;
    QVector<Setting> settings;
    QString saveTo;
    QString csvTo;
    QString jsonTo;
    // Plot window name (overall, crystals, focus, imaging) and the file of its picture.
    QVector<QPair<QString, QString>> images;
    // Picture size; invalid for each window's own size.
    QSize imageSize;
    bool sweeping = false;
    Sweep sweep;
    // --rays N: a ray trace of N rays into the JSON report, from the seed (--seed, default 1).
    qint64 rays = 0;
    quint64 seed = 1;
    // A design file that was not all understood fails the run instead of a warning.
    bool strict = false;
    // One line naming the argument at fault; empty when the command line can be run.
    QString error;
};

// Reads the arguments the application object leaves (the program first). The windows take "-e"
// and "-j" (the last one wins) and the first other argument that is not an option as the design
// file, and ignore every other argument; a batch run refuses whatever it does not know.
CommandLine parseCommandLine(const QStringList &args);

// The usage text of --help.
QString commandLineHelp();

// Whether the raw arguments ask for a run without a window (--batch, --help, --version), so that
// the platform can be chosen before the application object exists.
bool runsWithoutWindow(int argc, char **argv);
// Whether the raw arguments ask for pictures (--image), which need fonts and a painter: a run
// without a window then starts a QGuiApplication on the offscreen platform, else a
// QCoreApplication.
bool drawsPictures(int argc, char **argv);

// Names that --set and --sweep accept, and whether one takes a number (all but Material, Index).
bool isSettingName(const QString &name);
bool isNumericSetting(const QString &name);
