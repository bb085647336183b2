#include "keying/cw_settings.h"

#include "common/file_io.h"
#include "common/quoted_values.h"
#include "keying/settings_ranges.h"
#include "keying/voice_settings.h"

#include <QFileInfo>
#include <cmath>

namespace zev {

QByteArray FormatCwSettings(const CwSettings &s)
{
    const auto &m = s.messages;
    const std::vector<Value> values{
        m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8],
        s.port, s.speed, m[9], m[10], s.wordSpace, double(s.keyingLine),
        s.parallelAddress, double(s.showText), s.repeatPause,
    };
    QByteArray out;
    for (const Value &v : values) {
        out += FormatLine({v});
        out += "\r\n";
    }
    return out;
}

int ParseCwSettings(const QByteArray &data, CwSettings &s, QStringList *fallbacks)
{
    const CwSettings defaults;
    ValueReader in(data);
    int taken = 0;
    bool ok = true;
    auto text = [&](QString &v) {
        QString read;
        if (ok && (ok = in.next(read))) {
            v = read;
            ++taken;
        }
    };
    // A number of no option ends the reading: it and the rest keep their defaults.
    auto number = [&](int &v, std::initializer_list<int> allowed, const char *name) {
        double d = 0;
        if (!ok || !(ok = in.nextNumber(d)))
            return;
        for (int a : allowed) {
            if (d == a) {
                v = a;
                ++taken;
                return;
            }
        }
        ok = false;
        if (fallbacks)
            fallbacks->append(QLatin1String(name));
    };
    for (int i = 0; i < 9; ++i)
        text(s.messages[size_t(i)]);
    if (taken == 9 && s.messages[8].isEmpty())
        s.messages[8] = kDefaultF9;
    text(s.port);
    text(s.speed);
    text(s.messages[9]);
    text(s.messages[10]);
    text(s.wordSpace);
    number(s.keyingLine, {kKeyNone, kKeyRts, kKeyDtr, kKeyParallel, kKeyWinKey}, "keying line");
    text(s.parallelAddress);
    number(s.showText, {0, 1}, "display CW text");
    text(s.repeatPause);
    KeepNumberInRange(s.port, 0, 255, true, defaults.port, QStringLiteral("port"), fallbacks);
    KeepNumberInRange(s.speed, 0, 999, false, defaults.speed, QStringLiteral("speed"), fallbacks);
    KeepNumberInRange(s.wordSpace, -8, 999, false, defaults.wordSpace, QStringLiteral("word space"), fallbacks);
    if (IsNumeric(s.repeatPause) && !RepeatPauseSeconds(s.repeatPause)) {
        s.repeatPause = defaults.repeatPause;
        if (fallbacks)
            fallbacks->append(QStringLiteral("repeat pause"));
    }
    return taken;
}

CwSettings LoadCwSettings(const QString &path, QString *error, QStringList *fallbacks)
{
    CwSettings s;
    if (!QFileInfo::exists(path))
        return s;
    if (const std::optional<QByteArray> data = ReadWholeFile(path, error))
        ParseCwSettings(*data, s, fallbacks);
    return s;
}

bool SaveCwSettings(const QString &path, const CwSettings &s, QString *error)
{
    return WriteFileAtomic(path, FormatCwSettings(s), error);
}

bool WriteDefaultCwSettingsIfMissing(const QString &path, QString *error)
{
    if (QFileInfo::exists(path))
        return true;
    return SaveCwSettings(path, CwSettings{}, error);
}

RepeatPause CheckRepeatPause(const QString &text)
{
    if (const std::optional<double> v = RepeatPauseSeconds(text))
        return {text, int(std::lround(*v * 1000))};
    return {QStringLiteral("0"), 0};
}

}  // namespace zev
