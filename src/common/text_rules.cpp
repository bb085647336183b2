#include "common/text_rules.h"

#include <algorithm>

namespace zev {

namespace {

enum class Chars { Any, Digits, DateChars, TimeChars, OffsetChars, SignedDigits, DecimalDigits };

struct Rule {
    int maxLength;
    Chars chars;
    bool upper;   // letters become capitals
    bool blanks;  // blanks are kept
    bool quote;   // the double quote is kept
};

Rule ruleFor(TextKind kind)
{
    switch (kind) {
    case TextKind::Call: return {20, Chars::Any, true, false, false};
    case TextKind::Report: return {3, Chars::Digits, false, false, false};
    case TextKind::EditReport: return {3, Chars::Any, true, false, false};
    case TextKind::Exchange: return {10, Chars::Any, true, false, false};
    case TextKind::Power: return {20, Chars::Any, true, false, false};
    case TextKind::Mode: return {2, Chars::Any, true, false, false};
    case TextKind::Band: return {3, Chars::Any, true, false, false};
    case TextKind::Points: return {4, Chars::Digits, false, false, false};
    case TextKind::Date: return {10, Chars::DateChars, false, false, false};
    case TextKind::Time: return {8, Chars::TimeChars, false, false, false};
    case TextKind::UtcOffset: return {8, Chars::OffsetChars, false, false, false};
    case TextKind::Coordinate: return {20, Chars::Any, false, true, false};
    case TextKind::Country: return {60, Chars::Any, false, true, false};
    case TextKind::Station: return {20, Chars::Any, true, true, false};
    case TextKind::Operators: return {100, Chars::Any, true, true, true};
    case TextKind::Detail: return {60, Chars::Any, false, true, true};
    case TextKind::Soapbox: return {250, Chars::Any, false, true, true};
    case TextKind::Answer: return {250, Chars::Any, false, true, true};
    case TextKind::CwMessage: return {250, Chars::Any, true, true, false};
    case TextKind::PortNumber: return {3, Chars::Digits, false, false, false};
    case TextKind::WordSpace: return {3, Chars::SignedDigits, false, false, false};
    case TextKind::Seconds: return {6, Chars::DecimalDigits, false, false, false};
    case TextKind::Address: return {10, Chars::Any, true, false, false};
    }
    return {0, Chars::Digits, false, false, false};
}

// Line breaks of every kind, tabs and other control characters.
bool isControl(char16_t u)
{
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

bool isDigit(char16_t u)
{
    return u >= '0' && u <= '9';
}

bool allowed(Chars chars, char16_t u)
{
    switch (chars) {
    case Chars::Any: return true;
    case Chars::Digits: return isDigit(u);
    case Chars::DateChars: return isDigit(u) || u == '/';
    case Chars::TimeChars: return isDigit(u) || u == ':';
    case Chars::OffsetChars: return u >= '-' && u <= '9';  // "-", ".", "/" and digits, as typed
    case Chars::SignedDigits: return isDigit(u) || u == '-';
    case Chars::DecimalDigits: return isDigit(u) || u == '.';
    }
    return false;
}

// Capitals within Latin-1: "é" becomes "É"; "ÿ" and "µ", whose capitals lie outside it, stay.
QChar latinCapital(QChar c)
{
    const QChar up = c.toUpper();
    return up.unicode() <= 0xFF ? up : c;
}

}  // namespace

int MaxTextLength(TextKind kind)
{
    return ruleFor(kind).maxLength;
}

CleanedText CleanText(TextKind kind, const QString &text, int maxLength)
{
    const Rule rule = ruleFor(kind);
    const int limit = maxLength < 0 ? rule.maxLength : maxLength;
    CleanedText out;
    out.text.reserve(std::min<qsizetype>(text.size(), limit));
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (isControl(u))
            continue;
        if (IsUnstorable(c)) {
            out.refused = true;
            continue;
        }
        if (!allowed(rule.chars, u))
            continue;
        if (!rule.quote && u == '"')
            continue;
        if (!rule.blanks && (u == ' ' || u == 0xA0))
            continue;
        if (out.text.size() >= limit)
            continue;  // keep looking: a refused character further on is still reported
        out.text += rule.upper ? latinCapital(c) : c;
    }
    return out;
}

EditedText ApplyTextRule(TextKind kind, const QString &before, const QString &after, int maxLength, int cursor)
{
    const int limit = maxLength < 0 ? MaxTextLength(kind) : maxLength;
    // The changed part: what lies between the common start and the common end. The
    // cursor, when known, marks where the change ended: "/" pasted before "/" is new.
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype suffix = 0;
    qsizetype prefixEnd = shorter;
    bool tailKnown = false;
    if (cursor >= 0 && cursor <= after.size()) {
        const qsizetype tail = after.size() - cursor;
        if (tail <= before.size() && QStringView(after).right(tail) == QStringView(before).right(tail)) {
            suffix = tail;
            prefixEnd = std::min<qsizetype>(cursor, before.size() - tail);
            tailKnown = true;
        }
    }
    qsizetype prefix = 0;
    while (prefix < prefixEnd && before[prefix] == after[prefix])
        ++prefix;
    while (!tailKnown && suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const QString kept = after.left(prefix);
    const QString tail = after.right(suffix);
    const QString added = after.mid(prefix, after.size() - prefix - suffix);

    const int room = std::max(0, limit - int(kept.size() + tail.size()));
    const CleanedText clean = CleanText(kind, added, room);
    EditedText out;
    if (clean.refused) {
        // Taking out only the characters no file can hold could leave a different call
        // that looks right ("VE3ЖAB" as VE3AB): the whole change is turned away.
        out.text = before;
        out.cursor = int(std::min<qsizetype>(prefix, before.size()));
        out.changed = out.text != after;
        out.refused = true;
        return out;
    }
    out.text = kept + clean.text + tail;
    out.cursor = int(kept.size() + clean.text.size());
    out.changed = out.text != after;
    out.refused = clean.refused;
    return out;
}

}  // namespace zev
