#include "common/quoted_values.h"

#include <algorithm>

#include <QLocale>

#include <cmath>
#include <cstring>

namespace zev {

ValueReader::ValueReader(QByteArray data) : data_(std::move(data)) {}

void ValueReader::skipBlanks()
{
    while (p_ < data_.size() && (data_[p_] == ' ' || data_[p_] == '\t'))
        ++p_;
}

bool ValueReader::atEnd()
{
    // Blank lines between records and at the end carry no values.
    for (;;) {
        skipBlanks();
        if (p_ >= data_.size())
            return true;
        const char c = data_[p_];
        if (c == '\r' || c == '\n' || c == '\x1a') {
            ++p_;
            if (c == '\n') {
                ++line_;
                lineStart_ = p_;
            }
            continue;
        }
        return false;
    }
}

void ValueReader::markStart()
{
    ++count_;
    pos_.line = line_;
    pos_.column = int(p_ - lineStart_) + 1;
    pos_.value = count_;
}

void ValueReader::consumeSeparator()
{
    // Anything between a closing quote and the separator is ignored.
    while (p_ < data_.size() && data_[p_] != ',' && data_[p_] != '\r' && data_[p_] != '\n')
        ++p_;
    if (p_ >= data_.size())
        return;
    if (data_[p_] == ',') {
        ++p_;
        return;
    }
    if (data_[p_] == '\r')
        ++p_;
    if (p_ < data_.size() && data_[p_] == '\n') {
        ++p_;
        ++line_;
        lineStart_ = p_;
    }
}

void ValueReader::assign(QString &value, const char *bytes, qsizetype n)
{
    // Logs repeat most values; keeping the caller's equal string saves an allocation.
    if (value.size() == n && QLatin1StringView(bytes, n) == value)
        return;
    value = QString::fromLatin1(bytes, n);
}

bool ValueReader::next(QString &value)
{
    skipBlanks();
    markStart();
    if (p_ >= data_.size()) {
        error_ = QStringLiteral("unexpected end of file");
        return false;
    }
    if (data_[p_] == '"') {
        const qsizetype close = data_.indexOf('"', p_ + 1);
        if (close < 0) {
            error_ = QStringLiteral("missing closing quote");
            return false;
        }
        const char *begin = data_.constData() + p_ + 1;
        const char *end = data_.constData() + close;
        // A quoted value may span lines; keep the line count right.
        for (const char *nl = begin; (nl = static_cast<const char *>(std::memchr(nl, '\n', size_t(end - nl))));) {
            ++line_;
            ++nl;
            lineStart_ = nl - data_.constData();
        }
        assign(value, begin, end - begin);
        p_ = close + 1;
    } else {
        qsizetype e = p_;
        while (e < data_.size() && data_[e] != ',' && data_[e] != '\r' && data_[e] != '\n')
            ++e;
        const char *b = data_.constData() + p_;
        qsizetype n = e - p_;
        while (n > 0 && (*b == ' ' || *b == '\t')) {
            ++b;
            --n;
        }
        while (n > 0 && (b[n - 1] == ' ' || b[n - 1] == '\t'))
            --n;
        assign(value, b, n);
        p_ = e;
    }
    consumeSeparator();
    return true;
}

bool ValueReader::nextNumber(double &value)
{
    QString text;
    if (!next(text))
        return false;
    if (!IsNumeric(text)) {
        error_ = QStringLiteral("\"%1\" is not a number").arg(text);
        return false;
    }
    value = NumericValue(text);
    if (!std::isfinite(value)) {
        error_ = QStringLiteral("\"%1\" is too large a number").arg(text);
        return false;
    }
    return true;
}

QString FormatNumber(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("0");
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'f', QLocale::FloatingPointShortest);
}

static void appendValue(QByteArray &out, const Value &v)
{
    if (!out.isEmpty())
        out += ',';
    if (const QString *s = std::get_if<QString>(&v)) {
        out += '"';
        out += ToFileBytes(*s);
        out += '"';
    } else {
        out += FormatNumber(std::get<double>(v)).toLatin1();
    }
}

QByteArray FormatLine(std::initializer_list<Value> values)
{
    QByteArray out;
    for (const Value &v : values)
        appendValue(out, v);
    return out;
}

QByteArray FormatLine(const std::vector<Value> &values)
{
    QByteArray out;
    for (const Value &v : values)
        appendValue(out, v);
    return out;
}

bool IsNumeric(const QString &text)
{
    const QString t = text.trimmed();
    int i = 0;
    const int n = int(t.size());
    if (i < n && (t[i] == '+' || t[i] == '-'))
        ++i;
    int digits = 0;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            ++i;
        int expDigits = 0;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

double NumericValue(const QString &text)
{
    if (!IsNumeric(text))
        return 0;
    // QString::toDouble ignores the process locale, which a GUI program sets.
    return text.trimmed().toDouble();
}

QString FileText(const QString &text)
{
    // A quote inside a quoted value would end it early and shift every later value.
    if (std::none_of(text.begin(), text.end(), DroppedFromFiles))
        return text;
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!DroppedFromFiles(c))
            out += c;
    return out;
}

QByteArray ToFileBytes(const QString &text)
{
    // Exports run through every contact: convert in one pass, no per-character appends.
    QByteArray out(text.size(), Qt::Uninitialized);
    char *o = out.data();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!DroppedFromFiles(c))
            *o++ = u < 256 ? char(u) : '?';
    }
    out.truncate(o - out.constData());
    return out;
}

namespace {

// Letters whose plain form is not reached by taking off a combining accent.
const char *PlainLetters(char16_t c)
{
    switch (c) {
    case u'\u00c6': return "AE";
    case u'\u00e6': return "ae";
    case u'\u00d0': return "D";
    case u'\u00f0': return "d";
    case u'\u00d8': return "O";
    case u'\u00f8': return "o";
    case u'\u00de': return "TH";
    case u'\u00fe': return "th";
    case u'\u00df': return "ss";
    case u'\u0110': return "D";
    case u'\u0111': return "d";
    case u'\u0126': return "H";
    case u'\u0127': return "h";
    case u'\u0131': return "i";
    case u'\u0141': return "L";
    case u'\u0142': return "l";
    case u'\u0152': return "OE";
    case u'\u0153': return "oe";
    case u'\u0166': return "T";
    case u'\u0167': return "t";
    default: return nullptr;
    }
}

}  // namespace

QByteArray ToAsciiFileBytes(QStringView text)
{
    QByteArray out;
    AppendAsciiFileBytes(out, text);
    return out;
}

void AppendAsciiFileBytes(QByteArray &out, QStringView text)
{
    // Plain ASCII, the usual case, in one pass without per-character appends.
    qsizetype plain = 0;
    while (plain < text.size() && text[plain].unicode() < 128 && !DroppedFromFiles(text[plain]))
        ++plain;
    const qsizetype at = out.size();
    out.resize(at + plain);
    char *o = out.data() + at;
    for (qsizetype i = 0; i < plain; ++i)
        o[i] = char(text[i].unicode());
    for (QChar c : text.mid(plain)) {
        if (DroppedFromFiles(c))
            continue;
        if (c.unicode() < 128) {
            out += char(c.unicode());
            continue;
        }
        // An accented letter is its plain letter followed by the accent, perhaps more
        // than one level deep; keep the letter, drop the accents.
        QChar base = c;
        while (base.unicode() >= 128 && base.decompositionTag() == QChar::Canonical)
            base = base.decomposition().at(0);
        if (base.unicode() < 128)
            out += char(base.unicode());
        else if (const char *letters = PlainLetters(base.unicode()))
            out += letters;
    }
}

}  // namespace zev
