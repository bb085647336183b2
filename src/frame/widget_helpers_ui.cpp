#include "frame/widget_helpers_ui.h"

#include <QColor>
#include <QKeyEvent>

namespace zev {

QChar TypedKey(const QKeyEvent *k)
{
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kEnterKey;
    case Qt::Key_Backspace: return kBackspaceKey;
    default: break;
    }
    const QString t = k->text();
    if (t.size() != 1 || t[0].unicode() < 32 || t[0].unicode() == 127)
        return {};
    return t[0];
}

QString ColourName(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)).name();
}

}  // namespace zev
