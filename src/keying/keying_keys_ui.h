#pragma once
// The logging window's keys turned into keying commands: F1..F12, the speed arrows,
// Escape, Backspace and typed characters; and the windows Ctrl and a letter open.

#include <Qt>
#include <QString>

namespace zev {

class KeyingController;

// Every key pressed on the logging window, before the box sees it; true when the keying
// took it. Any key stops a repeating message. Up and Down change the speed only where
// `speedArrows` says so: elsewhere (a list) they move the focus or the row.
bool KeyToKeying(KeyingController &keying, int qtKey, Qt::KeyboardModifiers modifiers, const QString &text,
                 bool speedArrows = true);

// The windows Ctrl and a letter open from the logging window.
enum class KeyWindow { None, SpectrumMap, CwSetup, DxSpotting, Privileges, Tune, VoiceKeyer, RigInterface, CwStrings };
KeyWindow CtrlKeyWindow(int qtKey);

}  // namespace zev
