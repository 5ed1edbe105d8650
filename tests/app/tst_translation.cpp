#include "body.h"
#include "calign.h"
#include "language.h"
#include "resources.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResource>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextEdit>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The setup-type help, line by line, as the help window must show it.
const char *const kHelpLines[] = {
    "設定タイプ :",
    "　分光結晶を並べる時の並べ方を指定します。",
    "　1) タイプ 1 : 幅いっぱい、きっちり接触タイプ (X可変)",
    "    角度         「エネルギー(起点)」と「ΔE」から計算されるエネルギーの光を反射する角度",
    "    長さ         「間隔」で決まる幅のビームをこぼさず受けられる長さ",
    "    中心 X       前端が、一つ前の結晶の後端と接する位置",
    "    中心 Y       指定された「間隔(Y)」から計算される高さ",
    "    反射ビーム幅  「間隔」で決まる入射ビーム幅と同じ",
    "",
    "  2) タイプ 2 : 長さ固定、きっちり接触タイプ (X可変)",
    "    角度         「エネルギー(起点)」と「ΔE」から計算されるエネルギーの光を反射する角度",
    "    長さ         「長さ」で指定された固定の長さ",
    "    中心 X       前端が、一つ前の結晶の後端と接する位置",
    "    中心 Y       前端が、一つ前の結晶の後端と接する位置 "
    "(従って「間隔」で指定された高さにはならない)",
    "    反射ビーム幅　「角度」と「長さ」で決まる幅 (各結晶で異なる)",
    "",
    "  3) タイプ 3 : 幅中心、長さ固定タイプ (X可変)",
    "    角度         「エネルギー(起点)」と「ΔE」から計算されるエネルギーの光を反射する角度",
    "    長さ         「長さ」で指定された固定の長さ",
    "    中心 X       一つ前の結晶より後ろで、前の結晶が反射したビームを隠さない位置",
    "    中心 Y       指定された「間隔(Y)」から計算される高さ",
    "    反射ビーム幅　「角度」と「長さ」で決まる幅 (各結晶で異なる)",
    "",
    "  4) タイプ 4 (逆配列) : 幅中心、長さ固定タイプ (X可変)",
    "    角度         「エネルギー(起点)」と「ΔE」から計算されるエネルギーの光を反射する角度",
    "    長さ         「長さ」で指定された固定の長さ",
    "    中心 X       一つ前の結晶より前で、前の結晶が反射したビームを隠さない位置",
    "    中心 Y       指定された「間隔(Y)」から計算される高さ",
    "    反射ビーム幅　「角度」と「長さ」で決まる幅 (各結晶で異なる)",
    "",
    "  5) タイプ5 : 幅中心、X固定、長さ固定タイプ",
    "    中心X, Y    「間隔(X)」「間隔(Y)」から計算される指定された位置",
    "    長さ        「長さ」で指定された固定の長さ",
    "    角度        第一、第二ミラーの角度は指定されたエネルギーを反射する角度",
    "               "
    "第三ミラー以降は、第一、第二ミラーの焦点に光を反射する角度(エネルギーは指定値にならない)",
    "    反射ビーム幅　「角度」と「長さ」で決まる幅 (各結晶で異なる)",
    "",
    "  6) タイプ6 : 全部のミラーが第一ミラーの平面上に置かれて、",
    "  　　　　　　　左端固定で、指定エネルギーを反射する様に角度差分だけ右端を持ち上げるイメージ",
    "  　　　　　　　ミラーの左端の間隔を Y で指定する。",
    "",
    "  7) タイプ7 : タイプ6の変形",
    "  　　　　　　　1枚目のミラーの反射光と、2枚目のミラーの反射光の交点から、",
    "  　　　　　　　全ミラーが乗る平面上のミラー中心への線を引き、",
    "  　　　　　　　その線の角度の半分をミラー角度とする。",
    "  ",
};
constexpr int kHelpLineCount = int(sizeof(kHelpLines) / sizeof(kHelpLines[0]));

struct Pair
{
    const char *context;
    const char *source;
    const char *japanese;
};

// Every text that has a Japanese form; everything else stays as written.
const Pair kPairs[] = {
    {"ACrystal", "A Crystal", "結晶"},
    {"ACrystal", "Angle [deg]", "角度[deg]"},
    {"ACrystal", "Beam W.", "ビーム幅"},
    {"ACrystal", "Energy[eV]", "エネルギー[eV]"},
    {"ACrystal", "In Beam C.", "入射高"},
    {"ACrystal", "Length", "長さ"},
    {"ACrystal", "Pos. X", "位置(X)"},
    {"ACrystal", "Pos. Y", "位置(Y)"},
    {"Body", "      Current::", "カーソル位置 : "},
    {"Body", "Avr. Cross Points::", "集光点 : "},
    {"Body", "Avr. Img Point::", "結像点 : "},
    {"Body", "Comment:", "コメント : "},
    {"Body", "Crystals", "結晶周辺"},
    {"Body", "Focus Point", "焦点周辺"},
    {"Body", "Imaging Point", "結像面周辺"},
    {"Body", "Load", "ロード"},
    {"Body", "Meas. Length::", "計測距離 : "},
    {"Body", "Rest CPs", "焦点軌跡リセット"},
    {"Body", "Save", "セーブ"},
    {"Body", "Scale Reset", "スケールリセット"},
    {"Body", "Show Graph", "グラフ表示"},
    {"Body", "Square Grid", "グリッド正方化"},
    {"CAlign", "Help", "タイプとは"},
    {"CAlign", "Length", "長さ"},
    {"CAlign", "Num of C.", "結晶数"},
    {"CAlign", "Rotate All", "全体回転"},
    {"CAlign", "Setup Type ::", "配置タイプ"},
    {"CAlign", "Start. Energy", "エネルギー(起点)"},
    {"CAlign", "Type 1", "タイプ1"},
    {"CAlign", "Type 2", "タイプ2"},
    {"CAlign", "Type 3", "タイプ3"},
    {"CAlign", "Type 4", "タイプ4"},
    {"CAlign", "Type 5", "タイプ5"},
    {"CAlign", "Type 6", "タイプ6"},
    {"CAlign", "Type 7", "タイプ7"},
    {"CAlign", "[eV]  dE", "[eV]   ΔE"},
    {"CAlign", "dX", "間隔(X)"},
    {"CAlign", "dY", "間隔(Y)"},
    {"MCrystal", "Index", "面指数"},
    {"MCrystal", "Lattice C.", "格子定数"},
    {"MCrystal", "Monochro. Crystal:  ", "分光結晶"},
    {"MCrystal", "d", "面間隔"},
};

// One entry of a catalogue as one comparable text: context, source and translation.
QString entry(const QString &context, const QString &source, const QString &translation)
{
    return context + QLatin1Char('|') + source + QLatin1Char('|') + translation;
}

QSet<QString> listedEntries()
{
    QSet<QString> set;
    for (const Pair &p : kPairs)
        set.insert(entry(QString::fromUtf8(p.context),
                         QString::fromUtf8(p.source),
                         QString::fromUtf8(p.japanese)));
    return set;
}

// The text a widget shows to the reader, or a null string for widgets without one.
QString shownText(QWidget *w)
{
    if (auto label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto button = qobject_cast<QAbstractButton *>(w))
        return button->text();
    if (auto edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    return QString();
}

QDialog *shownHelpWindow()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        auto dialog = qobject_cast<QDialog *>(w);
        if (dialog && dialog->isVisible() && dialog->findChild<QTextEdit *>())
            return dialog;
    }
    return nullptr;
}

} // namespace

class tst_Translation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void resourcesStored_data();
    void resourcesStored();
    void helpResourceText();
    void listedPairs_data();
    void listedPairs();
    void unlisted_data();
    void unlisted();
    void sourceCatalogueHoldsExactlyTheList();
    void helpWindow_data();
    void helpWindow();
    void mainWindowTexts_data();
    void mainWindowTexts();

private:
    QTranslator japanese;
};

void tst_Translation::initTestCase()
{
    initLumivardResources();
    QVERIFY(loadJapaneseCatalogue(japanese));
}

void tst_Translation::init()
{
    QVERIFY(QCoreApplication::installTranslator(&japanese));
}

void tst_Translation::cleanup()
{
    QCoreApplication::removeTranslator(&japanese);
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_Translation::resourcesStored_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("algorithm");

    QTest::newRow("help, zlib") << ":/typeHelp.txt" << int(QResource::ZlibCompression);
    QTest::newRow("catalogue, uncompressed")
        << ":/lumivard_ja_JP.qm" << int(QResource::NoCompression);
}

void tst_Translation::resourcesStored()
{
    QFETCH(QString, path);
    QFETCH(int, algorithm);

    const QResource resource(path);
    QVERIFY(resource.isValid());
    QCOMPARE(int(resource.compressionAlgorithm()), algorithm);
    if (algorithm == QResource::ZlibCompression)
        QVERIFY(resource.size() < resource.uncompressedSize());
    else
        QCOMPARE(resource.size(), resource.uncompressedSize());
}

void tst_Translation::helpResourceText()
{
    QFile help(QStringLiteral(":typeHelp.txt"));
    QVERIFY(help.open(QIODevice::ReadOnly));
    const QByteArray bytes = help.readAll();

    QByteArray expected;
    for (const char *line : kHelpLines)
        expected += QByteArray(line) + '\n';
    QCOMPARE(kHelpLineCount, 46);
    // Byte for byte: UTF-8 without a byte-order mark, "\n" after each of the 46 lines.
    QCOMPARE(bytes, expected);
}

void tst_Translation::listedPairs_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");

    for (const Pair &p : kPairs) {
        const QByteArray name = QByteArray(p.context) + " / \"" + p.source + '"';
        QTest::newRow(name.constData())
            << QString::fromUtf8(p.context) << QString::fromUtf8(p.source)
            << QString::fromUtf8(p.japanese);
    }
}

void tst_Translation::listedPairs()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, translation);

    QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData()),
             translation);
}

void tst_Translation::unlisted_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");

    // Texts of the interface without a Japanese form.
    QTest::newRow("window title") << "Body"
                                  << "Lumivard";
    QTest::newRow("read-out") << "Body"
                              << "(0, 0)";
    QTest::newRow("cursor read-out") << "Body"
                                     << "(0 0)";
    QTest::newRow("panel title") << "CAlign"
                                 << "Frame";
    QTest::newRow("material panel title") << "MCrystal"
                                          << "Frame";
    QTest::newRow("unit eV") << "CAlign"
                             << "[eV]";
    QTest::newRow("unit deg") << "CAlign"
                              << "[deg]";
    QTest::newRow("start energy") << "CAlign"
                                  << "8000";
    QTest::newRow("lattice constant") << "MCrystal"
                                      << "5.5";
    QTest::newRow("spacing") << "MCrystal"
                             << "3.15";
    QTest::newRow("crystal number") << "ACrystal"
                                    << "1.";
    // Listed texts asked in another context.
    QTest::newRow("Help in Body") << "Body"
                                  << "Help";
    QTest::newRow("Length in Body") << "Body"
                                    << "Length";
    QTest::newRow("Length in MCrystal") << "MCrystal"
                                        << "Length";
    QTest::newRow("Save in CAlign") << "CAlign"
                                    << "Save";
    QTest::newRow("Type 1 in Body") << "Body"
                                    << "Type 1";
    QTest::newRow("Pos. X in Body") << "Body"
                                    << "Pos. X";
    // Nearly listed: blanks and capitals are part of a source text.
    QTest::newRow("Current without blanks") << "Body"
                                            << "Current::";
    QTest::newRow("crystal label trimmed") << "MCrystal"
                                           << "Monochro. Crystal:";
    QTest::newRow("dE with one blank") << "CAlign"
                                       << "[eV] dE";
    QTest::newRow("lower-case type") << "CAlign"
                                     << "type 1";
    QTest::newRow("Type 8") << "CAlign"
                            << "Type 8";
    QTest::newRow("save lower-case") << "Body"
                                     << "save";
    QTest::newRow("Save with a blank") << "Body"
                                       << "Save ";
}

void tst_Translation::unlisted()
{
    QFETCH(QString, context);
    QFETCH(QString, source);

    QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData()),
             source);
    QVERIFY(
        japanese.translate(context.toUtf8().constData(), source.toUtf8().constData()).isEmpty());
}

void tst_Translation::sourceCatalogueHoldsExactlyTheList()
{
    const QString path = QFINDTESTDATA("../../resources/lumivard_ja_JP.ts");
    QVERIFY(!path.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));

    QSet<QString> found;
    int messages = 0;
    QString context;
    QString source;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("TS")) {
            QCOMPARE(xml.attributes().value(QLatin1String("language")).toString(),
                     QStringLiteral("ja_JP"));
        } else if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            ++messages;
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            // lrelease leaves unfinished and obsolete entries out of the catalogue.
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            QVERIFY2(type.isEmpty(), qPrintable(context + QLatin1String(": ") + source));
            found.insert(entry(context, source, xml.readElementText()));
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));

    const QSet<QString> expected = listedEntries();
    QCOMPARE(messages, int(expected.size()));
    for (const QString &e : expected)
        QVERIFY2(found.contains(e), qPrintable(e));
    QCOMPARE(found, expected);
}

void tst_Translation::helpWindow_data()
{
    QTest::addColumn<bool>("japaneseInterface");

    QTest::newRow("Japanese") << true;
    QTest::newRow("English") << false;
}

void tst_Translation::helpWindow()
{
    QFETCH(bool, japaneseInterface);
    if (!japaneseInterface)
        QCoreApplication::removeTranslator(&japanese);

    CAlign panel;
    panel.show();
    auto help = panel.findChild<QPushButton *>(QStringLiteral("Help"));
    QVERIFY(help);
    QCOMPARE(help->text(),
             japaneseInterface ? QStringLiteral("タイプとは") : QStringLiteral("Help"));
    QVERIFY(!shownHelpWindow());

    QTest::mouseClick(help, Qt::LeftButton);
    QDialog *window = shownHelpWindow();
    QVERIFY(window);
    QVERIFY(!window->parent());
    QCOMPARE(window->size(), QSize(600, 600));
    QCOMPARE(window->windowTitle(), QString());
    QVERIFY(!window->isModal());
    QCOMPARE(window->windowModality(), Qt::NonModal);

    // The help is Japanese in both interfaces: one paragraph per line of the resource, in order.
    auto text = window->findChild<QTextEdit *>();
    QVERIFY(!text->isReadOnly());
    // It opens at the heading, not scrolled to the end where the lines were appended.
    QCOMPARE(text->textCursor().position(), 0);
    QCOMPARE(text->verticalScrollBar()->value(), text->verticalScrollBar()->minimum());
    const QTextDocument *doc = text->document();
    QCOMPARE(doc->blockCount(), 46);
    int i = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next(), ++i)
        QCOMPARE(b.text(), QString::fromUtf8(kHelpLines[i]));

    // A reader's note stays while the program runs: closing only hides the window.
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, QStringLiteral("memo"));
    QVERIFY(window->close());
    QVERIFY(!shownHelpWindow());
    QTest::mouseClick(help, Qt::LeftButton);
    QCOMPARE(shownHelpWindow(), window);
    QCOMPARE(doc->blockCount(), 46);
    QCOMPARE(doc->lastBlock().text(), QStringLiteral("  memo"));
    QCOMPARE(doc->firstBlock().text(), QString::fromUtf8(kHelpLines[0]));
}

void tst_Translation::mainWindowTexts_data()
{
    QTest::addColumn<bool>("japaneseInterface");

    QTest::newRow("Japanese") << true;
    QTest::newRow("English") << false;
}

void tst_Translation::mainWindowTexts()
{
    QFETCH(bool, japaneseInterface);
    if (!japaneseInterface)
        QCoreApplication::removeTranslator(&japanese);

    Body body;
    QCOMPARE(body.windowTitle(), QStringLiteral("Lumivard"));

    const QStringList buttons
        = {"ShowGraph", "ResetCPs", "SquareG", "ScaleReset", "Save", "Load", "Help"};
    const QStringList japaneseTexts = {"グラフ表示",
                                       "焦点軌跡リセット",
                                       "グリッド正方化",
                                       "スケールリセット",
                                       "セーブ",
                                       "ロード",
                                       "タイプとは"};
    const QStringList englishTexts
        = {"Show Graph", "Rest CPs", "Square Grid", "Scale Reset", "Save", "Load", "Help"};
    for (int i = 0; i < buttons.size(); ++i) {
        auto button = body.findChild<QPushButton *>(buttons.at(i));
        QVERIFY2(button, qPrintable(buttons.at(i)));
        QCOMPARE(button->text(), japaneseInterface ? japaneseTexts.at(i) : englishTexts.at(i));
    }

    // No text with a listed translation may show in the other language anywhere: the main window,
    // its panels, the crystal rows with their title row, and the titles of the plot windows.
    QSet<QString> wrongLanguage;
    for (const Pair &p : kPairs)
        wrongLanguage.insert(QString::fromUtf8(japaneseInterface ? p.source : p.japanese));
    QStringList shown;
    const auto widgets = body.findChildren<QWidget *>();
    for (QWidget *w : widgets)
        shown << shownText(w);
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        shown << w->windowTitle();
    for (const QString &s : qAsConst(shown))
        QVERIFY2(!wrongLanguage.contains(s), qPrintable(s));
    // The column titles of the crystal list.
    const QString angleTitle
        = japaneseInterface ? QStringLiteral("角度[deg]") : QStringLiteral("Angle [deg]");
    QVERIFY(shown.contains(angleTitle));
    const QString focusTitle
        = japaneseInterface ? QStringLiteral("焦点周辺") : QStringLiteral("Focus Point");
    QVERIFY(shown.contains(focusTitle));
}

QTEST_MAIN(tst_Translation)
#include "tst_translation.moc"
