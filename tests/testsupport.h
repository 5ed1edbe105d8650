#pragma once

// Small helpers shared by the QtTest programs.

#include "child.h"

#include <QObject>
#include <QRectF>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <cstdlib>

// Equal within an absolute tolerance (qFuzzyCompare fails near 0).
inline bool near(double a, double b, double tol = 1e-9)
{
    return std::abs(a - b) <= tol;
}

inline bool near(const QRectF &a, const QRectF &b, double tol = 1e-9)
{
    return near(a.x(), b.x(), tol) && near(a.y(), b.y(), tol) && near(a.width(), b.width(), tol)
           && near(a.height(), b.height(), tol);
}

#ifdef QT_WIDGETS_LIB
#include <QLineEdit>
#include <QScrollArea>

// The field of a crystal row, the row scrolled into view first: a row builds its fields only once
// it is seen. A window that is not on the screen has no view to scroll; its row is built outright.
template <class T, class Row> T *rowField(Row *row, const char *name)
{
    for (QWidget *w = row->parentWidget(); w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(w)) {
            area->ensureWidgetVisible(row);
            break;
        }
    }
    if (!row->window()->isVisible())
        row->buildRow();
    return child<T>(row, name);
}

// Types text into a field as a user does: replace what is there, then press Return.
inline void type(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}
#endif

// One row of a data table: dataRow("name", a, b) is QTest::newRow("name") << a << b, kept on one
// line (clang-format splits a << chain between two string literals).
template <class... T> void dataRow(const char *name, const T &...values)
{
    (QTest::newRow(name) << ... << values);
}

// Warnings fail a test program that runs with QT_FATAL_WARNINGS set, as Qt's own switch would make
// them, except the offscreen platform's notes that it has no window system to pass size hints to
// or raise a window in. Qt's own switch would stop at the first of those notes: the variable is
// taken over before Qt reads it, and the filter installed once the test log is open.
namespace FatalWarnings {

inline const bool asked = [] {
    const bool set = qEnvironmentVariableIntValue("QT_FATAL_WARNINGS") != 0;
    qunsetenv("QT_FATAL_WARNINGS");
    return set;
}();

inline QtMessageHandler logged = nullptr;

inline void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg
        && (message == QLatin1String("This plugin does not support propagateSizeHints()")
            || message == QLatin1String("This plugin does not support raise()")))
        return;
    logged(type, context, message);
    if (type == QtWarningMsg || type == QtCriticalMsg) {
        std::fprintf(
            stderr, "A warning is fatal here (QT_FATAL_WARNINGS): %s\n", qPrintable(message));
        std::abort();
    }
}

inline void install()
{
    if (asked)
        logged = qInstallMessageHandler(handle);
}

} // namespace FatalWarnings

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
#define LUMIVARD_TEST_APPLICATION QApplication
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
#define LUMIVARD_TEST_APPLICATION QGuiApplication
#else
#define LUMIVARD_TEST_APPLICATION QCoreApplication
#endif

// QTEST_MAIN with warnings made fatal as above.
#define LUMIVARD_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        LUMIVARD_TEST_APPLICATION app(argc, argv);                                                 \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        QTest::qInit(&tc, argc, argv);                                                             \
        FatalWarnings::install();                                                                  \
        const int failed = QTest::qRun();                                                          \
        QTest::qCleanup();                                                                         \
        return failed;                                                                             \
    }
