#pragma once
// The quoted comma notation shared by every working file: text values in double
// quotes (no escapes), numbers bare with a period, values separated by commas or
// line ends. Files are Latin-1 with CR LF line ends; LF alone is accepted on reading.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace zev {

// Where reading stopped, for messages and tests.
struct ReadPosition {
    int line = 1;    // 1-based line of the value that failed
    int column = 1;  // 1-based byte column
    int value = 0;   // 1-based index of the value in the file
};

class ValueReader {
public:
    explicit ValueReader(QByteArray data);

    // True when nothing but blanks and line ends is left.
    bool atEnd();
    // Reads the next value; false at end of data or on an unterminated quote. When `value`
    // already holds the text read, it is left as it is.
    bool next(QString &value);
    // Reads the next value and converts it to a number; false if it is not numeric or
    // too large for a double ("1e999").
    bool nextNumber(double &value);

    const QString &error() const { return error_; }
    // Where the last value read (or failed) started.
    ReadPosition position() const { return pos_; }
    // Where the next value would start.
    ReadPosition here() const { return {line_, int(p_ - lineStart_) + 1, count_ + 1}; }

private:
    void skipBlanks();
    void consumeSeparator();
    void markStart();
    void assign(QString &value, const char *bytes, qsizetype n);

    QByteArray data_;
    qsizetype p_ = 0;
    int line_ = 1;
    qsizetype lineStart_ = 0;
    int count_ = 0;
    ReadPosition pos_;
    QString error_;
};

// A value as written: text is quoted, a number is bare.
using Value = std::variant<QString, double>;

// Shortest decimal form of a number, period separator, no exponent; integral values
// carry no decimal part.
QString FormatNumber(double v);

// One line (without line end) of values separated by commas.
QByteArray FormatLine(std::initializer_list<Value> values);
QByteArray FormatLine(const std::vector<Value> &values);

// A text reads as a number: optional blanks and sign, digits with an optional decimal
// point, optional exponent.
bool IsNumeric(const QString &text);
// The number a numeric text stands for (0 for a text that is not numeric).
double NumericValue(const QString &text);

// A text value as every written file stores it. The notation of the working files has
// no escape for a double quote, and the exports quote their values the same way, so the
// quote is dropped, for every writer: this rule is the one place that says so.
inline bool DroppedFromFiles(QChar c) { return c == QLatin1Char('"'); }
QString FileText(const QString &text);

// Latin-1 bytes of a text as files store it (FileText); characters outside Latin-1
// become "?".
QByteArray ToFileBytes(const QString &text);

// ASCII bytes of a text as files store it (FileText): accented letters lose their
// accent (e acute -> "e", O slash -> "O", sharp s -> "ss"), other characters outside
// ASCII are dropped.
QByteArray ToAsciiFileBytes(QStringView text);
// The same, appended to `out`.
void AppendAsciiFileBytes(QByteArray &out, QStringView text);

}  // namespace zev
