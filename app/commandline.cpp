#include "commandline.h"

#include "language.h"

CommandLine parseCommandLine(const QStringList &args)
{
    CommandLine line;
    line.japanese = japaneseInterface(args);
    for (int i = 1; i < args.size() && line.designFile.isEmpty(); ++i) {
        if (!args.at(i).isEmpty() && !args.at(i).startsWith(QLatin1Char('-')))
            line.designFile = args.at(i);
    }
    return line;
}
