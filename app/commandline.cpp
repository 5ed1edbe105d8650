#include "commandline.h"

#include "designdocument.h"
#include "numbers.h"
#include "scene.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cmath>
#include <cstring>

namespace {

const QStringList kPictureSuffixes
    = {QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf")};

// The largest picture a batch run draws on each side: a mistyped size must not exhaust memory.
constexpr int kMaxPictureSide = 16384;

QString describeDescription()
{
    return QStringLiteral(
        "Design arrays of flat X-ray analyser crystals.\n"
        "\n"
        "Without --batch the windows open, with FILE loaded as Load would.\n"
        "With --batch no window appears: FILE (or - for the default design) is loaded, the --set\n"
        "changes are made in order, and the files asked for are written.\n"
        "\n"
        "Names for --set and --sweep: StartE, DE, Num, DX, DY, Length, Type (1 to 7),\n"
        "RotateAll (degrees; ticks \"Rotate All\"), Material (Si or Ge; not for --sweep),\n"
        "Index (h,k,l; not for --sweep), LatticeC, and crystal.N.X, crystal.N.Y,\n"
        "crystal.N.Deg, crystal.N.Energy, crystal.N.Length for crystal N (from 1);\n"
        "the source: Source.Distance (from crystal 1, above 0), Source.Size (FWHM, from 0),\n"
        "Source.Divergence (FWHM in microradians, 0 for a parallel beam), Polarisation\n"
        "(sigma, pi, unpolarised or -1 to 1), Temperature (of the crystals, degrees C).\n"
        "Windows for --image: overall, crystals, focus, imaging; the format follows the\n"
        "suffix (.png, .svg, .pdf). An output of - is standard output (a picture there is PNG).");
}

struct Options
{
    QCommandLineOption english{QStringLiteral("e"), QStringLiteral("English interface.")};
    QCommandLineOption japanese{QStringLiteral("j"),
                                QStringLiteral("Japanese interface (the default).")};
    QCommandLineOption batch{
        QStringLiteral("batch"),
        QStringLiteral("Run FILE without a window (- for the default design)."),
        QStringLiteral("FILE")};
    QCommandLineOption set{
        QStringLiteral("set"),
        QStringLiteral("Type VALUE into the field NAME and press Return (repeatable)."),
        QStringLiteral("NAME=VALUE")};
    QCommandLineOption save{
        QStringLiteral("save"), QStringLiteral("Write the design file."), QStringLiteral("OUT")};
    QCommandLineOption csv{
        QStringLiteral("csv"),
        QStringLiteral("Write the crystal table as CSV (with --sweep: the sweep table)."),
        QStringLiteral("OUT")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Write panels, crystals, read-outs and bands as JSON."),
                            QStringLiteral("OUT")};
    QCommandLineOption image{
        QStringLiteral("image"),
        QStringLiteral("Write a plot window's picture at its default view (repeatable)."),
        QStringLiteral("WINDOW=OUT")};
    QCommandLineOption size{QStringLiteral("size"),
                            QStringLiteral("Picture size in pixels (default: each window's own)."),
                            QStringLiteral("WxH")};
    QCommandLineOption sweep{
        QStringLiteral("sweep"),
        QStringLiteral("Run the design once per value of NAME; one CSV row per value."),
        QStringLiteral("NAME=FROM:TO:STEP")};
    QCommandLineOption rays{
        QStringLiteral("rays"),
        QStringLiteral("Trace N rays through the array into the JSON report (needs --json)."),
        QStringLiteral("N")};
    QCommandLineOption seed{
        QStringLiteral("seed"),
        QStringLiteral("Seed of the ray trace (default 1): the same seed, the same rays."),
        QStringLiteral("S")};
    QCommandLineOption strict{
        QStringLiteral("strict"),
        QStringLiteral("Fail (status 2) on a design file whose lines were not all understood.")};

    void addTo(QCommandLineParser &p) const
    {
        p.addOptions({english,
                      japanese,
                      batch,
                      set,
                      save,
                      csv,
                      json,
                      image,
                      size,
                      sweep,
                      rays,
                      seed,
                      strict});
    }
};

void setUp(QCommandLineParser &parser, const Options &o)
{
    // "-english" is one unknown option, not -e -n -g ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(describeDescription());
    parser.addHelpOption();
    parser.addVersionOption();
    o.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A design file to open."));
}

bool splitAtEquals(const QString &text, QString &name, QString &value)
{
    const int at = text.indexOf(QLatin1Char('='));
    if (at <= 0)
        return false;
    name = text.left(at);
    value = text.mid(at + 1);
    return true;
}

bool finiteNumber(const QString &text, double &value)
{
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

QString parseSweep(const QString &text, Sweep &sweep)
{
    QString name;
    QString range;
    if (!splitAtEquals(text, name, range))
        return QStringLiteral("--sweep %1: expected NAME=FROM:TO:STEP").arg(text);
    if (!isNumericSetting(name))
        return QStringLiteral("--sweep %1: no number named %2").arg(text, name);
    const QStringList parts = range.split(QLatin1Char(':'));
    Sweep s;
    s.name = name;
    if (parts.size() != 3 || !finiteNumber(parts[0], s.from) || !finiteNumber(parts[1], s.to)
        || !finiteNumber(parts[2], s.step))
        return QStringLiteral("--sweep %1: expected NAME=FROM:TO:STEP with three numbers")
            .arg(text);
    if (s.step == 0.0 || (s.to - s.from) / s.step < 0.0)
        return QStringLiteral("--sweep %1: the step must be non-zero and lead from FROM to TO")
            .arg(text);
    const double count = std::floor((s.to - s.from) / s.step + 1e-3) + 1.0;
    if (!(count <= kMaxSweepValues))
        return QStringLiteral("--sweep %1: more than %2 values").arg(text).arg(kMaxSweepValues);
    sweep = s;
    return QString();
}

QString parseSize(const QString &text, QSize &size)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okW = false;
    bool okH = false;
    const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
    const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
    if (!okW || !okH || w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide)
        return QStringLiteral("--size %1: expected WxH, each 1 to %2 pixels")
            .arg(text)
            .arg(kMaxPictureSide);
    size = QSize(w, h);
    return QString();
}

// The option as it was typed ("--bogus", "-bogus"), without a value given with "=": the parser
// keeps only the bare name.
QString typedOption(const QStringList &args, const QString &name)
{
    for (const QString &a : args.mid(1)) {
        if (a == QLatin1String("--"))
            break;
        const QString bare = a.section(QLatin1Char('='), 0, 0);
        const QString dashes
            = bare.startsWith(QLatin1String("--")) ? QStringLiteral("--") : QStringLiteral("-");
        if (bare.startsWith(QLatin1Char('-')) && bare.mid(dashes.size()) == name)
            return bare;
    }
    return QStringLiteral("--") + name;
}

// Every check of a batch run that needs no design, in the order the options are listed.
QString
readBatch(const QStringList &args, const QCommandLineParser &p, const Options &o, CommandLine &cl)
{
    if (!p.unknownOptionNames().isEmpty())
        return QStringLiteral("unknown option %1")
            .arg(typedOption(args, p.unknownOptionNames().first()));
    if (!p.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument %1 (the design is the value of --batch)")
            .arg(p.positionalArguments().first());
    for (const QCommandLineOption *single :
         {&o.batch, &o.save, &o.csv, &o.json, &o.size, &o.sweep, &o.rays, &o.seed}) {
        if (p.values(*single).size() > 1)
            return QStringLiteral("--%1 given more than once").arg(single->names().first());
    }
    cl.file = p.value(o.batch);

    for (const QString &text : p.values(o.set)) {
        Setting s;
        if (!splitAtEquals(text, s.name, s.value))
            return QStringLiteral("--set %1: expected NAME=VALUE").arg(text);
        // The names and values the design takes, by its own rules.
        const EditError wrong = DesignDocument::check(s.name, s.value);
        if (wrong)
            return wrong.message;
        cl.settings.append(s);
    }
    cl.strict = p.isSet(o.strict);
    cl.saveTo = p.value(o.save);
    cl.csvTo = p.value(o.csv);
    cl.jsonTo = p.value(o.json);
    for (const QString &text : p.values(o.image)) {
        QString window;
        QString out;
        if (!splitAtEquals(text, window, out) || out.isEmpty())
            return QStringLiteral("--image %1: expected WINDOW=OUT").arg(text);
        PlotView which;
        if (!plotViewFromKey(window, &which))
            return QStringLiteral(
                       "--image %1: no window named %2 (overall, crystals, focus, imaging)")
                .arg(text, window);
        const QString suffix = out.section(QLatin1Char('.'), -1).toLower();
        if (out != QLatin1String("-")
            && (!out.contains(QLatin1Char('.')) || !kPictureSuffixes.contains(suffix)))
            return QStringLiteral("--image %1: the file must end in .png, .svg or .pdf").arg(text);
        cl.images.append({window, out});
    }
    if (p.isSet(o.size)) {
        const QString wrong = parseSize(p.value(o.size), cl.imageSize);
        if (!wrong.isEmpty())
            return wrong;
    }
    if (p.isSet(o.sweep)) {
        const QString wrong = parseSweep(p.value(o.sweep), cl.sweep);
        if (!wrong.isEmpty())
            return wrong;
        cl.sweeping = true;
        if (cl.csvTo.isEmpty())
            return QStringLiteral("--sweep needs --csv for its table");
    }

    if (p.isSet(o.rays)) {
        const std::optional<int> n = wholeNumber(p.value(o.rays));
        if (!n || *n < 1 || *n > kMaxRays)
            return QStringLiteral("--rays %1: the number of rays is a whole number from 1 to %2")
                .arg(p.value(o.rays))
                .arg(kMaxRays);
        cl.rays = *n;
        if (cl.jsonTo.isEmpty())
            return QStringLiteral("--rays needs --json for its results");
    }
    if (p.isSet(o.seed)) {
        bool ok = false;
        const QString text = p.value(o.seed).trimmed();
        const quint64 seed = text.toULongLong(&ok, 10);
        if (!ok || seed > kMaxSeed)
            return QStringLiteral("--seed %1: the seed is a whole number from 0 to %2")
                .arg(p.value(o.seed))
                .arg(kMaxSeed);
        cl.seed = seed;
        if (cl.rays == 0)
            return QStringLiteral("--seed needs --rays");
    }

    QStringList outputs = {cl.saveTo, cl.csvTo, cl.jsonTo};
    for (const auto &image : qAsConst(cl.images))
        outputs.append(image.second);
    if (outputs.count(QStringLiteral("-")) > 1)
        return QStringLiteral("only one output can be standard output (-)");
    return QString();
}

} // namespace

bool isSettingName(const QString &name)
{
    return DesignDocument::check(name, QStringLiteral("1")).kind != EditError::UnknownName;
}

bool isNumericSetting(const QString &name)
{
    return isSettingName(name) && name != QLatin1String("Material")
           && name != QLatin1String("Index");
}

CommandLine parseCommandLine(const QStringList &args)
{
    QCommandLineParser parser;
    const Options o;
    setUp(parser, o);
    const bool parsed = parser.parse(args);

    CommandLine cl;
    // The last of -e and -j wins, as it always has.
    for (const QString &name : parser.optionNames()) {
        if (name == QLatin1String("e"))
            cl.japanese = false;
        else if (name == QLatin1String("j"))
            cl.japanese = true;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        cl.help = true;
        return cl;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        cl.version = true;
        return cl;
    }

    // An option left without its value is a mistake in either mode.
    if (!parsed && parser.unknownOptionNames().isEmpty()) {
        cl.error = parser.errorText();
        return cl;
    }
    cl.batch = parser.isSet(o.batch);
    if (!cl.batch) {
        // The windows ignore what they do not know, but the batch options mean a mistake.
        for (const QCommandLineOption *batchOnly : {&o.set,
                                                    &o.save,
                                                    &o.csv,
                                                    &o.json,
                                                    &o.image,
                                                    &o.size,
                                                    &o.sweep,
                                                    &o.rays,
                                                    &o.seed,
                                                    &o.strict}) {
            if (parser.isSet(*batchOnly)) {
                cl.error = QStringLiteral("--%1 needs --batch").arg(batchOnly->names().first());
                return cl;
            }
        }
        // A lone "-" names no file the windows could open.
        for (const QString &a : parser.positionalArguments()) {
            if (a != QLatin1String("-")) {
                cl.file = a;
                break;
            }
        }
        return cl;
    }
    cl.error = readBatch(args, parser, o, cl);
    return cl;
}

QString commandLineHelp()
{
    QCommandLineParser parser;
    const Options o;
    setUp(parser, o);
    return parser.helpText();
}

bool drawsPictures(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (std::strcmp(a, "--") == 0)
            return false;
        if (std::strcmp(a, "--image") == 0 || std::strcmp(a, "-image") == 0
            || std::strncmp(a, "--image=", 8) == 0 || std::strncmp(a, "-image=", 7) == 0)
            return true;
    }
    return false;
}

bool runsWithoutWindow(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (std::strcmp(a, "--") == 0)
            return false;
        for (const char *option : {"--batch",
                                   "-batch",
                                   "--help",
                                   "-help",
                                   "-h",
                                   "-?",
                                   "--help-all",
                                   "--version",
                                   "-version",
                                   "-v"}) {
            if (std::strcmp(a, option) == 0)
                return true;
        }
        if (std::strncmp(a, "--batch=", 8) == 0 || std::strncmp(a, "-batch=", 7) == 0)
            return true;
    }
    return false;
}
