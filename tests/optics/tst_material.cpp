#include "mcrystal.h"
#include "units.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

class tst_Material : public QObject
{
    Q_OBJECT

private slots:
    void unitsStartValue();
    void startValues();
    void spacingFromFields_data();
    void spacingFromFields();
    void crystalChoice();
    void choosingShownCrystalKeepsTypedConstant();
    void returnWithoutChangeAnnounces();
    void typedSpacingIsOverwritten();
    void save();
    void load_data();
    void load();
    void selectedCrystalOutsideTable();
    void unrelatedLinesIgnored();
    void destroyWithFocusedEditedField();

private:
    static QLineEdit *field(MCrystal &panel, const char *name)
    {
        return panel.findChild<QLineEdit *>(QLatin1String(name));
    }
    static QComboBox *crystals(MCrystal &panel)
    {
        return panel.findChild<QComboBox *>(QStringLiteral("SelCrystal"));
    }
};

void tst_Material::unitsStartValue()
{
    // Nothing in this program writes units before the main window exists.
    QCOMPARE(units.D, 3.13553);
    Units other;
    other.setD(3.27669);
    QCOMPARE(other.D, 3.27669);
    QCOMPARE(units.D, 3.13553);
}

void tst_Material::startValues()
{
    MCrystal panel;
    QCOMPARE(crystals(panel)->count(), 2);
    QCOMPARE(crystals(panel)->itemText(0), QStringLiteral("Si"));
    QCOMPARE(crystals(panel)->itemText(1), QStringLiteral("Ge"));
    QCOMPARE(crystals(panel)->currentText(), QStringLiteral("Si"));
    QCOMPARE(field(panel, "LatticeC")->text(), QStringLiteral("5.4301"));
    QCOMPARE(field(panel, "IndexH")->text(), QStringLiteral("1"));
    QCOMPARE(field(panel, "IndexK")->text(), QStringLiteral("1"));
    QCOMPARE(field(panel, "IndexL")->text(), QStringLiteral("1"));
    QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("3.13507"));
    for (const char *name : {"Spacing", "IndexH", "IndexK", "IndexL", "LatticeC"})
        QCOMPARE(field(panel, name)->alignment(), Qt::AlignRight | Qt::AlignVCenter);
}

void tst_Material::spacingFromFields_data()
{
    QTest::addColumn<QString>("lattice");
    QTest::addColumn<QString>("h");
    QTest::addColumn<QString>("k");
    QTest::addColumn<QString>("l");
    QTest::addColumn<QString>("spacing");

    QTest::newRow("Si 2 2 0") << "5.4301"
                              << "2"
                              << "2"
                              << "0"
                              << "1.91983";
    QTest::newRow("typed 5.431") << "5.431"
                                 << "1"
                                 << "1"
                                 << "1"
                                 << "3.13559";
    QTest::newRow("negative indices") << "5.4301"
                                      << "-1"
                                      << "-1"
                                      << "-1"
                                      << "3.13507";
    QTest::newRow("mixed signs") << "5.4301"
                                 << "2"
                                 << "-2"
                                 << "0"
                                 << "1.91983";
    QTest::newRow("fractional indices") << "5.4301"
                                        << "0.5"
                                        << "0.5"
                                        << "0.5"
                                        << "6.27014";
    QTest::newRow("word as index") << "5.4301"
                                   << "one"
                                   << "1"
                                   << "1"
                                   << "3.83966";
    QTest::newRow("empty index") << "5.4301"
                                 << ""
                                 << "1"
                                 << "1"
                                 << "3.83966";
    QTest::newRow("word as constant") << "Si"
                                      << "1"
                                      << "1"
                                      << "1"
                                      << "0";
    QTest::newRow("comma decimal") << "5,4301"
                                   << "1"
                                   << "1"
                                   << "1"
                                   << "0";
    QTest::newRow("all indices 0") << "5.4301"
                                   << "0"
                                   << "0"
                                   << "0"
                                   << "inf";
    QTest::newRow("all indices words") << "5.4301"
                                       << "h"
                                       << "k"
                                       << "l"
                                       << "inf";
    QTest::newRow("negative constant, indices 0") << "-5.4301"
                                                  << "0"
                                                  << "0"
                                                  << "0"
                                                  << "-inf";
    QTest::newRow("everything 0") << "0"
                                  << "0"
                                  << "0"
                                  << "0"
                                  << "nan";
    QTest::newRow("overflowing constant") << "1e308"
                                          << "0.5"
                                          << "0"
                                          << "0"
                                          << "inf";
}

void tst_Material::spacingFromFields()
{
    QFETCH(QString, lattice);
    QFETCH(QString, h);
    QFETCH(QString, k);
    QFETCH(QString, l);
    QFETCH(QString, spacing);

    MCrystal panel;
    QSignalSpy announced(&panel, SIGNAL(newValue()));
    field(panel, "IndexH")->setText(h);
    field(panel, "IndexK")->setText(k);
    field(panel, "IndexL")->setText(l);
    QLineEdit *constant = field(panel, "LatticeC");
    constant->clear();
    QTest::keyClicks(constant, lattice);
    QCOMPARE(announced.count(), 0);
    QTest::keyClick(constant, Qt::Key_Return);

    QCOMPARE(field(panel, "Spacing")->text(), spacing);
    QCOMPARE(announced.count(), 1);
    // The typed texts stay as typed.
    QCOMPARE(constant->text(), lattice);
    QCOMPARE(field(panel, "IndexH")->text(), h);
}

void tst_Material::crystalChoice()
{
    MCrystal panel;
    QSignalSpy announced(&panel, SIGNAL(newValue()));
    crystals(panel)->setCurrentIndex(1);
    QCOMPARE(field(panel, "LatticeC")->text(), QStringLiteral("5.6754"));
    QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("3.27669"));
    QCOMPARE(announced.count(), 1);

    crystals(panel)->setCurrentIndex(0);
    QCOMPARE(field(panel, "LatticeC")->text(), QStringLiteral("5.4301"));
    QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("3.13507"));
    QCOMPARE(announced.count(), 2);
}

void tst_Material::choosingShownCrystalKeepsTypedConstant()
{
    MCrystal panel;
    QLineEdit *constant = field(panel, "LatticeC");
    constant->setText(QStringLiteral("5.431"));
    QTest::keyClick(constant, Qt::Key_Return);
    QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("3.13559"));

    QSignalSpy announced(&panel, SIGNAL(newValue()));
    crystals(panel)->setCurrentIndex(0); // Si is already the current item
    QCOMPARE(constant->text(), QStringLiteral("5.431"));
    QCOMPARE(announced.count(), 0);

    crystals(panel)->setCurrentIndex(1);
    QCOMPARE(constant->text(), QStringLiteral("5.6754"));
    QCOMPARE(announced.count(), 1);
}

void tst_Material::returnWithoutChangeAnnounces()
{
    MCrystal panel;
    QSignalSpy announced(&panel, SIGNAL(newValue()));
    for (const char *name : {"LatticeC", "IndexH", "IndexK", "IndexL"})
        QTest::keyClick(field(panel, name), Qt::Key_Return);
    QCOMPARE(announced.count(), 4);
    QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("3.13507"));
}

void tst_Material::typedSpacingIsOverwritten()
{
    MCrystal panel;
    QSignalSpy announced(&panel, SIGNAL(newValue()));
    QLineEdit *spacing = field(panel, "Spacing");
    spacing->clear();
    QTest::keyClicks(spacing, QStringLiteral("2.5"));
    QTest::keyClick(spacing, Qt::Key_Return);
    QCOMPARE(announced.count(), 0);
    QCOMPARE(spacing->text(), QStringLiteral("2.5"));

    QTest::keyClick(field(panel, "IndexL"), Qt::Key_Return);
    QCOMPARE(spacing->text(), QStringLiteral("3.13507"));
}

void tst_Material::save()
{
    MCrystal panel;
    crystals(panel)->setCurrentIndex(1);
    field(panel, "IndexH")->setText(QStringLiteral("2"));
    field(panel, "IndexK")->setText(QStringLiteral(" 2"));
    field(panel, "IndexL")->setText(QString());

    QString text;
    QTextStream out(&text);
    panel.save(out);
    out.flush();
    QCOMPARE(text,
             QStringLiteral("# Selected Crystal   : 1\n"
                            "# Lattice Constant   : 5.6754\n"
                            "# Lattice Index h    : 2\n"
                            "# Lattice Index k    :  2\n"
                            "# Lattice Index l    : \n"
                            "# Lattice Spacing    : 3.27669\n"));
}

void tst_Material::load_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("text");

    QTest::newRow("lattice constant") << "# Lattice Constant   : 5.431"
                                      << "LatticeC"
                                      << "5.431";
    QTest::newRow("index h") << "# Lattice Index h    : 2"
                             << "IndexH"
                             << "2";
    QTest::newRow("index k") << "# Lattice Index k    : -1"
                             << "IndexK"
                             << "-1";
    QTest::newRow("index l") << "# Lattice Index l    : 0"
                             << "IndexL"
                             << "0";
    QTest::newRow("spacing as stored") << "# Lattice Spacing    : 1.91983"
                                       << "Spacing"
                                       << "1.91983";
    QTest::newRow("blanks kept") << "# Lattice Constant   :  5.4 "
                                 << "LatticeC"
                                 << " 5.4 ";
    QTest::newRow("empty value") << "# Lattice Index h    : "
                                 << "IndexH"
                                 << "";
    QTest::newRow("not a number") << "# Lattice Spacing    : inf"
                                  << "Spacing"
                                  << "inf";
}

void tst_Material::load()
{
    QFETCH(QString, line);
    QFETCH(QString, fieldName);
    QFETCH(QString, text);

    MCrystal panel;
    QSignalSpy announced(&panel, SIGNAL(newValue()));
    panel.load(line);
    QCOMPARE(panel.findChild<QLineEdit *>(fieldName)->text(), text);
    // Restored texts take effect only when something reads them.
    QCOMPARE(announced.count(), 0);
    if (fieldName != QLatin1String("Spacing"))
        QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("3.13507"));
}

void tst_Material::selectedCrystalOutsideTable()
{
    MCrystal panel;
    QSignalSpy announced(&panel, SIGNAL(newValue()));
    panel.load(QStringLiteral("# Selected Crystal   : 1"));
    QCOMPARE(crystals(panel)->currentIndex(), 1);
    QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("3.27669"));
    QCOMPARE(announced.count(), 1);

    panel.load(QStringLiteral("# Selected Crystal   : 7"));
    QCOMPARE(crystals(panel)->currentIndex(), -1);
    QCOMPARE(field(panel, "LatticeC")->text(), QStringLiteral("0"));
    QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("0"));
    QCOMPARE(announced.count(), 2);

    // Not an integer: the first crystal.
    panel.load(QStringLiteral("# Selected Crystal   : Ge"));
    QCOMPARE(crystals(panel)->currentIndex(), 0);
    QCOMPARE(field(panel, "Spacing")->text(), QStringLiteral("3.13507"));
}

void tst_Material::unrelatedLinesIgnored()
{
    MCrystal panel;
    for (const char *line : {"# lattice constant   : 9",
                             "# Lattice Constant  : 9",
                             "Lattice Constant   : 9",
                             " # Lattice Constant   : 9",
                             "# Lattice Constant   :",
                             "# Start Energy       : 9",
                             ""})
        panel.load(QLatin1String(line));
    QCOMPARE(field(panel, "LatticeC")->text(), QStringLiteral("5.4301"));
    QCOMPARE(crystals(panel)->currentIndex(), 0);
}

void tst_Material::destroyWithFocusedEditedField()
{
    // Qt 5 reports editingFinished from a focused field while its window is torn down; the panel
    // must not compute (or announce) from a half-destroyed object then.
    QPointer<MCrystal> panel = new MCrystal;
    panel->show();
    QVERIFY(QTest::qWaitForWindowActive(panel));
    QLineEdit *constant = field(*panel, "LatticeC");
    constant->setFocus();
    QTRY_VERIFY(constant->hasFocus());
    QTest::keyClicks(constant, QStringLiteral("9"));

    QSignalSpy announced(panel.data(), SIGNAL(newValue()));
    delete panel;
    QVERIFY(panel.isNull());
    QCOMPARE(announced.count(), 0);
}

QTEST_MAIN(tst_Material)
#include "tst_material.moc"
