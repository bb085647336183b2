#pragma once
// What each kind of text box keeps of what the operator types or pastes. One rule
// table for every window, so a paste can never put into a box what typing could not,
// and the working files (Latin-1, one record per line) always hold what the box shows.

#include <QString>

namespace zev {

enum class TextKind {
    Call,        // call signs: capitals, no blanks, 20
    Report,      // signal reports of the entry line: digits, 3
    EditReport,  // signal reports in the edit window: capitals, no blanks, 3
    Exchange,    // province or serial number: capitals, no blanks, 10
    Power,       // OBEL/PWR of the entry line: capitals, no blanks, 20
    Mode,        // "CW" / "PH" in the edit window: capitals, no blanks, 2
    Band,        // band code in the edit window: capitals, no blanks, 3
    Points,      // QSO points in the edit window: digits, 4
    Date,        // "yyyy/mm/dd": digits and "/", 10
    Time,        // "hh:mm:ss": digits and ":", 8
    UtcOffset,   // hours added for UTC: "-", ".", "/" and digits, 8
    Coordinate,  // longitude / latitude: any text but the quote, 20
    Country,     // country name: any text but the quote, 60
    Station,     // continent, OBEL or power of the station: capitals, no quote, 20
    Operators,   // operator calls of the summary sheet: capitals, 100
    Detail,      // name, address, e-mail, club: as typed, 60
    Soapbox,     // the summary sheet's comment line: as typed, 250
    Answer,      // an input box's answer: as typed, 250
    CwMessage,   // a function key's CW message: capitals, blanks, no quote, 250
    PortNumber,  // a port number or speed: digits, 3
    WordSpace,   // word-space units: "-" and digits, 3
    Seconds,     // a repeat pause: digits and ".", 6
    Address,     // a parallel port address ("&H378"): capitals, no blanks, no quote, 10
};

// Longest text a box of this kind takes.
int MaxTextLength(TextKind kind);

// True for a character no working file can hold: outside Latin-1.
inline bool IsUnstorable(QChar c) { return c.unicode() > 0xFF; }

struct CleanedText {
    QString text;
    bool refused = false;  // a character no file can hold was taken out
};

// What a box of `kind` keeps of `text`: line breaks and other control characters out,
// characters outside Latin-1 out, the kind's own character rules (digits only, no
// quote, no blanks, capitals including accented ones), at most `maxLength` characters
// (the kind's limit when negative).
CleanedText CleanText(TextKind kind, const QString &text, int maxLength = -1);

struct EditedText {
    QString text;
    int cursor = 0;        // just after what was added, as after a paste
    bool changed = false;  // `text` differs from what the box would have held
    bool refused = false;
};

// The box held `before`; typing or a paste made it `after`, with the cursor at
// `cursor` (just after what was added; negative when not known). Only the part that
// changed is cleaned: text already in the box stays as it is (a record's "2.5" points),
// and the length limit lets in only as much of the new part as there is room for. A
// change holding a character no file can hold is refused whole: the box keeps `before`.
EditedText ApplyTextRule(TextKind kind, const QString &before, const QString &after, int maxLength = -1,
                         int cursor = -1);

}  // namespace zev
