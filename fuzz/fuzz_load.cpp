// Arbitrary bytes as a design file: the main window loads them, the event loop's work is done
// (its four plot windows are painted, the replaced crystals deleted), and the design is saved
// again. One window serves every input (building one per input
// would leave a few inputs a second); before each input it is brought back to the state it
// started in: the design it first showed is loaded again, the histories restart and every plot
// window goes back to its default view. So a crash file reproduces by itself (fuzz_load FILE).
#include "body.h"
#include "resources.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString inputPath;
QString outputPath;
QString startPath; // the design the window showed when it was built
Body *body = nullptr;

template <class Slot> void call(const char *slot, Slot arg)
{
    QMetaObject::invokeMethod(body, slot, arg);
}

// What the event loop would do next: layout requests, paints of the shown plot windows, the
// deletion of replaced crystals. Without it the posted events would pile up from input to input.
void runEventLoopOnce()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QVector<DispABase *> views()
{
    return {&body->overallView, &body->crystalsView, &body->focusView, &body->imagingView};
}

// The load's debug message and Qt's offscreen warnings would flood the fuzzer's log; fatal
// messages still abort.
void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        fprintf(stderr, "%s\n", qPrintable(message));
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        static QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    qInstallMessageHandler(quiet);
    initLumivardResources();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    static QApplication app(*argc, *argv);
    static QTemporaryDir files;
    // Every load and save lists its file among the recent ones: not in the user's settings.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, files.path());
    inputPath = files.filePath(QStringLiteral("input.cfg"));
    outputPath = files.filePath(QStringLiteral("output.cfg"));
    startPath = files.filePath(QStringLiteral("start.cfg"));
    static Body window;
    body = &window;
    // Small windows: the drawing code runs in full, on fewer pixels.
    for (DispABase *v : views())
        v->resize(160, 120);
    runEventLoopOnce();
    call("save", Q_ARG(QString, startPath));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile in(inputPath);
        if (!in.open(QIODevice::WriteOnly | QIODevice::Truncate))
            abort();
        in.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    call("load", Q_ARG(QString, startPath));
    QMetaObject::invokeMethod(body, "clearAvrCps");
    QMetaObject::invokeMethod(body, "resetScale");
    runEventLoopOnce();

    call("load", Q_ARG(QString, inputPath));
    for (DispABase *v : views())
        v->update();
    runEventLoopOnce();
    call("save", Q_ARG(QString, outputPath));
    runEventLoopOnce();
    return 0;
}
