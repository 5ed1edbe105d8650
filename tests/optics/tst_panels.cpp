#include "acrystal.h"
#include "calign.h"
#include "mcrystal.h"
#include "numberinput.h"
#include "testsupport.h"
#include "units.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Plays "Name=text" (types into a field, or picks item text of a combo box) and "Name" (Return
// in a field, or a click on a button), in order.
void play(QWidget *w, const QString &actions)
{
    for (const QString &a : actions.split(' ', Qt::SkipEmptyParts)) {
        QWidget *target = w->findChild<QWidget *>(a.section('=', 0, 0));
        if (auto box = qobject_cast<QComboBox *>(target))
            box->setCurrentIndex(a.section('=', 1).toInt());
        else if (auto button = qobject_cast<QAbstractButton *>(target))
            QTest::mouseClick(button, Qt::LeftButton);
        else if (a.contains('='))
            type(static_cast<QLineEdit *>(target), a.section('=', 1));
        else
            QTest::keyClick(target, Qt::Key_Return);
    }
}

// The texts of the named fields without their padding, '|' between them.
QString texts(QWidget *w, const QStringList &names)
{
    QStringList t;
    for (const QString &name : names)
        t << w->findChild<QLineEdit *>(name)->text().trimmed();
    return t.join('|');
}

// "In Beam C." always shows the centre height of "Pos. Y" and is left out.
const QStringList kRow{"X", "Y", "Deg", "Energy", "Length", "BeamW"};

QString block(ACrystal &c, int i)
{
    QString text;
    QTextStream out(&text);
    c.save(i, out);
    return text;
}

} // namespace

class tst_Panels : public QObject
{
    Q_OBJECT

private slots:
    // The arrangement panel's help window goes by deleteLater.
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void material_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("announced");
        QTest::addColumn<QString>("shown"); // lattice constant | spacing
        QTest::addColumn<QString>("why");   // the red "d" field's tooltip begins so; "": not red
        dataRow("start-up", "", 0, "5.4301|3.13507", "");
        dataRow("Return unchanged", "LatticeC IndexH IndexK IndexL", 4, "5.4301|3.13507", "");
        dataRow("Ge", "SelCrystal=1", 1, "5.6754|3.27669", "");
        dataRow("Si 2 2 0", "IndexH=2 IndexK=2 IndexL=0", 3, "5.4301|1.91983", "");
        dataRow("typed constant", "LatticeC=5.431", 1, "5.431|3.13559", "");
        dataRow("shown crystal again", "LatticeC=5.431 SelCrystal=0", 1, "5.431|3.13559", "");
        dataRow("other crystal", "LatticeC=5.431 SelCrystal=1", 2, "5.6754|3.27669", "");
        dataRow("negative indices", "IndexH=-1 IndexK=-1 IndexL=-1", 3, "5.4301|3.13507", "");
        dataRow("not a number: refused", "IndexH=one", 0, "5.4301|3.13507", "");
        // 0 1 1: mixed parity.
        dataRow("mixed parity", "IndexH=0", 1, "5.4301|3.83966", "0 1 1 is a forbidden");
        dataRow("indices 0 0 0", "IndexH=0 IndexK=0 IndexL=0", 3, "5.4301|inf", "0 0 0 is no");
        // Forbidden by the diamond structure, whatever the crystal; still laid out.
        dataRow(
            "Si 2 0 0", "IndexK=0 IndexL=0 IndexH=2", 3, "5.4301|2.71505", "2 0 0 is a forbidden");
        dataRow("Ge 2 2 2",
                "SelCrystal=1 IndexH=2 IndexK=2 IndexL=2",
                4,
                "5.6754|1.63835",
                "2 2 2 is a forbidden reflection of Ge");
        dataRow("allowed again", "IndexH=2 IndexK=0 IndexL=0 IndexH=4", 4, "5.4301|1.35753", "");
        dataRow("fractional", "IndexH=1.5", 1, "5.4301|2.63399", "The Miller indices");
    }
    void material()
    {
        QFETCH(QString, actions);
        QFETCH(int, announced);
        QFETCH(QString, shown);
        QFETCH(QString, why);
        // The first design is laid out with this spacing, before the panel's own value.
        QCOMPARE(units.D, 3.13553);
        MCrystal panel;
        QSignalSpy spy(&panel, SIGNAL(newValue()));
        play(&panel, actions);
        QCOMPARE(spy.count(), announced);
        QCOMPARE(texts(&panel, {"LatticeC", "Spacing"}), shown);
        // A reflection that reflects nothing shows at once: the "d" field red, with the reason.
        QLineEdit *d = panel.findChild<QLineEdit *>("Spacing");
        QVERIFY2(why.isEmpty() ? d->toolTip().isEmpty() : d->toolTip().startsWith(why),
                 qPrintable(d->toolTip()));
        const QImage field = d->grab().toImage();
        const QColor inside = field.pixelColor(4, field.height() / 2);
        QCOMPARE(inside == QColor(255, 160, 160), !why.isEmpty());
    }

    void reflectionFromAFile()
    {
        // Indices read back from a design file are checked as they come.
        MCrystal panel;
        QLineEdit *d = panel.findChild<QLineEdit *>("Spacing");
        panel.load("# Lattice Index h    : 2");
        QVERIFY(d->toolTip().startsWith("2 1 1 is a forbidden"));
        panel.load("# Lattice Index k    : 2");
        panel.load("# Lattice Index l    : 0");
        QVERIFY(d->toolTip().isEmpty() && d->styleSheet().isEmpty());
    }

    void arrangement_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("announced");
        QTest::addColumn<int>("checked");
        QTest::addColumn<QString>("used"); // StartE DE Num DX DY Length: 1 white, 0 grey (ignored)
        dataRow("defaults", "", 0, 3, "111011");
        dataRow("type 1", "Type1", 1, 1, "111010");
        dataRow("type 1 to 2", "Type1 Type2", 2, 2, "111001");
        dataRow("type 3 again", "Type3", 0, 3, "111011");
        dataRow("type 4, 6, 7", "Type4 Type6 Type7", 3, 7, "111011");
        dataRow("type 5", "Type5", 1, 5, "111111");
        dataRow("edits", "StartE=9 DE=5 Num=3 DX=2 DY=5 Length=6 RotateAllDeg=3", 7, 3, "111011");
        dataRow("Return unchanged", "StartE DE Num DX DY Length RotateAllDeg", 7, 3, "111011");
        dataRow("Rotate All on, off", "RotateAll RotateAll", 2, 3, "111011");
    }
    void arrangement()
    {
        QFETCH(QString, actions);
        QFETCH(int, announced);
        QFETCH(int, checked);
        QFETCH(QString, used);
        CAlign panel;
        QSignalSpy spy(&panel, SIGNAL(newValue()));
        play(&panel, actions);
        QCOMPARE(spy.count(), announced);
        QVERIFY(panel.findChild<QAbstractButton *>("Type" + QString::number(checked))->isChecked());
        const QStringList sheets{"background-color: rgb(240, 240, 240);",
                                 "background-color: rgb(255, 255, 255);"};
        QString shown;
        for (const char *name : {"StartE", "DE", "Num", "DX", "DY", "Length"})
            shown += QString::number(sheets.indexOf(child<QLineEdit>(&panel, name)->styleSheet()));
        QCOMPARE(shown, used);
    }

    void crystalRow_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("updated");
        QTest::addColumn<QString>("shown"); // Pos. X | Pos. Y | Angle | Energy | Length | Beam W.
        // A crystal at 30 degrees centred on (0, 0), length 2, with d = 3.13553.
        dataRow("built", "", 0, "0.00000|0.00000|30.000000|3954.1718|2.00000|1.00000");
        dataRow("X", "X=5", 1, "5.00000|0.00000|30.000000|3954.1718|2.00000|1.00000");
        dataRow("Y", "Y=-3.5", 1, "0.00000|-3.50000|30.000000|3954.1718|2.00000|1.00000");
        // Angle and energy turn about the start point P = (-0.86603, -0.5).
        dataRow("deg", "Deg=90", 1, "-0.86603|0.50000|90.000000|1977.0859|2.00000|2.00000");
        dataRow("deg 0", "Deg=0", 1, "0.13397|-0.50000|0.000000|inf|2.00000|0.00000");
        dataRow("not a number: refused",
                "Deg=abc",
                0,
                "0.00000|0.00000|30.000000|3954.1718|2.00000|1.00000");
        dataRow("E", "Energy=7964.1234", 1, "0.10267|-0.25175|14.373923|7964.1234|2.00000|0.49650");
        dataRow("E 0", "Energy=0", 1, "0.13382|-0.51745|-1.000000|-113284.4296|2.00000|-0.03490");
        // Length about the centre.
        dataRow("L", "Length=4", 1, "0.00000|0.00000|30.000000|3954.1718|4.00000|2.00000");
        dataRow("L -2", "Length=-2", 1, "0.00000|0.00000|30.000000|3954.1718|-2.00000|-1.00000");
        // The computed fields are not inputs.
        dataRow("InBeamC", "InBeamC=7", 0, "0.00000|0.00000|30.000000|3954.1718|2.00000|1.00000");
    }
    void crystalRow()
    {
        QFETCH(QString, actions);
        QFETCH(int, updated);
        QFETCH(QString, shown);
        ACrystal c(30.0, 0.0, 0.0, 2.0);
        QSignalSpy spy(&c, SIGNAL(updated()));
        play(&c, actions);
        QCOMPARE(spy.count(), updated);
        QCOMPARE(texts(&c, kRow), shown);
        QCOMPARE(c.outCentre.deg, 2 * c.angleDeg());
        // Saved and read back into a crystal elsewhere.
        c.showValues();
        const QString saved = block(c, 4);
        ACrystal back(-50.0, 100.0, -20.0, 9.0);
        for (const QString &line : saved.split('\n'))
            back.load(4, line);
        back.restore();
        QCOMPARE(block(back, 4), saved);
    }

    // What the keyboard may enter: finite numbers, and whole ones however written for a count.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number"); // empty: refused
        QTest::addColumn<QString>("count");  // as a count; empty: refused
        QTest::addColumn<QString>("refusal");
        dataRow("integer", "7", "7", "7", "");
        dataRow("point zero", "7.0", "7", "7", "");
        dataRow("exponent", "7e0", "7", "7", "");
        dataRow("blanks", " 12 ", "12", "12", "");
        dataRow("minus zero", "-0", "0", "0", "");
        dataRow("beyond int", "1e20", "1e+20", "2147483647", "");
        dataRow("below int", "-3e9", "-3e+09", "-2147483648", "");
        dataRow("fraction", "2.7", "2.7", "", "Not a whole number: 2.7");
        dataRow("tiny", "4.9e-324", "4.94066e-324", "", "Not a whole number: 4.9e-324");
        dataRow("empty", "", "", "", "Not a number: (empty)");
        dataRow("letters", "abc", "", "", "Not a number: abc");
        dataRow("nan", "nan", "", "", "Not a number: nan");
        dataRow("inf", "-inf", "", "", "Not a number: -inf");
        dataRow("beyond the doubles", "1e999", "", "", "Not a number: 1e999");
        dataRow("decimal comma", "1,5", "", "", "Not a number: 1,5");
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, number);
        QFETCH(QString, count);
        QFETCH(QString, refusal);
        const std::optional<double> n = finiteNumber(text);
        QCOMPARE(n ? QString::number(*n) : QString(), number);
        const std::optional<int> c = wholeNumber(text);
        QCOMPARE(c ? QString::number(*c) : QString(), count);
        QCOMPARE(FieldGuard::refusal(text, FieldKind::WholeNumber), refusal);
        QCOMPARE(FieldGuard::refusal(text, FieldKind::Number).isEmpty(), !number.isEmpty());
        QVERIFY(FieldGuard::refusal(text, FieldKind::Text).isEmpty());
    }

    // A refused text puts the field back to its last accepted text and announces nothing, by
    // Return or by leaving the field; the crystal rows refuse as the panels do. A text the
    // program put in stands until the keyboard changes it.
    void refused_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("leaving"); // finished by moving the focus instead of Return
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("announced");
        dataRow("letters", "CAlign", "StartE", "abc", false, "8000", 0);
        dataRow("empty", "CAlign", "StartE", "", false, "8000", 0);
        dataRow("nan", "CAlign", "DE", "nan", false, "-15", 0);
        dataRow("inf", "CAlign", "DX", "inf", false, "4", 0);
        dataRow("1e999", "CAlign", "RotateAllDeg", "1e999", false, "0", 0);
        dataRow("left with letters", "CAlign", "Length", "abc", true, "4", 0);
        dataRow("left with a number", "CAlign", "DY", "2.5", true, "2.5", 1);
        dataRow("blanks around", "CAlign", "StartE", " 9000 ", false, " 9000 ", 1);
        dataRow("count 7.0", "CAlign", "Num", "7.0", false, "7.0", 1);
        dataRow("count 7e0", "CAlign", "Num", "7e0", false, "7e0", 1);
        dataRow("count 0", "CAlign", "Num", "0", false, "0", 1);
        dataRow("count 2.7", "CAlign", "Num", "2.7", false, "10", 0);
        dataRow("lattice constant", "MCrystal", "LatticeC", "x", false, "5.4301", 0);
        dataRow("index", "MCrystal", "IndexK", "", true, "1", 0);
        dataRow("row X", "ACrystal", "X", "abc", false, "    0.00000", 0);
        dataRow("row Y", "ACrystal", "Y", "", true, "    0.00000", 0);
        dataRow("row angle", "ACrystal", "Deg", "inf", false, "  30.000000", 0);
        dataRow("row energy", "ACrystal", "Energy", "nan", false, " 3954.1718", 0);
        dataRow("row length", "ACrystal", "Length", "1e999", false, "   2.00000", 0);
        dataRow("row length, a number", "ACrystal", "Length", "4", false, "   4.00000", 1);
        dataRow("put in by the program", "CAlign", "StartE", "=abc", false, "abc", 0);
    }
    void refused()
    {
        QFETCH(QString, panel);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, leaving);
        QFETCH(QString, shown);
        QFETCH(int, announced);
        std::unique_ptr<QWidget> w;
        if (panel == "CAlign")
            w.reset(new CAlign);
        else if (panel == "MCrystal")
            w.reset(new MCrystal);
        else
            w.reset(new ACrystal(30.0, 0.0, 0.0, 2.0));
        QSignalSpy spy(w.get(), panel == "ACrystal" ? SIGNAL(updated()) : SIGNAL(newValue()));
        auto *f = child<QLineEdit>(w.get(), qPrintable(field));
        if (typed.startsWith('=')) {
            // As a design file sets it; then Return.
            f->setText(typed.mid(1));
            QTest::keyClick(f, Qt::Key_Return);
        } else {
            if (leaving) {
                w->show();
                w->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(w.get()));
            }
            f->setFocus();
            // Only what the field itself announces counts (the window's first field gave up
            // the focus just now).
            spy.clear();
            f->selectAll();
            if (typed.isEmpty())
                QTest::keyClick(f, Qt::Key_Delete);
            QTest::keyClicks(f, typed);
            if (leaving)
                w->findChildren<QLineEdit *>().value(f == w->findChild<QLineEdit *>())->setFocus();
            else
                QTest::keyClick(f, Qt::Key_Return);
            QVERIFY(!leaving || !f->hasFocus());
        }
        QCOMPARE(f->text(), shown);
        QCOMPARE(spy.count(), announced);
    }

    void rowTexts()
    {
        ACrystal c(30.0, 0.0, 0.0, 2.0);
        QVERIFY(near(c.startPoint().x, -0.86603, 5e-6) && near(c.startPoint().y, -0.5, 1e-15));
        QCOMPARE(block(c, 3),
                 QStringLiteral("# Crystal Pos X      : 3 :     0.00000\n"
                                "# Crystal Pos Y      : 3 :     0.00000\n"
                                "# Crystal Deg        : 3 :   30.000000\n"
                                "# Crystal Energy     : 3 :  3954.1718\n"
                                "# Crystal Length     : 3 :    2.00000\n"
                                "# Crystal In Beam C  : 3 :     0.00000\n"
                                "# Crystal Beam Width : 3 :     1.00000\n"));
        std::unique_ptr<ACrystal> title(ACrystal::makeHeader());
        QCOMPARE(texts(title.get(), kRow + QStringList("InBeamC")),
                 QStringLiteral("Pos. X|Pos. Y|Angle [deg]|Energy[eV]|Length|Beam W.|In Beam C."));
        // Editing X re-reads Y from its text; what an edit does not read keeps full precision.
        ACrystal d(14.308084, 0.0, 1.0 / 3.0, 4.0);
        play(&d, "X=2");
        QCOMPARE(d.centre().y, 0.33333);
        QCOMPARE(d.angleDeg(), 14.308084);
    }

    void readBack()
    {
        // An energy typed into a saved file turns the crystal about its stored start point; lines
        // without the prefix "0 : " are not for crystal 0.
        ACrystal c(30.0, 0.0, 0.0, 2.0);
        ACrystal e(-50.0, 100.0, -20.0, 9.0);
        QString file = block(c, 0).replace(" 3954.1718", " 7000.0000");
        for (const QString &line :
             (file + "# Crystal Pos X      : 5\n# Crystal Pos X      : 10 : 5").split('\n'))
            e.load(0, line);
        e.restore();
        QCOMPARE(e.energyText(), QStringLiteral(" 7000.0000"));
        QVERIFY(near(e.startPoint().x, c.startPoint().x, 1e-5)
                && near(e.startPoint().y, -0.5, 1e-5));
        // The crystal a line names: its index as written, without a leading zero, at most nine
        // digits (ten name no crystal that can exist, and would overflow).
        const QString key = QStringLiteral("# Crystal Deg        : ");
        QCOMPARE(ACrystal::lineIndex(key + "12 : 1"), 12);
        QCOMPARE(ACrystal::lineIndex(key + "999999999 : "), 999999999);
        for (const char *rest :
             {"1000000000 : 1", "99999999999999999999 : 1", "03 : 1", "-1 : 1", "3 :1", "5"})
            QCOMPARE(ACrystal::lineIndex(key + rest), -1);
        QCOMPARE(ACrystal::lineIndex("# Length             : 3 : 1"), -1);
    }
};

QTEST_MAIN(tst_Panels)
#include "tst_panels.moc"
