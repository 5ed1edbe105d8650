#include "matchkey.h"

#include <QtTest>

class tst_MatchKey : public QObject
{
    Q_OBJECT

private slots:
    void match_data();
    void match();
};

void tst_MatchKey::match_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<QString>("value");

    const QString untouched = QStringLiteral("untouched");
    QTest::newRow("value") << "# Start Energy       : 8000" << true << "8000";
    QTest::newRow("blanks belong to the value")
        << "# Start Energy       :  80 00 " << true << " 80 00 ";
    QTest::newRow("empty value") << "# Start Energy       : " << true << "";
    QTest::newRow("crystal index kept in value")
        << "# Start Energy       : 0 :  1.5" << true << "0 :  1.5";
    QTest::newRow("key without its blank") << "# Start Energy       :" << false << untouched;
    QTest::newRow("other capitals") << "# start energy       : 8000" << false << untouched;
    QTest::newRow("other padding") << "# Start Energy      : 8000" << false << untouched;
    QTest::newRow("leading blank") << " # Start Energy       : 8000" << false << untouched;
    QTest::newRow("empty line") << "" << false << untouched;
    QTest::newRow("non-ASCII value") << "# Start Energy       : 八千" << true << "八千";
}

void tst_MatchKey::match()
{
    QFETCH(QString, line);
    QFETCH(bool, matches);
    QFETCH(QString, value);

    QString found = QStringLiteral("untouched");
    QCOMPARE(matchKey(line, QStringLiteral("# Start Energy       : "), found), matches);
    QCOMPARE(found, value);
}

QTEST_MAIN(tst_MatchKey)
#include "tst_matchkey.moc"
