// The crystal table across regenerations and at every size: rows are kept and only the difference
// in count is made or thrown away, each still numbered, in its place and connected once; a field
// holding the keyboard focus through a regeneration does not write its texts back afterwards; the
// table is laid out a few times per regeneration, not once per row; the rows scroll under their
// column titles so that the window stays within the screen.
#include "body.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const char *const kRowFields[] = {"X", "Y", "Deg", "Energy", "Length", "InBeamC", "BeamW"};

// Geometry changes of crystal rows: each layout pass of the table resizes the rows it squeezes.
class RowResizes : public QObject
{
public:
    RowResizes() { qApp->installEventFilter(this); }
    ~RowResizes() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        count += e->type() == QEvent::Resize && qobject_cast<ACrystal *>(o);
        return false;
    }
};

// n crystals through "Num of C." and a Return in "Start. Energy", as a user asks for them.
void layOut(Body &body, int n)
{
    child<QLineEdit>(&body, "Num")->setText(QString::number(n));
    QTest::keyClick(child<QLineEdit>(&body, "StartE"), Qt::Key_Return);
}

// Where each crystal's row stands: "" when every crystal i is in CL row i + 1, numbered i + 1,
// shown, under the column titles in row 0.
QString misplacedRows(Body &body)
{
    QGridLayout *cl = child<QGridLayout>(&body, "CL");
    if (cl->count() != body.crystals.size() + 1 || !cl->itemAtPosition(0, 0)
        || !child<QLabel>(cl->itemAtPosition(0, 0)->widget(), "No")->text().isEmpty())
        return "no table of titles and rows";
    for (int i = 0; i < body.crystals.size(); ++i) {
        ACrystal *c = body.crystals[i];
        int row = -1, column, rowSpan, columnSpan;
        cl->getItemPosition(cl->indexOf(c), &row, &column, &rowSpan, &columnSpan);
        if (row != i + 1 || !c->isVisibleTo(&body) || c->number() != i + 1
            || (c->rowBuilt() && child<QLabel>(c, "No")->text() != QString::number(i + 1)))
            return QString("crystal %1 in row %2").arg(i + 1).arg(row);
    }
    return QString();
}

// The crystal's geometry to the last bit.
QVector<double> geometry(const ACrystal *c)
{
    const Line &s = c->surface;
    return {s.Point::x, s.Point::y, s.Dir::x, s.Dir::y, s.deg, s.length};
}

} // namespace

class tst_LargeDesign : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void rowsKept_data()
    {
        QTest::addColumn<QVector<int>>("counts");
        QTest::newRow("same count") << QVector<int>{10, 10};
        QTest::newRow("more") << QVector<int>{10, 37};
        QTest::newRow("fewer, then none, then more") << QVector<int>{37, 4, 0, 12};
    }
    // Rows are the same objects as long as their crystal exists; the ones left over go; every
    // edit redraws once; the rows show what the rows of a program just started would show.
    void rowsKept()
    {
        QFETCH(QVector<int>, counts);
        Body body, fresh;
        for (int n : counts) {
            const QVector<ACrystal *> before = body.crystals;
            const QVector<QPointer<ACrystal>> watched(before.begin(), before.end());
            // Type 6 builds no crystal for a count of 0; type 3 builds one at least.
            child<QRadioButton>(&body, n == 0 ? "Type6" : "Type3")->setChecked(true);
            layOut(body, n);
            QCOMPARE(body.crystals.size(), n);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            for (int i = 0; i < before.size(); ++i)
                QCOMPARE(watched[i].data(), i < n ? before[i] : nullptr);
            QCOMPARE(misplacedRows(body), QString());
            QCOMPARE(body.shapes.size(), 10 * n);
        }
        // Connected once: one edit, one redraw and one entry in each history.
        const int entries = body.avrCps.points.size();
        type(rowField<QLineEdit>(body.crystals.last(), "Length"), "3.5");
        QCOMPARE(body.avrCps.points.size(), entries + 1);

        layOut(fresh, body.crystals.size());
        type(rowField<QLineEdit>(fresh.crystals.last(), "Length"), "3.5");
        for (int i = 0; i < body.crystals.size(); ++i) {
            for (const char *f : kRowFields)
                QCOMPARE(rowField<QLineEdit>(body.crystals[i], f)->text(),
                         rowField<QLineEdit>(fresh.crystals[i], f)->text());
            QCOMPARE(geometry(body.crystals[i]), geometry(fresh.crystals[i]));
        }
    }

    void focusedFieldThroughRegeneration_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("returnPressed");
        QTest::newRow("edited with Return") << "6.123456789" << true;
        QTest::newRow("typed, no Return") << "6.5" << false;
    }
    // Qt 5 finishes an edit again when the field loses the focus: a field that kept the focus
    // through a regeneration must not then write what it shows into its (new) crystal.
    void focusedFieldThroughRegeneration()
    {
        QFETCH(QString, typed);
        QFETCH(bool, returnPressed);
        Body body, fresh;
        body.show();
        QVERIFY(QTest::qWaitForWindowActive(&body));
        QLineEdit *length = rowField<QLineEdit>(body.crystals[3], "Length");
        length->setFocus();
        length->selectAll();
        QTest::keyClicks(length, typed);
        if (returnPressed)
            QTest::keyClick(length, Qt::Key_Return);
        // A type switch from the keyboard's point of view: the focus stays where it is.
        for (Body *b : {&body, &fresh})
            child<QRadioButton>(b, "Type4")->setChecked(true);
        const int entries = body.avrCps.points.size();
        child<QLineEdit>(&body, "Comment")->setFocus();
        QVERIFY(!length->hasFocus());
        QCOMPARE(body.avrCps.points.size(), entries);
        QCOMPARE(geometry(body.crystals[3]), geometry(fresh.crystals[3]));
        QCOMPARE(length->text(), rowField<QLineEdit>(fresh.crystals[3], "Length")->text());
    }

    void windowWithinScreen_data()
    {
        QTest::addColumn<int>("crystals");
        QTest::newRow("3: the whole table") << 3;
        QTest::newRow("100") << 100;
        QTest::newRow("1000") << 1000;
    }
    // The rows are laid out a few times, not once per row. The window fits its contents, at
    // most the screen's height: the panels, the read-outs, the buttons and the comment in view,
    // the rows scrolling under their titles, the scroll bar beside the fields and only when the
    // table is cut. Every row can be scrolled to.
    void windowWithinScreen()
    {
        QFETCH(int, crystals);
        Body body;
        body.show();
        QVERIFY(QTest::qWaitForWindowExposed(&body));
        {
            RowResizes resizes;
            layOut(body, crystals);
            QVERIFY2(resizes.count <= 3 * crystals, qPrintable(QString::number(resizes.count)));
        }
        QCoreApplication::processEvents();
        QCOMPARE(misplacedRows(body), QString());

        QCOMPARE(body.size(), body.minimumSize());
        QVERIFY(body.frameGeometry().height() <= body.screen()->availableGeometry().height());
        for (const QString &name : QString("MC CA AvrCps AvrIps MPos MeasLength ShowGraph ResetCPs "
                                           "SquareG ScaleReset Save Load Comment")
                                       .split(' ')) {
            QWidget *w = child<QWidget>(&body, qPrintable(name));
            QVERIFY2(w->isVisible()
                         && body.rect().contains(QRect(w->mapTo(&body, QPoint()), w->size())),
                     qPrintable(name));
        }

        QScrollArea *area = child<QScrollArea>(&body, "CLScroll");
        QWidget *table = child<QWidget>(&body, "CLBase");
        QCOMPARE(area->widget(), table);
        const bool cut = table->minimumSizeHint().height() > area->viewport()->height();
        QCOMPARE(area->verticalScrollBar()->isVisible(), cut);
        QCOMPARE(cut, crystals > 3);
        // Not squeezed: every field at least as wide as it asks to be.
        QWidget *titles = child<QGridLayout>(&body, "CL")->itemAtPosition(0, 0)->widget();
        for (const char *f : kRowFields) {
            QWidget *field = child<QWidget>(titles, f);
            QVERIFY2(field->width() >= field->sizeHint().width(), f);
            QCOMPARE(rowField<QWidget>(body.crystals.last(), f)->width(), field->width());
        }

        // The last row scrolled into view lies below the titles, which stay at the top.
        const int titlesTop = titles->mapTo(area->viewport(), QPoint()).y();
        ACrystal *last = body.crystals.last();
        area->ensureWidgetVisible(last);
        QCoreApplication::processEvents();
        const QRect lastInView(last->mapTo(area->viewport(), QPoint()), last->size());
        QVERIFY(area->viewport()->rect().contains(lastInView));
        QCOMPARE(titles->mapTo(area->viewport(), QPoint()).y(), titlesTop);
        QVERIFY(lastInView.top() >= titlesTop + titles->height());
        QVERIFY(!cut || area->verticalScrollBar()->value() > 0);
    }
};

LUMIVARD_TEST_MAIN(tst_LargeDesign)
#include "tst_largedesign.moc"
