// Writes the fuzzer's seed corpus: for every setup type a small design as the program saves it,
// with the type's own parameters, one crystal row edited by hand and a comment; and two large
// designs (200 and 1000 crystals) as arrays are really built.
//   make_seeds DIRECTORY
#include "body.h"
#include "child.h"
#include "resources.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// As a user types: the text, then Return.
void type(QLineEdit *field, const QString &text)
{
    field->setText(text);
    QMetaObject::invokeMethod(field, "editingFinished");
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    initLumivardResources();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIRECTORY\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    // Every save lists its file among the recent ones: not in the user's settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

    // Type: crystals, material (0 Si, 1 Ge), rotation, comment.
    struct Seed
    {
        int type;
        int count;
        int material;
        const char *rotate;
        const char *comment;
    };
    const Seed seeds[] = {{1, 4, 0, nullptr, "type 1, touching, bands dY high"},
                          {2, 4, 1, nullptr, "type 2, touching, length L"},
                          {3, 3, 0, "15", "type 3, turned 15 degrees"},
                          {4, 3, 0, nullptr, "type 4"},
                          {5, 4, 1, nullptr, "type 5"},
                          {6, 3, 0, nullptr, "type 6"},
                          {7, 4, 0, "-30", "type 7, turned -30 degrees"},
                          {3, 200, 0, nullptr, "type 3, 200 crystals"},
                          {5, 1000, 1, "5", "type 5, 1000 crystals, turned 5 degrees"}};
    for (const Seed &s : seeds) {
        Body body;
        QWidget *ca = child<QWidget>(&body, "CA");
        child<QComboBox>(&body, "SelCrystal")->setCurrentIndex(s.material);
        child<QRadioButton>(ca, qPrintable(QStringLiteral("Type%1").arg(s.type)))->click();
        type(child<QLineEdit>(ca, "Num"), QString::number(s.count));
        if (s.rotate) {
            type(child<QLineEdit>(ca, "RotateAllDeg"), QString::fromLatin1(s.rotate));
            child<QCheckBox>(ca, "RotateAll")->setChecked(true);
        }
        // One crystal moved by hand.
        type(rowField<QLineEdit>(body.crystals.last(), "Y"), QStringLiteral("12.5"));
        child<QLineEdit>(&body, "Comment")->setText(QString::fromLatin1(s.comment));
        const QString name = s.count > 10 ? QStringLiteral("type%1-%2.cfg").arg(s.type).arg(s.count)
                                          : QStringLiteral("type%1.cfg").arg(s.type);
        const QString path = out.filePath(name);
        QMetaObject::invokeMethod(&body, "save", Q_ARG(QString, path));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
