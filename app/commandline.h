#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, from the arguments that QApplication leaves (the program
// first): the interface language by the last "-j" or "-e" (japaneseInterface), and the first
// argument that is not an option (does not begin with "-") as a design file to open once the
// window is up. Other options are ignored.
struct CommandLine
{
    bool japanese = true;
    QString designFile; // empty when none is given
};

CommandLine parseCommandLine(const QStringList &args);
