// Designs of many crystals: a regeneration lays the crystal table out a few times, not once per
// row, and still shows every row in its place with the window fitted to them.
#include "body.h"
#include "testsupport.h"

#include <QApplication>
#include <QGridLayout>
#include <QtTest>

namespace {

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
        if (e->type() == QEvent::Resize && qobject_cast<ACrystal *>(o))
            ++count;
        return false;
    }
};

} // namespace

class tst_LargeDesign : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void rowsLaidOutOnce_data();
    void rowsLaidOutOnce();
};

void tst_LargeDesign::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_LargeDesign::rowsLaidOutOnce_data()
{
    QTest::addColumn<int>("crystals");
    QTest::newRow("10") << 10;
    QTest::newRow("200") << 200;
}

void tst_LargeDesign::rowsLaidOutOnce()
{
    QFETCH(int, crystals);
    Body body;
    body.show();
    QVERIFY(QTest::qWaitForWindowExposed(&body));
    QLineEdit *num = child<QLineEdit>(child<QWidget>(&body, "CA"), "Num");
    num->setText(QString::number(crystals));
    RowResizes resizes;
    QTest::keyClick(child<QLineEdit>(child<QWidget>(&body, "CA"), "StartE"), Qt::Key_Return);
    QCOMPARE(body.crystals.size(), crystals);
    QVERIFY(resizes.count <= 3 * crystals);

    QGridLayout *cl = child<QGridLayout>(&body, "CL");
    for (int i = 0; i < crystals; ++i) {
        ACrystal *c = body.crystals[i];
        QVERIFY(c->isVisible());
        int row = -1, column, rowSpan, columnSpan;
        cl->getItemPosition(cl->indexOf(c), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(row, i + 1);
    }
}

QTEST_MAIN(tst_LargeDesign)
#include "tst_largedesign.moc"
