#include "keying/morse.h"

#include "common/quoted_values.h"

#include <array>
#include <cmath>

namespace zev {

namespace {

struct Elements {
    char c;
    const char *elements;
};

constexpr Elements kTable[] = {
    {'A', ".-"},     {'B', "-..."},   {'C', "-.-."},   {'D', "-.."},    {'E', "."},
    {'F', "..-."},   {'G', "--."},    {'H', "...."},   {'I', ".."},     {'J', ".---"},
    {'K', "-.-"},    {'L', ".-.."},   {'M', "--"},     {'N', "-."},     {'O', "---"},
    {'P', ".--."},   {'Q', "--.-"},   {'R', ".-."},    {'S', "..."},    {'T', "-"},
    {'U', "..-"},    {'V', "...-"},   {'W', ".--"},    {'X', "-..-"},   {'Y', "-.--"},
    {'Z', "--.."},   {'0', "-----"},  {'1', ".----"},  {'2', "..---"},  {'3', "...--"},
    {'4', "....-"},  {'5', "....."},  {'6', "-...."},  {'7', "--..."},  {'8', "---.."},
    {'9', "----."},  {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."}, {'/', "-..-."},
    {'-', "-...-"},  {'=', "-...-"},  {'[', ".-.-."},  {']', "...-.-"}, {';', "-.--."},
    {'\\', "-.-..-.."},
};

// Built once; the engine looks patterns up between characters and must not allocate.
const std::array<QString, 128> &Patterns()
{
    static const std::array<QString, 128> table = [] {
        std::array<QString, 128> t;
        for (const Elements &e : kTable) {
            QString p;
            for (const char *q = e.elements; *q; ++q)
                p += *q == '.' ? QStringLiteral("10") : QStringLiteral("1110");
            p += QStringLiteral("00");
            t[size_t(e.c)] = p;
        }
        t[size_t(' ')] = QStringLiteral("00000000");
        return t;
    }();
    return table;
}

}  // namespace

const QString &MorsePattern(QChar c)
{
    static const QString none;
    const char16_t u = c.toUpper().unicode();
    return u < 128 ? Patterns()[u] : none;
}

QString CharacterPattern(QChar c, int wordSpace)
{
    const QString &p = MorsePattern(c);
    if (c != QLatin1Char(' ') || wordSpace == 0)
        return p;
    if (wordSpace > 0)
        return p + QString(wordSpace, QLatin1Char('0'));
    return p.left(qMax(0, int(p.size()) + wordSpace));
}

QString SpeedRefusedText(int wpm)
{
    return QStringLiteral("CW not sent: the speed is %1 WPM; it must be from %2 to %3 WPM.")
        .arg(wpm)
        .arg(kMinWpm)
        .arg(kMaxWpm);
}

int SpeedFromText(const QString &text)
{
    if (!IsNumeric(text))
        return 0;
    const double v = NumericValue(text);
    // Far outside the valid range either way; kept clear of int overflow.
    if (!(v > -1000 && v < 1000))
        return v > 0 ? 1000 : -1000;
    return int(std::trunc(v));
}

int WordSpaceFromText(const QString &text)
{
    if (!IsNumeric(text))
        return 0;
    const double v = NumericValue(text);
    if (!(v > -8))
        return -8;
    return v < 1000 ? int(std::trunc(v)) : 999;
}

QString ExpandMessage(const QString &message, const QString &callForMacros,
                      const QString &exchangeForMacros, const QString &reportForMacros)
{
    QString report = reportForMacros.trimmed();
    if (report.isEmpty() || report == QLatin1String("599"))
        report = QStringLiteral("5NN");
    QString out = message;
    out.replace(QLatin1Char('$'), callForMacros.trimmed());
    out.replace(QLatin1Char('#'), exchangeForMacros.trimmed());
    out.replace(QLatin1Char('*'), report);
    return out;
}

std::optional<int> MessageIndexForKey(int number)
{
    if (number >= 1 && number <= 11)
        return number - 1;
    return std::nullopt;
}

}  // namespace zev
