#pragma once
// What a recording key line was set to, one character per unit, and what a text should
// key: tests compare the two.

#include "keying/morse.h"
#include "keying/recording_key_line.h"

#include <QString>

namespace zevtest {

inline QString Keyed(const zev::KeyLineRecord &record)
{
    QString out;
    for (const auto &s : record.sets())
        out += s.down ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}

inline QString PatternOf(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += zev::CharacterPattern(c, 0);
    return out;
}

}  // namespace zevtest
