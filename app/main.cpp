#include "batch.h"
#include "body.h"
#include "commandline.h"
#include "language.h"
#include "resources.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QStyleFactory>
#include <QTranslator>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// A run without a window answers on its own streams: Qt's notes are no news to someone who asked
// for no window.
void quietBatch(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "lumivard: %s\n", qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

// --help, --version and --batch: no widget, no display. Only pictures need a painter, and so the
// offscreen platform; everything else runs on the core alone.
int runWithoutWindow(int argc, char **argv)
{
    qInstallMessageHandler(quietBatch);
    std::unique_ptr<QCoreApplication> app;
    if (drawsPictures(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("lumivard"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMIVARD_VERSION));

    const CommandLine cl = parseCommandLine(QCoreApplication::arguments());
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "lumivard: %s\n", qPrintable(cl.error));
        return BatchRefused;
    }
    if (cl.help) {
        std::fputs(qPrintable(commandLineHelp()), stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("lumivard %s\n", LUMIVARD_VERSION);
        return 0;
    }
    // Installed also when loading failed: the pictures' titles then simply stay English.
    QTranslator translator;
    if (cl.japanese) {
        loadJapaneseCatalogue(translator);
        QCoreApplication::installTranslator(&translator);
    }
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    return runBatch(cl, out, err);
}

// Whether the windows have somewhere to go: a display named in the environment, or a platform
// chosen for Qt (QT_QPA_PLATFORM, -platform NAME).
bool displayNamed(int argc, char **argv)
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
#ifdef __GLIBC__
    // A large design's crossings come and go at every change: blocks of this size or more are
    // mapped and given back when freed, rather than left to fragment the heap (which glibc's
    // sliding threshold would do, holding a thousand-crystal design's memory twice). Not smaller:
    // every fresh mapping is paid for page by page, which on a virtual machine costs a load of
    // 1000 crystals a third of its time.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
#endif
    initLumivardResources();
    if (runsWithoutWindow(argc, argv))
        return runWithoutWindow(argc, argv);
    if (!displayNamed(argc, argv)) {
        // Qt would abort on the missing display with a page of plugin names.
        std::fputs(
            "lumivard: no display for the windows (DISPLAY and WAYLAND_DISPLAY are not set); "
            "--batch runs without one\n",
            stderr);
        return BatchRefused;
    }

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumivard"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMIVARD_VERSION));

    const CommandLine cl = parseCommandLine(QApplication::arguments());
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "lumivard: %s\n", qPrintable(cl.error));
        return BatchRefused;
    }

    // Installed also when loading failed: the interface then simply stays English.
    QTranslator translator;
    if (cl.japanese) {
        loadJapaneseCatalogue(translator);
        QApplication::installTranslator(&translator);
    }

    int result = 0;
    {
        Body body;
        QObject::connect(&body, &Body::finishing, &app, &QApplication::closeAllWindows);
        body.show();
        if (!cl.file.isEmpty())
            body.openAtStart(cl.file);
        result = QApplication::exec();
    }
    // The panels hand their help window to deleteLater; the event loop has ended, so deliver that.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
