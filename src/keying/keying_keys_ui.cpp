#include "keying/keying_keys_ui.h"

#include "keying/keying_controller.h"

namespace zev {

bool KeyToKeying(KeyingController &keying, int qtKey, Qt::KeyboardModifiers modifiers, const QString &text,
                 bool speedArrows)
{
    keying.disarmRepeat();
    // Alt and Ctrl combinations belong to the desktop and the menus; Shift+F10 opens the
    // context menu screen-reader users rely on.
    const bool plain = !(modifiers & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) &&
                       !(qtKey == Qt::Key_F10 && (modifiers & Qt::ShiftModifier));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        if (plain && keying.functionKey(qtKey - Qt::Key_F1 + 1))
            return true;
    } else if (speedArrows && (qtKey == Qt::Key_Up || qtKey == Qt::Key_Down) &&
               (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (keying.speedKey(qtKey == Qt::Key_Up ? 1 : -1))
            return true;
    }
    if (qtKey == Qt::Key_Escape)
        return keying.escapeKey();
    if (qtKey == Qt::Key_Backspace && keying.backspaceKey())
        return true;
    if (qtKey == Qt::Key_Tab || qtKey == Qt::Key_Backtab)
        return false;
    return keying.typedKey(text);
}

KeyWindow CtrlKeyWindow(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_B: return KeyWindow::SpectrumMap;
    case Qt::Key_C: return KeyWindow::CwSetup;
    case Qt::Key_D: return KeyWindow::DxSpotting;
    case Qt::Key_F: return KeyWindow::Privileges;
    case Qt::Key_G: return KeyWindow::Tune;
    case Qt::Key_P: return KeyWindow::VoiceKeyer;
    case Qt::Key_R: return KeyWindow::RigInterface;
    case Qt::Key_S: return KeyWindow::CwSetup;
    case Qt::Key_W: return KeyWindow::CwStrings;
    default: return KeyWindow::None;
    }
}

}  // namespace zev
