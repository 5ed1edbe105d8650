#include "calign.h"
#include "resources.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

namespace {

const QString white = QStringLiteral("background-color: rgb(255, 255, 255);");
const QString grey = QStringLiteral("background-color: rgb(240, 240, 240);");
const char *const parameterFields[] = {"StartE", "DE", "Num", "DX", "DY", "Length"};

} // namespace

class tst_CAlign : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void startValues();
    void fieldColours_data();
    void fieldColours();
    void editAnnounces_data();
    void editAnnounces();
    void rotateAllToggles();
    void helpWindow();
    void helpWindowKeepsEdits();
    void helpWindowGoesWithPanel();
    void save();
    void loadTypes_data();
    void loadTypes();
    void loadFields_data();
    void loadFields();
    void loadRotateAll();
    void destroyWithFocusedEditedField();

private:
    static QLineEdit *field(CAlign &panel, const QString &name)
    {
        return panel.findChild<QLineEdit *>(name);
    }
    static QRadioButton *type(CAlign &panel, int i)
    {
        return panel.findChild<QRadioButton *>(QStringLiteral("Type%1").arg(i));
    }
    static QDialog *shownHelp()
    {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            auto dialog = qobject_cast<QDialog *>(w);
            if (dialog && dialog->isVisible() && dialog->findChild<QTextEdit *>())
                return dialog;
        }
        return nullptr;
    }
};

void tst_CAlign::initTestCase()
{
    initLumivardResources();
}

void tst_CAlign::cleanup()
{
    // The help windows of destroyed panels go by deleteLater.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_CAlign::startValues()
{
    CAlign panel;
    const QStringList names{"StartE", "DE", "Num", "DX", "DY", "Length", "RotateAllDeg"};
    const QStringList texts{"8000", "-15", "10", "4", "1", "4", "0"};
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(field(panel, names[i])->text(), texts[i]);
        QCOMPARE(field(panel, names[i])->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    }
    QVERIFY(!panel.findChild<QCheckBox *>(QStringLiteral("RotateAll"))->isChecked());
    for (int i = 1; i <= 7; ++i) {
        QCOMPARE(type(panel, i)->text(), QStringLiteral("Type %1").arg(i));
        QCOMPARE(type(panel, i)->isChecked(), i == 3);
    }
    QCOMPARE(field(panel, "DX")->styleSheet(), grey);
    for (const char *name : {"StartE", "DE", "Num", "DY", "Length"})
        QCOMPARE(field(panel, name)->styleSheet(), white);
}

void tst_CAlign::fieldColours_data()
{
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("used"); // one letter per field of parameterFields: u used, i ignored
    QTest::addColumn<int>("announced");

    QTest::newRow("type 1") << 1 << "uuuiui" << 1;
    QTest::newRow("type 2") << 2 << "uuuiiu" << 1;
    QTest::newRow("type 3 again") << 3 << "uuuiuu" << 0;
    QTest::newRow("type 4") << 4 << "uuuiuu" << 1;
    QTest::newRow("type 5") << 5 << "uuuuuu" << 1;
    QTest::newRow("type 6") << 6 << "uuuiuu" << 1;
    QTest::newRow("type 7") << 7 << "uuuiuu" << 1;
}

void tst_CAlign::fieldColours()
{
    QFETCH(int, chosen);
    QFETCH(QString, used);
    QFETCH(int, announced);

    CAlign panel;
    QSignalSpy spy(&panel, SIGNAL(newValue()));
    QTest::mouseClick(type(panel, chosen), Qt::LeftButton);
    QVERIFY(type(panel, chosen)->isChecked());
    QCOMPARE(spy.count(), announced);
    for (int f = 0; f < 6; ++f)
        QCOMPARE(field(panel, parameterFields[f])->styleSheet(), used[f] == 'u' ? white : grey);
    // The ignored fields stay editable.
    for (const char *name : parameterFields)
        QVERIFY(field(panel, name)->isEnabled() && !field(panel, name)->isReadOnly());
}

void tst_CAlign::editAnnounces_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("typed");

    for (const char *name : {"StartE", "DE", "Num", "DX", "DY", "Length", "RotateAllDeg"}) {
        QTest::addRow("%s edited", name) << name << "5";
        QTest::addRow("%s as it was", name) << name << "";
        QTest::addRow("%s not a number", name) << name << "x";
    }
}

void tst_CAlign::editAnnounces()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, typed);

    CAlign panel;
    QSignalSpy spy(&panel, SIGNAL(newValue()));
    QLineEdit *edit = field(panel, fieldName);
    const QString before = edit->text();
    QTest::keyClicks(edit, typed);
    QCOMPARE(spy.count(), 0);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(edit->text(), before + typed);

    // Return again without a change announces again.
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(spy.count(), 2);
}

void tst_CAlign::rotateAllToggles()
{
    CAlign panel;
    QSignalSpy spy(&panel, SIGNAL(newValue()));
    auto box = panel.findChild<QCheckBox *>(QStringLiteral("RotateAll"));
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QCOMPARE(spy.count(), 1);
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!box->isChecked());
    QCOMPARE(spy.count(), 2);
}

void tst_CAlign::helpWindow()
{
    CAlign panel;
    QVERIFY(!shownHelp());
    QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("Help")), Qt::LeftButton);
    QDialog *help = shownHelp();
    QVERIFY(help);
    QVERIFY(!help->isModal());
    QCOMPARE(help->size(), QSize(600, 600));
    QVERIFY(help->windowTitle().isEmpty());

    // One paragraph per line of the UTF-8 resource, in file order.
    const QTextDocument *doc = help->findChild<QTextEdit *>()->document();
    QCOMPARE(doc->blockCount(), 46);
    QCOMPARE(doc->firstBlock().text(), QStringLiteral("設定タイプ :"));
    QCOMPARE(doc->findBlockByNumber(1).text(),
             QStringLiteral("　分光結晶を並べる時の並べ方を指定します。"));
    QCOMPARE(doc->findBlockByNumber(8).text(), QString());
    QCOMPARE(doc->findBlockByNumber(14).text(),
             QStringLiteral("    反射ビーム幅　「角度」と「長さ」で決まる幅 (各結晶で異なる)"));
    QCOMPARE(doc->findBlockByNumber(44).text(),
             QStringLiteral("  　　　　　　　その線の角度の半分をミラー角度とする。"));
    QCOMPARE(doc->lastBlock().text(), QStringLiteral("  "));
    help->close();
}

void tst_CAlign::helpWindowKeepsEdits()
{
    CAlign panel;
    auto button = panel.findChild<QPushButton *>(QStringLiteral("Help"));
    QTest::mouseClick(button, Qt::LeftButton);
    QDialog *help = shownHelp();
    QVERIFY(help);
    auto text = help->findChild<QTextEdit *>();
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, QStringLiteral("memo"));
    help->close();
    QVERIFY(!shownHelp());

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(shownHelp(), help);
    QCOMPARE(text->document()->lastBlock().text(), QStringLiteral("  memo"));
    help->close();
}

void tst_CAlign::helpWindowGoesWithPanel()
{
    auto panel = new CAlign;
    QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("Help")), Qt::LeftButton);
    QPointer<QDialog> help = shownHelp();
    QVERIFY(help);
    delete panel;
    QVERIFY(!help.isNull()); // deferred
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(help.isNull());
}

void tst_CAlign::save()
{
    CAlign panel;
    QTest::mouseClick(type(panel, 6), Qt::LeftButton);
    QTest::mouseClick(panel.findChild<QCheckBox *>(QStringLiteral("RotateAll")), Qt::LeftButton);
    field(panel, "RotateAllDeg")->setText(QStringLiteral("12.5"));
    field(panel, "DE")->setText(QStringLiteral(" -20 "));
    field(panel, "DX")->setText(QString());

    QString text;
    QTextStream out(&text);
    panel.save(out);
    out.flush();
    QCOMPARE(text,
             QStringLiteral("# Selected Type 1    : 0\n"
                            "# Selected Type 2    : 0\n"
                            "# Selected Type 3    : 0\n"
                            "# Selected Type 4    : 0\n"
                            "# Selected Type 5    : 0\n"
                            "# Selected Type 6    : 1\n"
                            "# Selected Type 7    : 0\n"
                            "# Rotate All         : 1\n"
                            "# Ratate All [deg]   : 12.5\n"
                            "# Start Energy       : 8000\n"
                            "# Delta Energy       :  -20 \n"
                            "# Number of Crystals : 10\n"
                            "# Delta X            : \n"
                            "# Delta Y            : 1\n"
                            "# Length             : 4\n"));
}

void tst_CAlign::loadTypes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("checked");
    QTest::addColumn<int>("announced");

    auto flags = [](const QString &bits) {
        QStringList lines;
        for (int i = 0; i < bits.size(); ++i)
            lines << QStringLiteral("# Selected Type %1    : %2").arg(i + 1).arg(bits[i]);
        return lines;
    };
    QTest::newRow("type 6 restored") << flags("0000010") << 6 << 1;
    QTest::newRow("type 7 restored") << flags("0000001") << 7 << 1;
    QTest::newRow("type 3 as it was") << flags("0010000") << 3 << 0;
    QTest::newRow("several ones: the last wins") << flags("0100101") << 7 << 3;
    QTest::newRow("all zero keeps the type") << flags("0000000") << 3 << 0;
    QTest::newRow("not a number counts as 0") << flags("x0000y0") << 3 << 0;
    QTest::newRow("2 is not 1") << flags("0000200") << 3 << 0;
    QTest::newRow("blank before the flag") << QStringList{"# Selected Type 5    :  1"} << 5 << 1;
}

void tst_CAlign::loadTypes()
{
    QFETCH(QStringList, lines);
    QFETCH(int, checked);
    QFETCH(int, announced);

    CAlign panel;
    QSignalSpy spy(&panel, SIGNAL(newValue()));
    for (const QString &line : lines)
        panel.load(line);
    for (int i = 1; i <= 7; ++i)
        QCOMPARE(type(panel, i)->isChecked(), i == checked);
    QCOMPARE(spy.count(), announced);
    QCOMPARE(field(panel, "DX")->styleSheet(), checked == 5 ? white : grey);
}

void tst_CAlign::loadFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("text");

    QTest::newRow("rotation angle") << "# Ratate All [deg]   : 30"
                                    << "RotateAllDeg"
                                    << "30";
    QTest::newRow("start energy") << "# Start Energy       : 9000"
                                  << "StartE"
                                  << "9000";
    QTest::newRow("energy step") << "# Delta Energy       : -7.5"
                                 << "DE"
                                 << "-7.5";
    QTest::newRow("count") << "# Number of Crystals : 3"
                           << "Num"
                           << "3";
    QTest::newRow("dx") << "# Delta X            : 2"
                        << "DX"
                        << "2";
    QTest::newRow("dy") << "# Delta Y            : 0.5"
                        << "DY"
                        << "0.5";
    QTest::newRow("length") << "# Length             : 6"
                            << "Length"
                            << "6";
    QTest::newRow("blanks kept") << "# Start Energy       :  8 000 "
                                 << "StartE"
                                 << " 8 000 ";
    QTest::newRow("empty value") << "# Length             : "
                                 << "Length"
                                 << "";
    QTest::newRow("correct spelling is not the key") << "# Rotate All [deg]   : 30"
                                                     << "RotateAllDeg"
                                                     << "0";
    QTest::newRow("other capitals") << "# start energy       : 9000"
                                    << "StartE"
                                    << "8000";
    QTest::newRow("other spacing") << "# Start Energy : 9000"
                                   << "StartE"
                                   << "8000";
}

void tst_CAlign::loadFields()
{
    QFETCH(QString, line);
    QFETCH(QString, fieldName);
    QFETCH(QString, text);

    CAlign panel;
    QSignalSpy spy(&panel, SIGNAL(newValue()));
    panel.load(line);
    QCOMPARE(field(panel, fieldName)->text(), text);
    QCOMPARE(spy.count(), 0);
}

void tst_CAlign::loadRotateAll()
{
    CAlign panel;
    auto box = panel.findChild<QCheckBox *>(QStringLiteral("RotateAll"));
    QSignalSpy spy(&panel, SIGNAL(newValue()));
    panel.load(QStringLiteral("# Rotate All         : 1"));
    QVERIFY(box->isChecked());
    QCOMPARE(spy.count(), 1);
    panel.load(QStringLiteral("# Rotate All         : 1"));
    QCOMPARE(spy.count(), 1);
    panel.load(QStringLiteral("# Rotate All         : yes"));
    QVERIFY(!box->isChecked());
    QCOMPARE(spy.count(), 2);
}

void tst_CAlign::destroyWithFocusedEditedField()
{
    auto panel = new CAlign;
    panel->show();
    QVERIFY(QTest::qWaitForWindowActive(panel));
    QLineEdit *energy = field(*panel, "StartE");
    energy->setFocus();
    QTRY_VERIFY(energy->hasFocus());
    QTest::keyClicks(energy, QStringLiteral("1"));

    QSignalSpy spy(panel, SIGNAL(newValue()));
    delete panel;
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(tst_CAlign)
#include "tst_calign.moc"
