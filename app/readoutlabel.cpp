#include "readoutlabel.h"

#include <QPainter>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>

void ReadoutLabel::setOrdinaryText(const QString &sample)
{
    ordinary = sample;
    updateGeometry();
}

QSize ReadoutLabel::minimumSizeHint() const
{
    QSize least = QLabel::minimumSizeHint();
    const QString shown = text();
    if (ordinary.isEmpty()
        || !(shown.contains(QLatin1String("e+")) || shown.contains(QLatin1String("e-"))))
        return least;
    // The room of the sample as a label measures a text of one line: its bounding box and the
    // margins around it.
    const QMargins m = contentsMargins();
    const QRect box
        = fontMetrics().boundingRect(QRect(0, 0, 2000, 2000), int(alignment()), ordinary);
    const int room = box.width() + m.left() + m.right() + 2 * margin() + std::max(indent(), 0);
    least.setWidth(std::min(least.width(), std::max(room, 0)));
    return least;
}

void ReadoutLabel::paintEvent(QPaintEvent *event)
{
    const QString whole = text();
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const bool rich = textFormat() == Qt::RichText
                      || (textFormat() == Qt::AutoText && Qt::mightBeRichText(whole));
    if (rich || fontMetrics().horizontalAdvance(whole) <= room.width()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    style()->drawItemText(&p,
                          room,
                          int(QStyle::visualAlignment(layoutDirection(), alignment())),
                          palette(),
                          isEnabled(),
                          fontMetrics().elidedText(whole, Qt::ElideRight, room.width()),
                          foregroundRole());
}
