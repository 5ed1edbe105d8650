#include "acrystal.h"
#include "calign.h"
#include "designdocument.h"
#include "mcrystal.h"
#include "numberinput.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

class tst_Panels : public QObject
{
    Q_OBJECT

    // Plays the steps, separated by blanks, and returns how often the panel announced a change
    // meanwhile: "Name" (Return in a field, or a click on a button), "Name=text" (picks item text
    // of a combo box, or types into a field with Return), "Name~text" (types, then moves the focus
    // to another field), "Name^" (takes the focus and moves it on, typing nothing) and "Name:text"
    // (the program sets the text, then Return). A panel to leave
    // a field in is shown first; the field stepped into first has the focus already, so that only
    // what the fields announce counts.
    static QString play(QWidget *w, const char *signal, const QString &steps)
    {
        if (steps.contains('~') || steps.contains('^')) {
            w->show();
            w->activateWindow();
            if (!QTest::qWaitForWindowActive(w))
                return "not shown";
        }
        if (auto *f = w->findChild<QLineEdit *>(steps.section(QRegularExpression("[=~:^ ]"), 0, 0)))
            f->setFocus();
        QSignalSpy spy(w, signal);
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            const int at = step.indexOf(QRegularExpression("[=~:^]"));
            const QString text = step.mid(at + 1);
            QWidget *target = w->findChild<QWidget *>(step.left(at));
            auto *field = qobject_cast<QLineEdit *>(target);
            if (auto box = qobject_cast<QComboBox *>(target)) {
                box->setCurrentIndex(text.toInt());
            } else if (auto button = qobject_cast<QAbstractButton *>(target)) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else if (at > 0 && step[at] == '^') {
                field->setFocus();
                w->findChildren<QLineEdit *>()
                    .value(field == w->findChild<QLineEdit *>())
                    ->setFocus();
            } else if (at > 0 && step[at] == ':') {
                field->setText(text);
                QTest::keyClick(field, Qt::Key_Return);
            } else if (at > 0) {
                field->setFocus();
                field->selectAll();
                QTest::keyClick(field, Qt::Key_Delete);
                QTest::keyClicks(field, text);
                if (step[at] == '=')
                    QTest::keyClick(field, Qt::Key_Return);
                else
                    w->findChildren<QLineEdit *>()
                        .value(field == w->findChild<QLineEdit *>())
                        ->setFocus();
            } else {
                QTest::keyClick(target, Qt::Key_Return);
            }
        }
        return QString::number(spy.count());
    }
    // The texts of the named fields without their padding, '|' between them.
    static QString texts(QWidget *w, const QStringList &names)
    {
        QStringList t;
        for (const QString &name : names)
            t << w->findChild<QLineEdit *>(name)->text().trimmed();
        return t.join('|');
    }
    // A crystal's block of a design file.
    static QString block(ACrystal &c, int i)
    {
        QString text;
        QTextStream out(&text);
        c.save(i, out);
        return text;
    }

private slots:
    // The arrangement panel's help window goes by deleteLater.
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // In every table: a change is announced once, a Return in an unchanged field too; a text that
    // is not a number puts the field back to its last accepted text and announces nothing, by
    // Return or by leaving the field (a text the program put in stands until the keyboard
    // changes it). The main window's tests type refused texts into the other fields.
    void material_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("expected"); // announcements | a | h | k | l | d
        QTest::addColumn<QString>("why");      // the red "d" field's tooltip begins so; "": not red
        dataRow("Return unchanged", "LatticeC IndexH IndexK IndexL", "4|5.4301|1|1|1|3.13507", "");
        dataRow("typed constant", "LatticeC=5.431", "1|5.431|1|1|1|3.13559", "");
        dataRow("shown crystal again", "LatticeC=5.431 SelCrystal=0", "1|5.431|1|1|1|3.13559", "");
        dataRow("other crystal", "LatticeC=5.431 SelCrystal=1", "2|5.6754|1|1|1|3.27669", "");
        dataRow(
            "negative indices", "IndexH=-1 IndexK=-1 IndexL=-1", "3|5.4301|-1|-1|-1|3.13507", "");
        dataRow("constant refused", "LatticeC=x", "0|5.4301|1|1|1|3.13507", "");
        dataRow("index left empty", "IndexK~", "0|5.4301|1|1|1|3.13507", "");
        dataRow("index left unchanged", "IndexK~1", "0|5.4301|1|1|1|3.13507", "");
        // 0 1 1: mixed parity; 2 2 2: forbidden by the diamond structure, whatever the crystal.
        dataRow("mixed parity", "IndexH=0", "1|5.4301|0|1|1|3.83966", "0 1 1 is a forbidden");
        dataRow("indices 0 0 0", "IndexH=0 IndexK=0 IndexL=0", "3|5.4301|0|0|0|inf", "0 0 0 is no");
        dataRow("Ge 2 2 2",
                "SelCrystal=1 IndexH=2 IndexK=2 IndexL=2",
                "4|5.6754|2|2|2|1.63835",
                "2 2 2 is a forbidden reflection of Ge");
        dataRow("fractional", "IndexH=1.5", "1|5.4301|1.5|1|1|2.63399", "The Miller indices");
    }
    void material()
    {
        QFETCH(QString, actions);
        QFETCH(QString, expected);
        QFETCH(QString, why);
        MCrystal panel;
        const QString announced = play(&panel, SIGNAL(newValue()), actions);
        QCOMPARE(announced + '|'
                     + texts(&panel, {"LatticeC", "IndexH", "IndexK", "IndexL", "Spacing"}),
                 expected);
        // A reflection that reflects nothing shows at once: the "d" field red, with the reason.
        QLineEdit *d = panel.findChild<QLineEdit *>("Spacing");
        QVERIFY2(why.isEmpty() ? d->toolTip().isEmpty() : d->toolTip().startsWith(why),
                 qPrintable(d->toolTip()));
        const QImage field = d->grab().toImage();
        QCOMPARE(field.pixelColor(4, field.height() / 2) == QColor(255, 160, 160), !why.isEmpty());
        // Indices read back from a design file are checked as they come.
        for (const char *index : {"h    : 2", "k    : 1", "l    : 1"})
            panel.load(QString("# Lattice Index ") + index);
        QVERIFY(d->toolTip().startsWith("2 1 1 is a forbidden"));
        panel.load("# Lattice Index k    : 2");
        panel.load("# Lattice Index l    : 0");
        QVERIFY(d->toolTip().isEmpty() && d->styleSheet().isEmpty());
    }

    void arrangement_data()
    {
        QTest::addColumn<QString>("actions");
        // Announcements | the type checked | StartE DE Num DX DY Length used (1 white) or ignored
        // (0 grey) | the texts of StartE DE Num DX DY Length "Rotate All".
        QTest::addColumn<QString>("expected");
        dataRow("type 1", "Type1", "1|1|111010|8000|-15|10|4|1|4|0");
        dataRow("type 1 to 2", "Type1 Type2", "2|2|111001|8000|-15|10|4|1|4|0");
        dataRow("type 4, 6, 7", "Type4 Type6 Type7", "3|7|111011|8000|-15|10|4|1|4|0");
        dataRow("type 5", "Type5", "1|5|111111|8000|-15|10|4|1|4|0");
        // Every edit, every Return in an unchanged field, every click on "Rotate All", none on the
        // type already checked.
        dataRow("edits",
                "StartE=9000 DE=5 Num=3 DX=2 DY=5 Length=6 RotateAllDeg=3 RotateAll Type3 "
                "StartE DE Num DX DY Length RotateAllDeg RotateAll",
                "16|3|111011|9000|5|3|2|5|6|3");
        dataRow("inf", "DX=inf", "0|3|111011|8000|-15|10|4|1|4|0");
        dataRow("1e999", "RotateAllDeg=1e999", "0|3|111011|8000|-15|10|4|1|4|0");
        dataRow("left with letters", "Length~abc", "0|3|111011|8000|-15|10|4|1|4|0");
        dataRow("left with a number", "DY~2.5", "1|3|111011|8000|-15|10|4|2.5|4|0");
        // Leaving a field as it was is no edit; a Return in it is one.
        dataRow("left unchanged", "DY^ StartE~8000", "0|3|111011|8000|-15|10|4|1|4|0");
        dataRow("count 0", "Num=0", "1|3|111011|8000|-15|0|4|1|4|0");
        dataRow("put in by the program", "StartE:abc", "0|3|111011|abc|-15|10|4|1|4|0");
    }
    void arrangement()
    {
        QFETCH(QString, actions);
        QFETCH(QString, expected);
        CAlign panel;
        QString shown = play(&panel, SIGNAL(newValue()), actions) + '|';
        for (const QRadioButton *type :
             panel.findChildren<QRadioButton *>(QRegularExpression("^Type")))
            shown += type->isChecked() ? type->objectName().mid(4) : "";
        const QStringList sheets{"background-color: rgb(240, 240, 240);",
                                 "background-color: rgb(255, 255, 255);"};
        shown += '|';
        for (const char *name : {"StartE", "DE", "Num", "DX", "DY", "Length"})
            shown += QString::number(sheets.indexOf(child<QLineEdit>(&panel, name)->styleSheet()));
        shown += '|' + texts(&panel, {"StartE", "DE", "Num", "DX", "DY", "Length", "RotateAllDeg"});
        QCOMPARE(shown, expected);
    }

    void crystalRow_data()
    {
        QTest::addColumn<QString>("actions");
        // Edits handed on | Pos. X | Pos. Y | Length as the row shows the design's crystal 1.
        QTest::addColumn<QString>("expected");
        dataRow("X with Return", "X=5", "1|5.00000|0.00000|4.00000");
        dataRow("X left changed", "X~5", "1|5.00000|0.00000|4.00000");
        dataRow("Return unchanged", "Length", "1|0.00000|0.00000|4.00000");
        dataRow("left unchanged", "Length^", "0|0.00000|0.00000|4.00000");
        dataRow("refused", "Y=abc", "0|0.00000|0.00000|4.00000");
        dataRow("band value", "BeamW=7", "0|0.00000|0.00000|4.00000");
    }
    // A crystal row hands what is typed to its design: a Return always, leaving a field only with
    // a changed text; a refused text and the band values move nothing.
    void crystalRow()
    {
        QFETCH(QString, actions);
        QFETCH(QString, expected);
        DesignDocument doc;
        ACrystal row(&doc, 1);
        row.buildRow();
        const QString handed = play(&row, SIGNAL(updated()), actions);
        row.showCrystal(doc.design().crystals.first(), 1);
        QCOMPARE(handed + '|' + texts(&row, {"X", "Y", "Length"}), expected);
        QCOMPARE(texts(&row, {"X", "Y", "Deg", "Energy", "Length"}).split('|'),
                 QStringList({doc.design().crystals[0].texts.x.trimmed(),
                              doc.design().crystals[0].texts.y.trimmed(),
                              doc.design().crystals[0].texts.deg.trimmed(),
                              doc.design().crystals[0].texts.energy.trimmed(),
                              doc.design().crystals[0].texts.length.trimmed()}));
    }

    // Fields whose values give no reflection are marked red with the reason as their tooltip:
    // a crystal's Angle and Energy, the start energy, the lattice constant and the indices. The
    // numbers in them stay as the design has them.
    void marks_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("field");   // "Deg:3" of crystal 3's row, else a panel field
        QTest::addColumn<QString>("tooltip"); // how it starts; empty: not marked
        dataRow("reflects", "", "Energy:1", "");
        // hc / 2d for d = 3.13507 A is 1977.37 eV.
        dataRow("row below the cut-off",
                "Num=4 crystal.3.Energy=1000",
                "Energy:3",
                "No Bragg reflection: 1000 eV is below the Si 1 1 1 cut-off of 1977.4 eV");
        dataRow(
            "its angle too", "Num=4 crystal.3.Energy=1000", "Deg:3", "No Bragg reflection: 1000");
        dataRow("its neighbour", "Num=4 crystal.3.Energy=1000", "Deg:2", "");
        dataRow("laid out below", "Num=1000", "Energy:403", "No Bragg reflection: 1970 eV");
        dataRow("negative", "StartE=-5", "Deg:1", "No Bragg reflection: -5 eV is a negative");
        dataRow("start energy", "StartE=1000", "StartE", "No Bragg reflection: 1000 eV is below");
        dataRow(
            "lattice 0", "LatticeC=0", "LatticeC", "No crystal can reflect: a lattice constant");
        dataRow("0 0 0", "Index=0,0,0", "IndexL", "No crystal can reflect: 0 0 0");
        dataRow("fraction", "Index=1.5,1,1", "IndexH", "No crystal can reflect: Miller indices");
        dataRow("whole 100s", "Index=100,100,100", "IndexH", "");
        dataRow("whole 100s: the spacing",
                "Index=100,100,100",
                "Spacing",
                "The spacing 0.0314 Å is below half the wavelength");
        dataRow(
            "whole 100s: the energy", "Index=100,100,100", "StartE", "No Bragg reflection: 8000");
    }
    void marks()
    {
        QFETCH(QString, settings);
        QFETCH(QString, field);
        QFETCH(QString, tooltip);
        DesignDocument doc;
        for (const QString &s : settings.split(' ', Qt::SkipEmptyParts))
            QVERIFY(!doc.apply(s.section('=', 0, 0), s.section('=', 1)));
        MCrystal material;
        material.setDocument(&doc);
        CAlign arrangement;
        arrangement.setDocument(&doc);
        const int n = field.section(':', 1).toInt();
        ACrystal row(&doc, n);
        QLineEdit *shown = nullptr;
        if (n > 0) {
            row.showCrystal(doc.design().crystals.at(n - 1), n);
            row.buildRow();
            shown = child<QLineEdit>(&row, qPrintable(field.section(':', 0, 0)));
            const CrystalTexts &t = doc.design().crystals.at(n - 1).texts;
            QCOMPARE(shown->text(), field.startsWith("Deg") ? t.deg : t.energy);
        } else {
            shown = material.findChild<QLineEdit *>(field);
            if (!shown)
                shown = arrangement.findChild<QLineEdit *>(field);
        }
        QVERIFY(shown);
        QVERIFY2(tooltip.isEmpty() ? shown->toolTip().isEmpty()
                                   : shown->toolTip().startsWith(tooltip),
                 qPrintable(shown->toolTip()));
        QCOMPARE(shown->styleSheet().contains("rgb(255, 160, 160)"), !tooltip.isEmpty());
    }

    // A row builds its fields only when asked (when it comes into view); until then it costs an
    // empty frame of a built row's size.
    void rowsBuiltWhenSeen()
    {
        DesignDocument doc;
        ACrystal first(&doc, 1), second(&doc, 2);
        first.buildRow();
        QVERIFY(first.rowBuilt() && !second.rowBuilt());
        QVERIFY(second.findChildren<QLineEdit *>().isEmpty());
        QCOMPARE(second.sizeHint(), first.sizeHint());
        QCOMPARE(second.number(), 2);
        second.buildRow();
        QCOMPARE(child<QLineEdit>(&second, "Energy")->text(),
                 doc.design().crystals[1].texts.energy);
    }

    // What the keyboard may enter: finite numbers, and whole ones however written for a count.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        // As a number | as a count (clamped to int) | why a count field refuses it; empty:
        // accepted.
        QTest::addColumn<QString>("expected");
        dataRow("integer", "7", "7|7|");
        dataRow("blanks", " 12 ", "12|12|");
        dataRow("minus zero", "-0", "0|0|");
        dataRow("beyond int", "1e20", "1e+20|2147483647|");
        dataRow("below int", "-3e9", "-3e+09|-2147483648|");
        dataRow("fraction", "2.7", "2.7||Not a whole number: 2.7");
        dataRow("tiny", "4.9e-324", "4.94066e-324||Not a whole number: 4.9e-324");
        dataRow("empty", "", "||Not a number: (empty)");
        dataRow("nan", "nan", "||Not a number: nan");
        dataRow("inf", "-inf", "||Not a number: -inf");
        dataRow("beyond the doubles", "1e999", "||Not a number: 1e999");
        dataRow("decimal comma", "1,5", "||Not a number: 1,5");
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const std::optional<double> n = finiteNumber(text);
        const std::optional<int> c = wholeNumber(text);
        QCOMPARE(QStringList({n ? QString::number(*n) : "",
                              c ? QString::number(*c) : "",
                              FieldGuard::refusal(text, FieldKind::WholeNumber)})
                     .join('|'),
                 expected);
        QCOMPARE(FieldGuard::refusal(text, FieldKind::Number).isEmpty(), bool(n));
    }
};

LUMIVARD_TEST_MAIN(tst_Panels)
#include "tst_panels.moc"
