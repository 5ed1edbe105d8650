#include "body.h"
#include "commandline.h"
#include "language.h"
#include "resources.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTranslator>

int main(int argc, char **argv)
{
    initLumivardResources();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication app(argc, argv);

    // Installed also when loading failed: the interface then simply stays English.
    QTranslator translator;
    const CommandLine commandLine = parseCommandLine(QApplication::arguments());
    if (commandLine.japanese) {
        loadJapaneseCatalogue(translator);
        QApplication::installTranslator(&translator);
    }

    int result = 0;
    {
        Body body;
        QObject::connect(&body, SIGNAL(finishing()), &app, SLOT(closeAllWindows()));
        body.show();
        // Opened as the Load dialog would, once the event loop runs with the window up.
        if (!commandLine.designFile.isEmpty())
            QMetaObject::invokeMethod(
                &body, "load", Qt::QueuedConnection, Q_ARG(QString, commandLine.designFile));
        result = QApplication::exec();
    }
    // The panels hand their help window to deleteLater; the event loop has ended, so deliver that.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
