#include "body.h"
#include "calign.h"
#include "language.h"
#include "mcrystal.h"
#include "resources.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTranslator>
#include <QtTest>

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void language_data();
    void language();
    void catalogueEmbedded();
    void mainWindow_data();
    void mainWindow();
    void panelDefaults();
    void closeEndsEverything_data();
    void closeEndsEverything();
    void destroyWithFocusedEditedField_data();
    void destroyWithFocusedEditedField();
    void teardownReachesNothing();

private:
    template <class T> static T *child(QObject *parent, const char *name)
    {
        return parent->findChild<T *>(QLatin1String(name));
    }
};

void tst_Startup::initTestCase()
{
    initLumivardResources();
}

void tst_Startup::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_Startup::language_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("japanese");

    QTest::newRow("no arguments") << QStringList{"lumivard"} << true;
    QTest::newRow("-j") << QStringList{"lumivard", "-j"} << true;
    QTest::newRow("-e") << QStringList{"lumivard", "-e"} << false;
    QTest::newRow("-e then -j") << QStringList{"lumivard", "-e", "-j"} << true;
    QTest::newRow("-j then -e") << QStringList{"lumivard", "-j", "-e"} << false;
    QTest::newRow("upper-case -E") << QStringList{"lumivard", "-E"} << true;
    QTest::newRow("longer word") << QStringList{"lumivard", "-english"} << true;
    QTest::newRow("with a blank") << QStringList{"lumivard", "-e "} << true;
    QTest::newRow("other arguments around -e")
        << QStringList{"lumivard", "x", "-e", "design.cfg"} << false;
    QTest::newRow("program named -e") << QStringList{"-e"} << true;
    QTest::newRow("empty list") << QStringList{} << true;
}

void tst_Startup::language()
{
    QFETCH(QStringList, args);
    QFETCH(bool, japanese);
    QCOMPARE(japaneseInterface(args), japanese);
}

void tst_Startup::catalogueEmbedded()
{
    QTranslator translator;
    QVERIFY(loadJapaneseCatalogue(translator));
    QVERIFY(!translator.isEmpty());
    QCOMPARE(translator.translate("CAlign", "[eV]  dE"), QStringLiteral("[eV]   ΔE"));
    QCOMPARE(translator.translate("Body", "      Current::"), QStringLiteral("カーソル位置 : "));
    // Only the listed texts carry a translation.
    QVERIFY(translator.translate("Body", "Lumivard").isEmpty());
    QVERIFY(translator.translate("Body", "Current::").isEmpty());
}

void tst_Startup::mainWindow_data()
{
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<QStringList>("texts"); // objectName=text

    QTest::newRow("Japanese") << true
                              << QStringList{"ShowGraph=グラフ表示",
                                             "ResetCPs=焦点軌跡リセット",
                                             "SquareG=グリッド正方化",
                                             "ScaleReset=スケールリセット",
                                             "Save=セーブ",
                                             "Load=ロード",
                                             "label_2=集光点 : ",
                                             "label_3=結像点 : ",
                                             "label=カーソル位置 : ",
                                             "label_4=計測距離 : ",
                                             "label_5=コメント : ",
                                             "Help=タイプとは",
                                             "Type3=タイプ3",
                                             "label_4=分光結晶",
                                             "AvrCps=(0, 0)",
                                             "MPos=(0 0)"};
    QTest::newRow("English") << false
                             << QStringList{"ShowGraph=Show Graph",
                                            "ResetCPs=Rest CPs",
                                            "SquareG=Square Grid",
                                            "ScaleReset=Scale Reset",
                                            "Save=Save",
                                            "Load=Load",
                                            "label_2=Avr. Cross Points::",
                                            "label_3=Avr. Img Point::",
                                            "label=      Current::",
                                            "label_4=Meas. Length::",
                                            "label_5=Comment:",
                                            "Help=Help",
                                            "Type3=Type 3",
                                            "label_4=Monochro. Crystal:  ",
                                            "AvrCps=(0, 0)",
                                            "MPos=(0 0)"};
}

void tst_Startup::mainWindow()
{
    QFETCH(bool, japanese);
    QFETCH(QStringList, texts);

    QTranslator translator;
    if (japanese) {
        QVERIFY(loadJapaneseCatalogue(translator));
        QCoreApplication::installTranslator(&translator);
    }
    Body body;
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(body.windowTitle(), QStringLiteral("Lumivard"));
    QCOMPARE(body.objectName(), QStringLiteral("Body"));
    // The form is 803 x 184; drawing the first design then shrinks the window onto its rows.
    QCOMPARE(body.size(), body.minimumSize());
    QVERIFY(body.height() > 184);

    // Texts are looked up by name and text together: two forms both have a label_4.
    for (const QString &entry : texts) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString text = entry.section(QLatin1Char('='), 1);
        const auto widgets = body.findChildren<QWidget *>(name);
        QStringList shown;
        for (QWidget *w : widgets) {
            if (auto label = qobject_cast<QLabel *>(w))
                shown << label->text();
            else if (auto button = qobject_cast<QAbstractButton *>(w))
                shown << button->text();
        }
        QVERIFY2(shown.contains(text), qPrintable(name + QLatin1String(": ") + shown.join('|')));
    }
}

void tst_Startup::panelDefaults()
{
    Body body;
    QCOMPARE(child<QComboBox>(&body, "SelCrystal")->currentText(), QStringLiteral("Si"));
    QCOMPARE(child<QLineEdit>(&body, "LatticeC")->text(), QStringLiteral("5.4301"));
    QCOMPARE(child<QLineEdit>(&body, "IndexH")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(&body, "IndexK")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(&body, "IndexL")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(&body, "Spacing")->text(), QStringLiteral("3.13507"));
    QVERIFY(child<QRadioButton>(&body, "Type3")->isChecked());
    QCOMPARE(child<QLineEdit>(&body, "DX")->styleSheet(),
             QStringLiteral("background-color: rgb(240, 240, 240);"));
    QCOMPARE(child<QLineEdit>(&body, "DY")->styleSheet(),
             QStringLiteral("background-color: rgb(255, 255, 255);"));
    QCOMPARE(child<QLineEdit>(&body, "Comment")->text(), QString());
    QVERIFY(child<QGridLayout>(&body, "CL"));
}

void tst_Startup::closeEndsEverything_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<bool>("withHelp");

    QTest::newRow("nothing focused") << QString() << false;
    QTest::newRow("lattice constant edited") << "LatticeC" << false;
    QTest::newRow("index edited") << "IndexL" << false;
    QTest::newRow("start energy edited") << "StartE" << false;
    QTest::newRow("rotation edited, help open") << "RotateAllDeg" << true;
    QTest::newRow("comment edited") << "Comment" << false;
    QTest::newRow("help open") << QString() << true;
}

void tst_Startup::closeEndsEverything()
{
    QFETCH(QString, fieldName);
    QFETCH(bool, withHelp);

    // As main() runs it: closing the main window closes every window, then the window is destroyed.
    QPointer<Body> body = new Body;
    QSignalSpy finishing(body.data(), SIGNAL(finishing()));
    connect(body, SIGNAL(finishing()), qApp, SLOT(closeAllWindows()));
    body->show();
    QVERIFY(QTest::qWaitForWindowActive(body));
    if (withHelp) {
        QTest::mouseClick(child<QPushButton>(body, "Help"), Qt::LeftButton);
        body->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(body));
    }
    if (!fieldName.isEmpty()) {
        auto edit = body->findChild<QLineEdit *>(fieldName);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClicks(edit, QStringLiteral("7"));
    }

    QVERIFY(body->close());
    QCOMPARE(finishing.count(), 1);
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        QVERIFY2(!w->isVisible(), qPrintable(w->metaObject()->className()));

    delete body;
    QVERIFY(body.isNull());
}

void tst_Startup::destroyWithFocusedEditedField_data()
{
    QTest::addColumn<QString>("fieldName");

    for (const char *name : {"LatticeC", "IndexH", "Spacing", "StartE", "Num", "Length", "Comment"})
        QTest::newRow(name) << name;
}

void tst_Startup::destroyWithFocusedEditedField()
{
    // The window goes while still shown, its field focused and edited: Qt 5 then reports
    // editingFinished from inside the teardown.
    auto body = new Body;
    body->show();
    QVERIFY(QTest::qWaitForWindowActive(body));
    QFETCH(QString, fieldName);
    auto edit = body->findChild<QLineEdit *>(fieldName);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("3"));
    delete body;
}

void tst_Startup::teardownReachesNothing()
{
    // Whatever the window connects to itself, however it connects it, must stay quiet once its
    // destructor has begun, although a focused field still finishes its edit then.
    auto body = new Body;
    int reached = 0;
    connect(child<MCrystal>(body, "MC"), &MCrystal::newValue, body, [&reached] { ++reached; });
    connect(child<CAlign>(body, "CA"), &CAlign::newValue, body, [&reached] { ++reached; });
    body->show();
    QVERIFY(QTest::qWaitForWindowActive(body));
    auto index = child<QLineEdit>(body, "IndexH");
    index->setFocus();
    QTRY_VERIFY(index->hasFocus());
    QTest::keyClicks(index, QStringLiteral("2"));
    QCOMPARE(reached, 0);
    delete body;
    QCOMPARE(reached, 0);
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
