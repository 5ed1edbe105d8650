#pragma once

#include <QLabel>

// A read-out of numbers in the main window. A read-out whose numbers are so large that they are
// written with an exponent (beyond 15 digits: no design has them) asks for no more width than a
// sample read-out of ordinary numbers, so that it cannot widen the window; where it gets less room
// than its text needs, the text is shown cut with an ellipsis. Any other text asks for its own
// width, as a label does. text() stays the whole text.
class ReadoutLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    // The ordinary read-out whose width bounds one of huge numbers; none (no bound) by default.
    void setOrdinaryText(const QString &sample);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString ordinary;
};
