#include "readouts.h"

#include <cmath>

QString readoutNumber(double v, int width, int decimals)
{
    // The digits before the point as the fixed format writes them, sign aside.
    const QString fixed = QString::number(v, 'f', decimals);
    int digits = fixed.indexOf(QLatin1Char('.'));
    if (digits < 0)
        digits = fixed.size();
    if (fixed.startsWith(QLatin1Char('-')))
        --digits;
    if (std::isfinite(v) && digits > 15)
        return QStringLiteral("%1").arg(QString::asprintf("%.6e", v), width);
    return QStringLiteral("%1").arg(v, width, 'f', decimals, QLatin1Char(' '));
}

QString positionReadout(double x, double y)
{
    return QStringLiteral("(%1, %2): %3")
        .arg(readoutNumber(x, 8, 3),
             readoutNumber(y, 8, 3),
             readoutNumber(std::sqrt(x * x + y * y), 8, 3));
}

QString measureReadout(const Line &l)
{
    const Point s = l.start();
    const Dir &d = l.dir();
    return QStringLiteral("(%1, %2)-(%3, %4) : %5")
        .arg(readoutNumber(s.x, 8, 3),
             readoutNumber(s.y, 8, 3),
             readoutNumber(s.x + l.length * d.x, 8, 3),
             readoutNumber(s.y + l.length * d.y, 8, 3),
             readoutNumber(l.length, 11, 6));
}
