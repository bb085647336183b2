#pragma once
// Morse patterns and the text of a CW message: what the keying engine sends and how a
// function-key message is filled in from the contact being worked.

#include <QString>
#include <optional>

namespace zev {

// A character's pattern: "1" is one unit key down, "0" one unit key up. Every pattern
// ends in key-up units, so a finished character always leaves the key up. Lower case is
// upper-cased; "!" and characters without Morse give an empty pattern (no time at all).
// The returned text stays valid for the life of the program.
const QString &MorsePattern(QChar c);

// The pattern of `c` as sent: a space is stretched by `wordSpace` units (a negative value
// shortens it, -8 or below leaves nothing of it).
QString CharacterPattern(QChar c, int wordSpace);

// Length of one unit at `wpm` words per minute, in milliseconds.
inline double UnitMs(int wpm) { return 1200.0 / wpm; }
// Speeds the engine keys at; anything else (0 from a blank box, a negative speed) keys nothing.
constexpr int kMinWpm = 5;
constexpr int kMaxWpm = 99;
inline bool SpeedIsValid(int wpm) { return wpm >= kMinWpm && wpm <= kMaxWpm; }
// The message shown once when a message is refused for its speed.
QString SpeedRefusedText(int wpm);

// The speed box's number; 0 when the text is not a number.
int SpeedFromText(const QString &text);
// The word-space box's number: 0 when the text is not a number, never below -8.
int WordSpaceFromText(const QString &text);

// A function-key message with its wildcards filled in: every "$" by the call, then every
// "#" by the exchange, then every "*" by the report ("5NN" for "599" or nothing), each
// trimmed. "!" stays for the engine.
QString ExpandMessage(const QString &message, const QString &callForMacros,
                      const QString &exchangeForMacros, const QString &reportForMacros);

// Index (0 = F1 ... 10 = F11) of the message function key F<number> sends; nothing for
// F12 (keyboard CW) or any other number.
std::optional<int> MessageIndexForKey(int number);

}  // namespace zev
