#include "batch.h"

#include "crystaltable.h"
#include "designdocument.h"
#include "picture.h"
#include "report.h"
#include "scene.h"
#include "sweep.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QThread>

namespace {

// One output: where it goes and what it holds.
struct Output
{
    QString path;
    QByteArray bytes;
};

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

bool deliver(const Output &o, QIODevice &out, QString *error)
{
    if (o.path != QLatin1String("-"))
        return writeBytes(o.path, o.bytes, error);
    if (out.write(o.bytes) == o.bytes.size())
        return true;
    *error = out.errorString();
    return false;
}

// The command line has checked the name.
PlotView viewNamed(const QString &name)
{
    PlotView which = PlotView::Overall;
    plotViewFromKey(name, &which);
    return which;
}

void writeLine(QIODevice &err, const QString &line)
{
    err.write(("lumivard: " + line + QLatin1Char('\n')).toUtf8());
}

} // namespace

int runBatch(const CommandLine &cl, QIODevice &out, QIODevice &err)
{
    const bool defaultDesign = cl.file == QLatin1String("-");
    DesignDocument doc;
    if (!defaultDesign) {
        const ReadResult r = doc.load(cl.file);
        if (r.status == ReadResult::CannotRead) {
            writeLine(err, QStringLiteral("cannot read %1: %2").arg(cl.file, r.error));
            return BatchFileError;
        }
        if (r.status == ReadResult::NoDesign) {
            writeLine(err, QStringLiteral("%1 holds no design").arg(cl.file));
            return BatchFileError;
        }
        // Loaded as far as it could be: a warning, or with --strict a failure.
        if (!r.notes.isEmpty()) {
            const QString notes = DesignFile::describe(r.notes, 10);
            if (cl.strict) {
                writeLine(err, QStringLiteral("%1 was not understood: %2").arg(cl.file, notes));
                return BatchFileError;
            }
            writeLine(err,
                      QStringLiteral("warning: %1 was not all understood: %2").arg(cl.file, notes));
        }
    }

    for (const Setting &s : cl.settings) {
        const EditError why = doc.apply(s.name, s.value);
        if (why) {
            writeLine(err, why.message);
            return BatchRefused;
        }
    }
    const QString file = defaultDesign ? QString() : cl.file;

    // Everything that describes the design is made now, before a sweep changes it, and written
    // only once the whole run has succeeded.
    QVector<Output> outputs;
    QString why;
    const auto fileError = [&err](const QString &path, const QString &reason) {
        writeLine(err, QStringLiteral("cannot write %1: %2").arg(path, reason));
        return BatchFileError;
    };
    if (!cl.saveTo.isEmpty())
        outputs.append({cl.saveTo, doc.text().toUtf8()});
    if (!cl.csvTo.isEmpty() && !cl.sweeping)
        outputs.append(
            {cl.csvTo, crystalTableCsv(doc.design().crystalList(), doc.design().spacing)});
    if (!cl.jsonTo.isEmpty()) {
        std::optional<RayTraceParams> rays;
        if (cl.rays > 0) {
            rays = RayTraceParams();
            rays->rays = cl.rays;
            rays->seed = cl.seed;
        }
        outputs.append({cl.jsonTo, designReport(doc, file, rays)});
    }
    if (!cl.images.isEmpty()) {
        const DesignScene scene(doc);
        for (const auto &image : cl.images) {
            const PlotView which = viewNamed(image.first);
            // By default the size the window opens at (900 x 600, 600 x 400, 400 x 400).
            const QSize size = cl.imageSize.isValid() ? cl.imageSize : plotWindowSize(which);
            // On standard output a picture is PNG.
            const PlotFormat format = plotFormatOf(image.second, PlotFormat::Png);
            Output o{image.second, {}};
            if (!plotPictureBytes(
                    defaultViewPicture(scene, which), format, size, 1.0, o.bytes, &why))
                return fileError(image.second, why);
            outputs.append(o);
        }
    }

    if (cl.sweeping) {
        QStringList values;
        for (const double v : sweepValues(cl.sweep))
            values.append(sweepValueText(v));
        const SweepRun run = runSweep(doc, cl.sweep.name, values, QThread::idealThreadCount());
        if (run.error) {
            writeLine(err, run.error.message);
            return BatchRefused;
        }
        QByteArray table = sweepHeader();
        for (const QByteArray &row : run.rows)
            table += row;
        outputs.append({cl.csvTo, table});
    }

    for (const Output &o : outputs) {
        if (!deliver(o, out, &why))
            return fileError(o.path, why);
    }
    return BatchOk;
}
