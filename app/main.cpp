#include "body.h"
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
    if (japaneseInterface(QApplication::arguments())) {
        loadJapaneseCatalogue(translator);
        QApplication::installTranslator(&translator);
    }

    int result = 0;
    {
        Body body;
        QObject::connect(&body, SIGNAL(finishing()), &app, SLOT(closeAllWindows()));
        body.show();
        result = QApplication::exec();
    }
    // The panels hand their help window to deleteLater; the event loop has ended, so deliver that.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
