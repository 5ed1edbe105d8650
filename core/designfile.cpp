#include "designfile.h"

#include "crystaltable.h"

#include <QTextCodec>

namespace DesignFile {

const QStringList &materialKeys()
{
    static const QStringList keys{QStringLiteral("# Selected Crystal   : "),
                                  QStringLiteral("# Lattice Constant   : "),
                                  QStringLiteral("# Lattice Index h    : "),
                                  QStringLiteral("# Lattice Index k    : "),
                                  QStringLiteral("# Lattice Index l    : "),
                                  QStringLiteral("# Lattice Spacing    : ")};
    return keys;
}

const QStringList &arrangementKeys()
{
    // "Ratate" is misspelt in every design file ever written; kept so that they still load.
    static const QStringList keys{QStringLiteral("# Selected Type 1    : "),
                                  QStringLiteral("# Selected Type 2    : "),
                                  QStringLiteral("# Selected Type 3    : "),
                                  QStringLiteral("# Selected Type 4    : "),
                                  QStringLiteral("# Selected Type 5    : "),
                                  QStringLiteral("# Selected Type 6    : "),
                                  QStringLiteral("# Selected Type 7    : "),
                                  QStringLiteral("# Rotate All         : "),
                                  QStringLiteral("# Ratate All [deg]   : "),
                                  QStringLiteral("# Start Energy       : "),
                                  QStringLiteral("# Delta Energy       : "),
                                  QStringLiteral("# Number of Crystals : "),
                                  QStringLiteral("# Delta X            : "),
                                  QStringLiteral("# Delta Y            : "),
                                  QStringLiteral("# Length             : ")};
    return keys;
}

const QString &markerKey()
{
    static const QString key = QStringLiteral("# New Layout         : ");
    return key;
}

const QStringList &crystalKeys()
{
    static const QStringList keys{QStringLiteral("# Crystal Pos X      : "),
                                  QStringLiteral("# Crystal Pos Y      : "),
                                  QStringLiteral("# Crystal Deg        : "),
                                  QStringLiteral("# Crystal Energy     : "),
                                  QStringLiteral("# Crystal Length     : "),
                                  QStringLiteral("# Crystal In Beam C  : "),
                                  QStringLiteral("# Crystal Beam Width : ")};
    return keys;
}

const QString &commentKey()
{
    static const QString key = QStringLiteral("# Comment            : ");
    return key;
}

const QStringList &sourceKeys()
{
    static const QStringList keys{QStringLiteral("# Source Distance    : "),
                                  QStringLiteral("# Source Size        : "),
                                  QStringLiteral("# Source Divergence  : "),
                                  QStringLiteral("# Polarisation       : "),
                                  QStringLiteral("# Temperature        : ")};
    return keys;
}

namespace {

void addLine(QString &out, const QString &key, const QString &value)
{
    out += key;
    out += value;
    out += QLatin1Char('\n');
}

void addMaterial(QString &out, const Design &d)
{
    const QStringList &m = materialKeys();
    addLine(out, m[0], QString::number(d.material));
    addLine(out, m[1], d.latticeConstant);
    addLine(out, m[2], d.indexH);
    addLine(out, m[3], d.indexK);
    addLine(out, m[4], d.indexL);
    addLine(out, m[5], d.spacingText);
}

void addArrangement(QString &out, const Design &d)
{
    const QStringList &a = arrangementKeys();
    for (int t = 1; t <= 7; ++t)
        addLine(out, a[t - 1], QString::number(d.type == t ? 1 : 0));
    addLine(out, a[7], QString::number(d.rotateAll ? 1 : 0));
    const QString *fields[]
        = {&d.rotateAllDeg, &d.startEnergy, &d.energyStep, &d.count, &d.dx, &d.dy, &d.length};
    for (int k = 0; k < 7; ++k)
        addLine(out, a[8 + k], *fields[k]);
}

void addCrystal(QString &out, const CrystalTexts &t, int i)
{
    const QStringList &c = crystalKeys();
    const QString prefix = QString::number(i) + QStringLiteral(" : ");
    for (int k = 0; k < 7; ++k)
        addLine(out, c[k], prefix + t[CrystalField(k)]);
}

QString numberText(double v)
{
    return QString::fromLatin1(shortestNumber(v));
}

void addSource(QString &out, const SourceParams &s)
{
    const SourceParams defaults;
    const QStringList &k = sourceKeys();
    if (s.distance != defaults.distance)
        addLine(out, k[0], numberText(s.distance));
    if (s.size != defaults.size)
        addLine(out, k[1], numberText(s.size));
    if (s.divergence != defaults.divergence)
        addLine(out, k[2], numberText(s.divergence));
    if (s.polarisation.degree != defaults.polarisation.degree)
        addLine(out, k[3], Reflection::polarisationText(s.polarisation));
    if (s.temperature != defaults.temperature)
        addLine(out, k[4], numberText(s.temperature));
}

} // namespace

QString text(const Design &d)
{
    QString out;
    // About 30 characters a line, seven lines a crystal.
    out.reserve(30 * (24 + 7 * d.crystals.size()));
    addMaterial(out, d);
    addArrangement(out, d);
    addLine(out, markerKey(), QStringLiteral("0"));
    for (int i = 0; i < d.crystals.size(); ++i)
        addCrystal(out, d.crystals.at(i).texts, i);
    addLine(out, commentKey(), d.comment);
    addSource(out, d.source);
    return out;
}

QString materialBlock(const Design &design)
{
    QString out;
    addMaterial(out, design);
    return out;
}

QString arrangementBlock(const Design &design)
{
    QString out;
    addArrangement(out, design);
    return out;
}

QString crystalBlock(const CrystalTexts &texts, int i)
{
    QString out;
    addCrystal(out, texts, i);
    return out;
}

QString decode(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    const QString text
        = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return text;
    return QTextCodec::codecForLocale()->toUnicode(bytes);
}

QVector<QStringRef> lines(const QString &text)
{
    QVector<QStringRef> out;
    for (int start = 0; start < text.size();) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        out.append(text.midRef(start, end - start));
        start = end + 1;
    }
    return out;
}

bool holdsDesign(const QVector<QStringRef> &lines)
{
    static const QStringList keys = materialKeys() + arrangementKeys() + QStringList{markerKey()}
                                    + crystalKeys() + QStringList{commentKey()} + sourceKeys();
    for (const QStringRef &line : lines) {
        if (!line.startsWith(QLatin1String("# ")))
            continue;
        for (const QString &key : keys) {
            if (line.startsWith(key))
                return true;
        }
    }
    return false;
}

int crystalIndex(const QString &line)
{
    const QStringList &keys = crystalKeys();
    // All the keys have the same length.
    const int keyLength = keys.first().size();
    bool isCrystalLine = false;
    for (const QString &key : keys)
        isCrystalLine = isCrystalLine || line.startsWith(key);
    if (!isCrystalLine)
        return -1;

    // Decimal digits as "%1" writes an index, then " : ". Ten digits or more name no crystal
    // that can exist.
    int end = keyLength;
    while (end < line.size() && end - keyLength < 9 && line.at(end) >= QLatin1Char('0')
           && line.at(end) <= QLatin1Char('9'))
        ++end;
    const int digits = end - keyLength;
    if (digits == 0 || (digits > 1 && line.at(keyLength) == QLatin1Char('0'))
        || line.midRef(end, 3) != QLatin1String(" : "))
        return -1;
    return line.midRef(keyLength, digits).toInt();
}

QString describe(const QVector<Note> &notes, int most)
{
    QStringList parts;
    for (int i = 0; i < notes.size() && i < most; ++i) {
        const Note &n = notes.at(i);
        switch (n.kind) {
        case Note::UnknownLine:
            parts << QStringLiteral("line %1 (%2): unknown key").arg(n.line).arg(n.key);
            break;
        case Note::NotANumber:
            parts << QStringLiteral("line %1 (%2): not a number").arg(n.line).arg(n.key);
            break;
        case Note::Refused:
            parts << QStringLiteral("line %1 (%2): a value the field does not take")
                         .arg(n.line)
                         .arg(n.key);
            break;
        case Note::NoSuchCrystal:
            parts << QStringLiteral("line %1 (%2): no such crystal").arg(n.line).arg(n.key);
            break;
        case Note::NoMarker:
            parts << QStringLiteral("the file ends before \"# New Layout\"");
            break;
        case Note::MissingGroups:
            parts << (n.first == n.last
                          ? QStringLiteral("the file ends before crystal %1").arg(n.first)
                          : QStringLiteral("the file ends before crystals %1 to %2")
                                .arg(n.first)
                                .arg(n.last));
            break;
        }
    }
    if (notes.size() > most)
        parts << QStringLiteral("%1 more").arg(notes.size() - most);
    return parts.join(QStringLiteral("; "));
}

} // namespace DesignFile
