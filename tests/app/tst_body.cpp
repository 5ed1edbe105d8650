#include "body.h"
#include "units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <cmath>

namespace {

const QStringList kFields{"X", "Y", "Deg", "Energy", "Length", "InBeamC", "BeamW"};

// The ten crystals of the first design (type 3, 8000 eV down by 15 eV, dY 1, L 4) with the
// spacing the material panel shows, 3.13507: Pos. X | Pos. Y | Angle | Energy | Length |
// In Beam C. | Beam W.
const QStringList kStartRows{
    "    0.00000|    0.00000|  14.310229| 8000.0000|   4.00000|    0.00000|    0.98869",
    "    3.89468|    1.00000|  14.337686| 7985.0000|   4.00000|    1.00000|    0.99055",
    "    7.78543|    2.00000|  14.365249| 7970.0000|   4.00000|    2.00000|    0.99241",
    "   11.67227|    3.00000|  14.392921| 7955.0000|   4.00000|    3.00000|    0.99428",
    "   15.55518|    4.00000|  14.420700| 7940.0000|   4.00000|    4.00000|    0.99616",
    "   19.43418|    5.00000|  14.448587| 7925.0000|   4.00000|    5.00000|    0.99804",
    "   23.30925|    6.00000|  14.476585| 7910.0000|   4.00000|    6.00000|    0.99994",
    "   27.18040|    7.00000|  14.504692| 7895.0000|   4.00000|    7.00000|    1.00184",
    "   31.04763|    8.00000|  14.532909| 7880.0000|   4.00000|    8.00000|    1.00374",
    "   34.91094|    9.00000|  14.561238| 7865.0000|   4.00000|    9.00000|    1.00566"};

template <class T> T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QString row(QWidget *crystal)
{
    QStringList t;
    for (const QString &f : kFields)
        t << crystal->findChild<QLineEdit *>(f)->text();
    return t.join('|');
}

// Types over a field's text and presses Return, as a user does.
void type(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

void type(QObject *parent, const char *name, const QString &text)
{
    type(child<QLineEdit>(parent, name), text);
}

QLineEdit *field(ACrystal *c, const char *name)
{
    return child<QLineEdit>(c, name);
}

bool sameRect(const QRectF &a, const QRectF &b, double tol)
{
    return std::fabs(a.x() - b.x()) <= tol && std::fabs(a.y() - b.y()) <= tol
           && std::fabs(a.width() - b.width()) <= tol && std::fabs(a.height() - b.height()) <= tol;
}

} // namespace

class tst_Body : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUpRows();
    void startUpSpacingAgreesWithPanel();
    void startUpWindows_data();
    void startUpWindows();
    void startUpTracing();
    void slotOrder();
    void crystalEditChangesOnlyThatCrystal();
    void historyPerRedraw();
    void restCps_data();
    void restCps();
    void newLayoutReplacesCrystals();
    void crystalCountBounded_data();
    void crystalCountBounded();
    void noCrystals();
    void rotateAll();
    void newMaterial_data();
    void newMaterial();
    void scaleReset();
    void squareGrid_data();
    void squareGrid();
    void showGraph();
};

void tst_Body::init()
{
    units.D = 3.13553;
}

void tst_Body::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_Body::startUpRows()
{
    Body body;
    QCOMPARE(body.crystals.size(), 10);
    auto cl = child<QGridLayout>(&body, "CL");
    QVERIFY(cl);

    // The column-title row, then crystal i at row i + 1 with its number.
    auto header = qobject_cast<ACrystal *>(cl->itemAtPosition(0, 0)->widget());
    QVERIFY(header);
    QVERIFY(!body.crystals.contains(header));
    QCOMPARE(row(header),
             QString("Pos. X|Pos. Y|Angle [deg]|Energy[eV]|Length|In Beam C.|Beam W."));
    QStringList rows;
    for (int i = 0; i < body.crystals.size(); ++i) {
        ACrystal *c = body.crystals[i];
        QCOMPARE(cl->itemAtPosition(i + 1, 0)->widget(), c);
        QCOMPARE(child<QLabel>(c, "No")->text(), QString::number(i + 1));
        QCOMPARE(c->parentWidget(), child<QWidget>(&body, "CLBase"));
        rows << row(c);
    }
    QCOMPARE(rows, kStartRows);

    // Rows with one-digit and two-digit numbers keep their fields under the column titles.
    body.show();
    QVERIFY(QTest::qWaitForWindowExposed(&body));
    const auto left = [&](ACrystal *c, const char *name) {
        return field(c, name)->mapTo(&body, QPoint(0, 0)).x();
    };
    for (const char *name : {"X", "Deg", "BeamW"}) {
        QCOMPARE(left(body.crystals.first(), name), left(header, name));
        QCOMPARE(left(body.crystals.last(), name), left(header, name));
    }
}

void tst_Body::startUpSpacingAgreesWithPanel()
{
    Body body;
    QCOMPARE(child<QLineEdit>(&body, "Spacing")->text(), QString("3.13507"));
    QCOMPARE(units.D, 3.13507);
    // Confirming crystal 1's shown energy leaves its angle as shown.
    ACrystal *first = body.crystals.first();
    type(field(first, "Energy"), field(first, "Energy")->text());
    QCOMPARE(row(first), kStartRows.first());
}

void tst_Body::startUpWindows_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("size");
    QTest::newRow("overall") << "overallView"
                             << "" << QSize(900, 600);
    QTest::newRow("crystals") << "crystalsView"
                              << "Crystals" << QSize(600, 400);
    QTest::newRow("focus") << "focusView"
                           << "Focus Point" << QSize(400, 400);
    QTest::newRow("imaging") << "imagingView"
                             << "Imaging Point" << QSize(400, 400);
}

void tst_Body::startUpWindows()
{
    QFETCH(QString, view);
    QFETCH(QString, title);
    QFETCH(QSize, size);
    Body body;
    const QHash<QString, DispABase *> views{{"overallView", &body.overallView},
                                            {"crystalsView", &body.crystalsView},
                                            {"focusView", &body.focusView},
                                            {"imagingView", &body.imagingView}};
    DispABase *v = views.value(view);
    QVERIFY(v->isVisible());
    QVERIFY(v->isWindow());
    QCOMPARE(v->windowTitle(), title);
    QCOMPARE(v->size(), size);
    // Shown before the main window, every one on its default view.
    QVERIFY(!body.isVisible());
    QCOMPARE(v->realC, v->realC0);
    QVERIFY(v->realC0.width() > 0);
}

void tst_Body::startUpTracing()
{
    Body body;
    QCOMPARE(body.selectedShape, -1);
    QCOMPARE(body.shapes.size(), 100);
    QCOMPARE(body.crossPoints.points.size(), 45);
    QCOMPARE(body.centres.points.size(), 10);
    QCOMPARE(body.avrCps.points.size(), 1);
    QCOMPARE(body.avrIps.points.size(), 1);
    QCOMPARE(body.avrCps.points[0].label, QString("8000-7865[eV]"));
    QCOMPARE(body.avrIps.points[0].label, QString("8000-7865[eV]"));
    QVERIFY(body.avrCps.connect && body.avrCps.ownPen && body.avrCps.showLabels);
    QVERIFY(!body.avrCps.extend);
    QCOMPARE(body.avrCps.pen.pen.color(), QColor(200, 0, 200));
    QCOMPARE(body.avrIps.pen.pen.color(), QColor(0, 160, 200));
    QCOMPARE(body.avrIps.pen.pen.dashPattern(), QVector<qreal>({4, 3, 2, 3}));
    QVERIFY(!body.crossPoints.connect && !body.crossPoints.showLabels);
    QCOMPARE(body.measLine.length, 1.0);
    QCOMPARE(body.measLine.Dir::x, 1.0);

    // Colours run from green toward red; the surface keeps its own pen.
    QCOMPARE(body.crystals[0]->inPen.pen.color(), QColor(0, 255, 0));
    QCOMPARE(body.crystals[5]->outPen.pen.color(), QColor(127, 127, 0));
    QCOMPARE(body.crystals[5]->crystalPen.pen.color(), QColor(128, 0, 192));

    // The focus and imaging windows are centred on the newest points, keeping their size.
    const Point f = body.avrCps.points.last();
    QCOMPARE(body.focusView.realC0.center(), QPointF(f.x, f.y));
    QCOMPARE(body.focusView.realC0.size(), QSizeF(20, 20));
    const Point i = body.avrIps.points.last();
    QCOMPARE(body.imagingView.realC.center(), QPointF(i.x, i.y));
    // The crystals window frames both ends of every surface with a 10 % margin.
    const ACrystal *last = body.crystals.last();
    const QRectF c = body.crystalsView.realC0;
    QVERIFY(std::fabs(c.right() - (last->endPoint().x + 0.1 * (c.width() / 1.2))) < 1e-9);
}

void tst_Body::slotOrder()
{
    const QMetaObject &mo = Body::staticMetaObject;
    QStringList methods;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i)
        methods << QString::fromLatin1(mo.method(i).methodSignature());
    QCOMPARE(methods,
             QStringList({"finishing()",
                          "clearAvrCps()",
                          "newCrystal()",
                          "newLayout()",
                          "drawEverything()",
                          "resetScale()",
                          "squareG()",
                          "updates()",
                          "crystalsUpdated()",
                          "draw(QPainter*)",
                          "drawShapes(QPainter*,ChCoord*,Box,QVector<Shape*>&,bool)",
                          "drawShapes(QPainter*,ChCoord*,Box,QVector<Shape*>&)",
                          "drawGrid(QPainter*,ChCoord*)",
                          "mouseMoved()",
                          "wheelMoved(int)",
                          "save(QString)",
                          "load(QString)"}));
}

void tst_Body::crystalEditChangesOnlyThatCrystal()
{
    Body body;
    ACrystal *third = body.crystals[2];
    type(field(third, "Energy"), "7000");
    QCOMPARE(body.crystals[2], third);
    QCOMPARE(field(third, "Energy")->text(), QString(" 7000.0000"));
    for (int i = 0; i < body.crystals.size(); ++i) {
        if (i != 2)
            QCOMPARE(row(body.crystals[i]), kStartRows[i]);
    }
    // The traced crossings follow the edited crystal.
    QVERIFY(body.crossPoints.points[1].x != 0.0);
    Points expected, centres;
    crossCentreRays(CrystalList(body.crystals.cbegin(), body.crystals.cend()), expected, centres);
    QCOMPARE(body.crossPoints.sum.x, expected.sum.x);
}

void tst_Body::historyPerRedraw()
{
    Body body;
    ACrystal *c = body.crystals[4];
    type(field(c, "X"), "20");
    type(field(c, "Deg"), "15");
    type(field(c, "Length"), "3");
    QCOMPARE(body.avrCps.points.size(), 4);
    QCOMPARE(body.avrIps.points.size(), 4);
    QCOMPARE(body.shapes.size(), 100);
    // Confirming without a change still adds an entry.
    type(field(c, "Length"), field(c, "Length")->text());
    QCOMPARE(body.avrCps.points.size(), 5);
    // A hand edit of a computed field changes nothing.
    const QString before = row(c);
    type(field(c, "InBeamC"), "99");
    QCOMPARE(body.avrCps.points.size(), 5);
    QCOMPARE(field(c, "InBeamC")->text(), QString("99"));
    c->showValues();
    QCOMPARE(row(c), before);
}

void tst_Body::restCps_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("entries");
    QTest::newRow("one crystal") << "1" << 0;
    QTest::newRow("two crystals") << "2" << 1;
    QTest::newRow("ten crystals") << "10" << 1;
}

void tst_Body::restCps()
{
    QFETCH(QString, count);
    QFETCH(int, entries);
    Body body;
    type(&body, "Num", count);
    type(&body, "StartE", "8100");
    QTest::mouseClick(child<QPushButton>(&body, "ResetCPs"), Qt::LeftButton);
    QCOMPARE(body.avrCps.points.size(), entries);
    QCOMPARE(body.avrIps.points.size(), entries);
    if (entries) {
        const Point f = body.avrCps.points[0];
        QCOMPARE(f.x, body.crossPoints.center().x);
        QCOMPARE(body.avrIps.points[0].x, f.x + f.x);
        QCOMPARE(body.avrIps.points[0].y, f.y + f.y);
        QVERIFY(f.label.isEmpty());
        return;
    }
    // With one crystal the next analysis adds nothing and centres both windows on the origin.
    type(field(body.crystals[0], "Deg"), "20");
    QCOMPARE(body.avrCps.points.size(), 0);
    QCOMPARE(body.focusView.realC0.center(), QPointF(0, 0));
    QCOMPARE(body.focusView.realC.center(), QPointF(0, 0));
    QCOMPARE(body.imagingView.realC0.center(), QPointF(0, 0));
}

void tst_Body::newLayoutReplacesCrystals()
{
    Body body;
    QPointer<ACrystal> old = body.crystals.first();
    type(&body, "StartE", "9000");
    QCOMPARE(body.crystals.size(), 10);
    QVERIFY(body.crystals.first() != old.data());
    // The replaced crystal goes only once control is back in the event loop, and says nothing
    // to the window meanwhile.
    QVERIFY(!old.isNull());
    QVERIFY(!old->isVisible());
    const int entries = body.avrCps.points.size();
    type(field(old, "Deg"), "30");
    QCOMPARE(body.avrCps.points.size(), entries);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(old.isNull());

    QCOMPARE(field(body.crystals.first(), "Energy")->text(), QString(" 9000.0000"));
    QCOMPARE(field(body.crystals.last(), "Energy")->text(), QString(" 8865.0000"));
    QCOMPARE(body.avrCps.points.last().label, QString("9000-8865[eV]"));
    auto cl = child<QGridLayout>(&body, "CL");
    QCOMPARE(cl->count(), 11);
    QCOMPARE(cl->itemAtPosition(10, 0)->widget(), body.crystals.last());
}

void tst_Body::crystalCountBounded_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("crystals");
    QTest::addColumn<QString>("shown");
    QTest::newRow("above the bound") << "5000" << 1000 << "1000";
    QTest::newRow("at the bound") << "1000" << 1000 << "1000";
    QTest::newRow("zero gives one") << "0" << 1 << "0";
    QTest::newRow("not an integer counts as 0") << "2.5" << 1 << "2.5";
    QTest::newRow("too large for an integer counts as 0") << "99999999999" << 1 << "99999999999";
}

void tst_Body::crystalCountBounded()
{
    QFETCH(QString, typed);
    QFETCH(int, crystals);
    QFETCH(QString, shown);
    Body body;
    type(&body, "Num", typed);
    QCOMPARE(body.crystals.size(), crystals);
    QCOMPARE(child<QLineEdit>(&body, "Num")->text(), shown);
    QCOMPARE(body.shapes.size(), 10 * crystals);
    QCOMPARE(field(body.crystals.last(), "Energy")->text(),
             QString::asprintf("%10.4f", 8000.0 - 15 * (crystals - 1)));
}

void tst_Body::noCrystals()
{
    Body body;
    QTest::mouseClick(child<QRadioButton>(&body, "Type6"), Qt::LeftButton);
    const int entries = body.avrCps.points.size();
    type(&body, "Num", "0");
    QCOMPARE(body.crystals.size(), 0);
    QCOMPARE(body.shapes.size(), 0);
    QCOMPARE(body.centres.points.size(), 0);
    QCOMPARE(body.avrCps.points.size(), entries);
    QCOMPARE(body.crystalsView.realC0, QRectF(1.2e300, 1.2e300, -2.4e300, -2.4e300));
    QCOMPARE(body.crystalsView.realC, body.crystalsView.realC0);
    QCOMPARE(child<QGridLayout>(&body, "CL")->count(), 1);
}

void tst_Body::rotateAll()
{
    Body body;
    QVector<Point> starts;
    QVector<double> angles;
    for (const ACrystal *c : qAsConst(body.crystals)) {
        starts << c->startPoint();
        angles << c->angleDeg();
    }
    type(&body, "RotateAllDeg", "90");
    QCOMPARE(body.crystals.first()->angleDeg(), angles.first());
    QTest::mouseClick(child<QCheckBox>(&body, "RotateAll"), Qt::LeftButton);
    for (int i = 0; i < body.crystals.size(); ++i) {
        const ACrystal *c = body.crystals[i];
        QVERIFY(std::fabs(c->startPoint().x + starts[i].y) < 1e-12);
        QVERIFY(std::fabs(c->startPoint().y - starts[i].x) < 1e-12);
        QVERIFY(std::fabs(c->angleDeg() - (angles[i] + 90.0)) < 1e-12);
    }
    QCOMPARE(field(body.crystals[1], "Deg")->text(), QString(" 104.337686"));
    // The shown energy follows the new angle.
    QCOMPARE(field(body.crystals[0], "Energy")->text(), QString(" 2040.6955"));

    QTest::mouseClick(child<QCheckBox>(&body, "RotateAll"), Qt::LeftButton);
    QStringList rows;
    for (ACrystal *c : qAsConst(body.crystals))
        rows << row(c);
    QCOMPARE(rows, kStartRows);
}

void tst_Body::newMaterial_data()
{
    QTest::addColumn<QStringList>("typed"); // lattice constant, h, k, l
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<QString>("angle");
    QTest::newRow("indices 2 2 0") << QStringList{"5.4301", "2", "2", "0"} << "1.91983"
                                   << "  23.805322";
    QTest::newRow("indices 0 0 0: infinite spacing")
        << QStringList{"5.4301", "0", "0", "0"} << "inf"
        << "   0.000000";
    QTest::newRow("lattice constant 0, indices 0 0 0: no spacing")
        << QStringList{"0", "0", "0", "0"} << "nan"
        << "  -1.000000";
    QTest::newRow("a word counts as 0") << QStringList{"5.4301", "x", "0", "1"} << "5.4301"
                                        << "   8.204394";
}

void tst_Body::newMaterial()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, spacing);
    QFETCH(QString, angle);
    Body body;
    type(&body, "LatticeC", typed[0]);
    type(&body, "IndexH", typed[1]);
    type(&body, "IndexK", typed[2]);
    type(&body, "IndexL", typed[3]);
    QCOMPARE(child<QLineEdit>(&body, "Spacing")->text(), spacing);
    QCOMPARE(QString::number(units.D, 'g', 6), spacing);
    QCOMPARE(body.crystals.size(), 10);
    QCOMPARE(field(body.crystals.first(), "Deg")->text(), angle);
}

void tst_Body::scaleReset()
{
    Body body;
    for (DispABase *v : {&body.overallView, &body.crystalsView, &body.focusView, &body.imagingView})
        v->realC = QRectF(1, 2, 3, 4);
    QTest::mouseClick(child<QPushButton>(&body, "ScaleReset"), Qt::LeftButton);
    for (DispABase *v : {&body.overallView, &body.crystalsView, &body.focusView, &body.imagingView})
        QCOMPARE(v->realC, v->realC0);
    // An edit refits the crystals window and moves the focus windows, but leaves the overall
    // window's view until the next reset.
    body.overallView.realC = QRectF(1, 2, 3, 4);
    type(field(body.crystals[9], "Y"), "30");
    QCOMPARE(body.overallView.realC, QRectF(1, 2, 3, 4));
    QCOMPARE(body.crystalsView.realC, body.crystalsView.realC0);
    QVERIFY(body.crystalsView.realC0.bottom() > 30);
}

void tst_Body::squareGrid_data()
{
    QTest::addColumn<QRectF>("view");
    QTest::addColumn<bool>("growsHeight");
    QTest::newRow("flat view grows in height") << QRectF(0, 0, 100, 10) << true;
    QTest::newRow("tall view grows in width") << QRectF(-5, 0, 10, 100) << false;
}

void tst_Body::squareGrid()
{
    QFETCH(QRectF, view);
    QFETCH(bool, growsHeight);
    Body body;
    body.overallView.realC = view;
    QTest::mouseClick(child<QPushButton>(&body, "SquareG"), Qt::LeftButton);
    const QRectF r = body.overallView.realC;
    const double w = body.overallView.disp.width();
    const double h = body.overallView.disp.height();
    QCOMPARE(r.center(), view.center());
    if (growsHeight) {
        QCOMPARE(r.width(), view.width());
        QVERIFY(r.height() > view.height());
    } else {
        QCOMPARE(r.height(), view.height());
        QVERIFY(r.width() > view.width());
    }
    QVERIFY(std::fabs(r.width() / w - r.height() / h) < 1e-12);
    // Every window is squared, and pressing again changes nothing.
    const QRectF f = body.focusView.realC;
    QVERIFY(std::fabs(f.width() / body.focusView.disp.width()
                      - f.height() / body.focusView.disp.height())
            < 1e-12);
    QTest::mouseClick(child<QPushButton>(&body, "SquareG"), Qt::LeftButton);
    QVERIFY(sameRect(body.overallView.realC, r, 1e-9));
    QVERIFY(sameRect(body.focusView.realC, f, 1e-9));
}

void tst_Body::showGraph()
{
    Body body;
    body.crystalsView.close();
    body.imagingView.close();
    QVERIFY(!body.crystalsView.isVisible());
    QTest::mouseClick(child<QPushButton>(&body, "ShowGraph"), Qt::LeftButton);
    for (DispABase *v : {&body.overallView, &body.crystalsView, &body.focusView, &body.imagingView})
        QVERIFY(v->isVisible());
}

QTEST_MAIN(tst_Body)
#include "tst_body.moc"
