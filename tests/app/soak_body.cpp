// Random use of the real main window: thousands of seeded actions of every kind a user has
// (typing numbers and nonsense into every field with Return, switching types and materials,
// "Rotate All", every button, the menus' entries but Quit, undo and redo, wheel turns, drags
// with and without modifiers, saving and loading files, exporting the crystal table and the
// plots). The question about unsaved changes and its save dialog are answered at random. After
// each action the four plot windows repaint and the design must be consistent.
//
//   LUMIVARD_SOAK_SEED     the seed (default: taken from the clock); printed at the start and on
//                          failure, it reproduces the run
//   LUMIVARD_SOAK_ACTIONS  the number of actions (default 20000)
#include "body.h"
#include "layout.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <cmath>
#include <deque>
#include <iterator>
#include <random>

namespace {

const char *const kArrangementFields[]
    = {"StartE", "DE", "Num", "DX", "DY", "Length", "RotateAllDeg"};
const char *const kMaterialFields[] = {"LatticeC", "IndexH", "IndexK", "IndexL"};
const char *const kCrystalFields[] = {"X", "Y", "Deg", "Energy", "Length", "InBeamC", "BeamW"};
const char *const kButtons[]
    = {"ShowGraph", "ResetCPs", "SquareG", "ScaleReset", "Save", "Load", "Help"};
const char *const kMenuEntries[] = {"actionOpen",
                                    "actionSave",
                                    "actionSaveAs",
                                    "actionRecent0",
                                    "actionRecent1",
                                    "actionRecent2",
                                    "actionRecent7",
                                    "actionShowGraph",
                                    "actionSquareGrid",
                                    "actionScaleReset",
                                    "actionRestCPs",
                                    "actionSetupTypes",
                                    "actionAbout",
                                    "actionBands",
                                    "actionExportTable",
                                    "actionExportPlot"};

class Soak
{
public:
    explicit Soak(quint64 seed) : rng(seed)
    {
        // Smaller than on screen: every paint still draws everything, on fewer pixels.
        for (DispABase *v : views())
            v->resize(300, 200);
        body.show();
        for (DispABase *v : views())
            QObject::connect(v, &DispABase::drawImage, [this, v](QPainter *) { ++paints[v]; });
        settle();
        files << dir.filePath("a.cfg") << dir.filePath("b.cfg") << dir.filePath("c.cfg")
              << dir.filePath("missing/none.cfg");
        // Questions and the save dialog they may bring up are answered as they come.
        QObject::connect(&answering, &QTimer::timeout, [this] { answer(); });
        answering.start(5);
    }

    QVector<DispABase *> views()
    {
        return {&body.overallView, &body.crystalsView, &body.focusView, &body.imagingView};
    }

    // One random action; returns what it did.
    QString act()
    {
        switch (pick(23)) {
        case 0:
        case 1:
        case 2:
        case 3: {
            const char *name = kArrangementFields[pick(7)];
            return typeInto(child<QLineEdit>(ca(), name),
                            name,
                            QByteArray(name) == "Num" ? countText() : anyText());
        }
        case 4:
        case 5: {
            const char *name = kMaterialFields[pick(4)];
            return typeInto(child<QLineEdit>(mc(), name), name, anyText());
        }
        case 6:
        case 7:
        case 8: {
            if (body.crystals.isEmpty())
                return QStringLiteral("no crystal row to type into");
            const int i = pick(body.crystals.size());
            const char *name = kCrystalFields[pick(7)];
            return typeInto(rowField<QLineEdit>(body.crystals[i], name),
                            QStringLiteral("row %1 %2").arg(i).arg(name),
                            anyText());
        }
        case 9: {
            const int t = 1 + pick(7);
            child<QRadioButton>(ca(), qPrintable(QStringLiteral("Type%1").arg(t)))->click();
            return QStringLiteral("type %1").arg(t);
        }
        case 10: {
            QComboBox *box = child<QComboBox>(mc(), "SelCrystal");
            const int i = pick(box->count());
            box->setCurrentIndex(i);
            return QStringLiteral("material %1").arg(i);
        }
        case 11:
            child<QCheckBox>(ca(), "RotateAll")->click();
            return QStringLiteral("Rotate All clicked");
        case 12: {
            const char *name = kButtons[pick(7)];
            child<QAbstractButton>(&body, name)->click();
            return QStringLiteral("button %1").arg(name);
        }
        case 13:
        case 14:
            return wheel();
        case 15:
        case 16:
            return drag();
        case 17:
            return hover();
        case 18: {
            const QString f = files[pick(files.size())];
            if (pick(3) == 0) {
                QMetaObject::invokeMethod(&body, "save", Q_ARG(QString, f));
                return QStringLiteral("save %1").arg(f);
            }
            return exportTo(f);
        }
        case 19: {
            const char *name = pick(3) ? "actionUndo" : "actionRedo";
            const int steps = 1 + (pick(4) == 0 ? pick(30) : 0);
            for (int i = 0; i < steps; ++i)
                child<QAction>(&body, name)->trigger();
            return QStringLiteral("%1 x%2").arg(name).arg(steps);
        }
        case 20: {
            const char *name = kMenuEntries[pick(int(std::size(kMenuEntries)))];
            child<QAction>(&body, name)->trigger();
            return QStringLiteral("menu %1").arg(name);
        }
        case 21:
            return typeInto(child<QLineEdit>(&body, "Comment"), "Comment", anyText());
        default: {
            const QString f = files[pick(files.size())];
            QMetaObject::invokeMethod(&body, "load", Q_ARG(QString, f));
            return QStringLiteral("load %1").arg(f);
        }
        }
    }

    // The crystal table or a plot window, chosen at random, exported to f with a suffix, through
    // the dialogs as the user picks a file there.
    QString exportTo(const QString &f)
    {
        if (pick(3) == 0) {
            body.exportCrystalTable();
            emit child<QFileDialog>(&body, "tableDialog")->fileSelected(f + ".csv");
            return QStringLiteral("export table %1.csv").arg(f);
        }
        body.exportPlot();
        auto *dialog = child<QFileDialog>(&body, "plotDialog");
        const int view = pick(4);
        const int type = pick(4);
        const char *const suffixes[] = {".png", ".png", ".svg", ".pdf"};
        child<QComboBox>(dialog, "plotChooser")->setCurrentIndex(view);
        dialog->selectNameFilter(dialog->nameFilters().value(type));
        emit dialog->fileSelected(f + suffixes[type]);
        return QStringLiteral("export plot %1 as type %2 to %3%4")
            .arg(view)
            .arg(type)
            .arg(f, suffixes[type]);
    }

    // After a design of hundreds of crystals the user asks for fewer again: under the sanitizers
    // every action on a thousand crystals takes many seconds, and the run is about variety.
    bool large() const { return body.crystals.size() > 300; }
    QString shrink()
    {
        return typeInto(child<QLineEdit>(ca(), "Num"), "Num", QString::number(pick(25)));
    }

    // The four windows repaint, and the event loop does what it would do next. Every window must
    // have painted (a paint that never ends never comes back here).
    QString repaintAll()
    {
        paints.clear();
        for (DispABase *v : views())
            v->update();
        settle();
        QStringList missing;
        for (DispABase *v : views())
            if (paints[v] < 1)
                missing << v->windowTitle();
        // The warnings of failed loads and saves, and the dialogs, are closed now and then.
        if (pick(50) == 0)
            closeDialogs();
        return missing.isEmpty() ? QString() : "not painted: " + missing.join(", ");
    }

    // Ten shapes per crystal, each row in its place, the histories in step.
    QString inconsistency()
    {
        const int n = body.crystals.size();
        if (n > kMaxCrystals)
            return QStringLiteral("%1 crystals").arg(n);
        if (body.shapes.size() != 10 * n)
            return QStringLiteral("%1 shapes for %2 crystals").arg(body.shapes.size()).arg(n);
        QGridLayout *cl = child<QGridLayout>(&body, "CL");
        for (int i = 0; i < n; ++i) {
            ACrystal *c = body.crystals[i];
            const QVector<Shape *> own{&c->inPen,
                                       &c->inEdgeStart,
                                       &c->inCentre,
                                       &c->inEdgeEnd,
                                       &c->crystalPen,
                                       &c->surface,
                                       &c->outPen,
                                       &c->outEdgeStart,
                                       &c->outCentre,
                                       &c->outEdgeEnd};
            if (body.shapes.mid(10 * i, 10) != own)
                return QStringLiteral("shapes %1 to %2 are not crystal %3's")
                    .arg(10 * i)
                    .arg(10 * i + 9)
                    .arg(i + 1);
            int row = -1, column, rowSpan, columnSpan;
            const int at = cl->indexOf(c);
            if (at >= 0)
                cl->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
            if (row != i + 1 || !c->isVisible())
                return QStringLiteral("crystal %1 in row %2, visible %3")
                    .arg(i + 1)
                    .arg(row)
                    .arg(c->isVisible());
        }
        if (body.avrCps.points.size() != body.avrIps.points.size())
            return QStringLiteral("histories of %1 and %2 entries")
                .arg(body.avrCps.points.size())
                .arg(body.avrIps.points.size());
        if (n >= 1
            && (body.centres.points.size() != n
                || body.crossPoints.points.size() != n * (n - 1) / 2))
            return QStringLiteral("%1 centres and %2 crossings for %3 crystals")
                .arg(body.centres.points.size())
                .arg(body.crossPoints.points.size())
                .arg(n);
        return QString();
    }

    Body body;

private:
    int pick(int n) { return n <= 1 ? 0 : int(rng() % quint64(n)); }

    QWidget *ca() { return child<QWidget>(&body, "CA"); }
    QWidget *mc() { return child<QWidget>(&body, "MC"); }

    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The modal window up now, if any: the question gets Save, Discard or Cancel, its save
    // dialog a file of the run or Cancel; anything else is closed.
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            const QMessageBox::StandardButton buttons[]
                = {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel};
            if (QAbstractButton *b = box->button(buttons[pick(3)]))
                b->click();
            else
                box->close();
        } else if (auto *fd = qobject_cast<QFileDialog *>(modal)) {
            // An existing file's overwrite question comes up inside accept() and is closed by a
            // tick there; a dialog still up afterwards is cancelled.
            if (pick(2)) {
                fd->selectFile(files[pick(files.size())]);
                static_cast<QDialog *>(fd)->accept();
            }
            if (fd->isVisible())
                fd->reject();
        } else {
            modal->close();
        }
    }

    void closeDialogs()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox *>(w) || qobject_cast<QFileDialog *>(w)
                || (w->isVisible() && w->inherits("QDialog") && !qobject_cast<DispABase *>(w)))
                w->close();
        settle();
    }

    QString typeInto(QLineEdit *field, const QString &what, const QString &text)
    {
        // Mostly put in whole, sometimes typed key by key over the old text.
        if (pick(10) == 0) {
            field->selectAll();
            QTest::keyClicks(field, text);
        } else {
            field->setText(text);
        }
        QTest::keyClick(field, Qt::Key_Return);
        return QStringLiteral("%1 <- \"%2\"").arg(what, text);
    }

    double uniform(double lo, double hi)
    {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    }

    // Numbers of every size and sign, the non-finite words, empty text and garbage.
    QString anyText()
    {
        switch (pick(12)) {
        case 0:
        case 1:
        case 2:
            return QString::number(uniform(-20, 20), 'g', 1 + pick(8));
        case 3:
        case 4:
            return QString::number(uniform(1000, 30000), 'f', pick(4));
        case 5:
            return QString::number(
                uniform(-1, 1) * std::pow(10.0, uniform(-320, 308)), 'g', 1 + pick(17));
        case 6: {
            const char *const extremes[] = {"1e308",
                                            "-1e308",
                                            "1.7976931348623157e308",
                                            "4.9e-324",
                                            "-4.9e-324",
                                            "1e-300",
                                            "0",
                                            "-0",
                                            "2147483648",
                                            "-2147483649",
                                            "1e20",
                                            "90",
                                            "180",
                                            "-90",
                                            "45",
                                            "360"};
            return QString::fromLatin1(extremes[pick(16)]);
        }
        case 7: {
            const char *const words[] = {"nan",
                                         "NaN",
                                         "inf",
                                         "-inf",
                                         "infinity",
                                         "+inf",
                                         "",
                                         " ",
                                         "0x10",
                                         "1,5",
                                         "--1",
                                         "1e",
                                         "e5",
                                         ".",
                                         "-",
                                         "1.2.3"};
            return QString::fromLatin1(words[pick(16)]);
        }
        case 8: {
            QString s;
            const int len = pick(12);
            for (int i = 0; i < len; ++i)
                s += QChar(0x20 + pick(0x5f));
            return s;
        }
        case 9:
            return QString::number(pick(40) - 5);
        case 10:
            return QStringLiteral("  ") + QString::number(uniform(-100, 100), 'f', 3);
        default:
            return QString::number(uniform(0.001, 12), 'f', 1 + pick(5));
        }
    }

    // "Num of C.": mostly a small count, sometimes anything, now and then a large one.
    QString countText()
    {
        const int r = pick(100);
        if (r < 70)
            return QString::number(pick(25));
        if (r < 99)
            return anyText();
        return QString::number(50 + pick(250));
    }

    DispABase *anyView() { return views()[pick(4)]; }

    QPoint anyPoint(DispABase *v)
    {
        // Mostly inside the surface, sometimes off its edges.
        const QSize s = v->disp.size();
        return QPoint(pick(s.width() + 40) - 20, pick(s.height() + 40) - 20);
    }

    void mouse(DispABase *v,
               QEvent::Type type,
               QPoint pos,
               Qt::MouseButton button,
               Qt::MouseButtons held,
               Qt::KeyboardModifiers mods)
    {
        QMouseEvent e(type, QPointF(pos), QPointF(v->disp.mapToGlobal(pos)), button, held, mods);
        QApplication::sendEvent(&v->disp, &e);
    }

    Qt::KeyboardModifiers anyModifiers()
    {
        Qt::KeyboardModifiers m;
        if (pick(4) == 0)
            m |= Qt::ShiftModifier;
        if (pick(4) == 0)
            m |= Qt::ControlModifier;
        if (pick(6) == 0)
            m |= Qt::AltModifier;
        return m;
    }

    QString wheel()
    {
        DispABase *v = anyView();
        const QPoint at = anyPoint(v);
        mouse(v, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        const int steps = pick(101) - 50;
        QWheelEvent e(QPointF(at),
                      QPointF(v->disp.mapToGlobal(at)),
                      QPoint(),
                      QPoint(0, 120 * steps),
                      Qt::NoButton,
                      Qt::NoModifier,
                      Qt::NoScrollPhase,
                      false);
        QApplication::sendEvent(&v->disp, &e);
        return QStringLiteral("wheel %1 at (%2, %3) in %4")
            .arg(steps)
            .arg(at.x())
            .arg(at.y())
            .arg(v->windowTitle());
    }

    QString drag()
    {
        DispABase *v = anyView();
        const Qt::MouseButton button = pick(2) ? Qt::LeftButton : Qt::RightButton;
        const Qt::KeyboardModifiers mods = pick(2) ? anyModifiers() : Qt::KeyboardModifiers();
        const QPoint from = anyPoint(v);
        QPoint to = anyPoint(v);
        mouse(v, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        mouse(v, QEvent::MouseButtonPress, from, button, button, mods);
        const int moves = 1 + pick(5);
        for (int i = 1; i <= moves; ++i)
            mouse(v, QEvent::MouseMove, from + (to - from) * i / moves, Qt::NoButton, button, mods);
        mouse(v, QEvent::MouseButtonRelease, to, button, Qt::NoButton, mods);
        return QStringLiteral("drag %1 from (%2, %3) to (%4, %5) modifiers %6 in %7")
            .arg(button == Qt::LeftButton ? "left" : "right")
            .arg(from.x())
            .arg(from.y())
            .arg(to.x())
            .arg(to.y())
            .arg(int(mods))
            .arg(v->windowTitle());
    }

    QString hover()
    {
        DispABase *v = anyView();
        const QPoint at = anyPoint(v);
        const Qt::KeyboardModifiers mods = pick(4) == 0 ? anyModifiers() : Qt::KeyboardModifiers();
        mouse(v, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, mods);
        return QStringLiteral("move to (%1, %2) in %3")
            .arg(at.x())
            .arg(at.y())
            .arg(v->windowTitle());
    }

    std::mt19937_64 rng;
    QTemporaryDir dir;
    QStringList files;
    std::map<DispABase *, int> paints;
    QTimer answering;
};

quint64 seedFromEnvironment()
{
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("LUMIVARD_SOAK_SEED").toULongLong(&ok);
    return ok ? seed : quint64(QDateTime::currentMSecsSinceEpoch());
}

int actionsFromEnvironment()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("LUMIVARD_SOAK_ACTIONS", &ok);
    return ok && n > 0 ? n : 20000;
}

} // namespace

class soak_Body : public QObject
{
    Q_OBJECT

public:
    // A soak runs far longer than QtTest's five minutes per test function.
    soak_Body() { qputenv("QTEST_FUNCTION_TIMEOUT", "3600000"); }

private slots:
    void randomUse();
};

void soak_Body::randomUse()
{
    const quint64 seed = seedFromEnvironment();
    const int actions = actionsFromEnvironment();
    qInfo(
        "seed %llu, %d actions (LUMIVARD_SOAK_SEED=%llu reproduces this run)", seed, actions, seed);
    Soak soak(seed);
    std::deque<QString> recent;
    for (int i = 0; i < actions; ++i) {
        const QString did = soak.large() ? soak.shrink() : soak.act();
        recent.push_back(QStringLiteral("%1: %2").arg(i).arg(did));
        if (recent.size() > 8)
            recent.pop_front();
        QString problem = soak.repaintAll();
        if (problem.isEmpty())
            problem = soak.inconsistency();
        if (!problem.isEmpty()) {
            QStringList last(recent.begin(), recent.end());
            QFAIL(qPrintable(QStringLiteral("seed %1, after action %2: %3\nlast actions:\n  %4")
                                 .arg(seed)
                                 .arg(i)
                                 .arg(problem, last.join(QStringLiteral("\n  ")))));
        }
        if (i % 1000 == 999)
            qInfo("%d actions, %d crystals, %d history entries",
                  i + 1,
                  int(soak.body.crystals.size()),
                  int(soak.body.avrCps.points.size()));
    }
}

LUMIVARD_TEST_MAIN(soak_Body)
#include "soak_body.moc"
