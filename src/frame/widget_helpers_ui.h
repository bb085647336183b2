#pragma once
// Small helpers every window shares.

#include <QChar>
#include <QString>

class QKeyEvent;

namespace zev {

inline const QChar kEnterKey(13);
inline const QChar kBackspaceKey(8);

// The character a key press types, as a classic key code: Enter 13, Backspace 8.
// Keys that type nothing (arrows, function keys, shortcuts) give a null char.
QChar TypedKey(const QKeyEvent *k);

// A 0x00BBGGRR colour as a style-sheet colour name.
QString ColourName(quint32 bgr);

}  // namespace zev
