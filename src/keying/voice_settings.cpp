#include "keying/voice_settings.h"

#include "common/file_io.h"
#include "common/quoted_values.h"
#include "keying/settings_ranges.h"

namespace zev {

int PttPortNumber(const QString &text)
{
    if (!IsNumeric(text))
        return 0;
    const double v = NumericValue(text);
    // Port numbers are small; anything out of int range is no port at all.
    if (!(v > -1e6 && v < 1e6))
        return 0;
    return int(v);
}

std::optional<double> RepeatPauseSeconds(const QString &text)
{
    if (!IsNumeric(text))
        return std::nullopt;
    const double v = NumericValue(text);
    if (v >= 0 && v < 60)
        return v;
    return std::nullopt;
}

VoiceSettings ParseVoiceSettings(const QByteArray &data, QStringList *fallbacks)
{
    VoiceSettings s;
    const VoiceSettings defaults;
    ValueReader r(data);
    auto note = [fallbacks](const char *name) {
        if (fallbacks)
            fallbacks->append(QLatin1String(name));
    };
    QString v;
    for (QString &file : s.files) {
        if (!r.next(v))
            return s;
        file = v;
    }
    if (!r.next(v))
        return s;
    s.port = v;
    KeepNumberInRange(s.port, 0, 255, true, defaults.port, QStringLiteral("PTT port"), fallbacks);
    if (!r.next(v))
        return s;
    // Compared as text, as the window's options were.
    const QString line = v.trimmed();
    if (line == QLatin1String("0"))
        s.line = PttLine::Rts;
    else if (line == QLatin1String("1"))
        s.line = PttLine::Dtr;
    else if (line == QLatin1String("2"))
        s.line = PttLine::Parallel;
    else
        note("PTT line");
    if (!r.next(v))
        return s;
    s.loop = v;
    if (IsNumeric(s.loop) && !RepeatPauseSeconds(s.loop)) {
        s.loop = defaults.loop;
        note("repeat pause");
    }
    if (!r.next(v))
        return s;
    s.address = v;
    return s;
}

QByteArray FormatVoiceSettings(const VoiceSettings &s)
{
    QList<QByteArray> lines;
    for (const QString &file : s.files)
        lines << FormatLine({file.trimmed()});
    lines << FormatLine({s.port});
    lines << FormatLine({double(int(s.line))});
    lines << FormatLine({s.loop});
    lines << FormatLine({s.address});
    return JoinLines(lines);
}

VoiceSettings LoadVoiceSettings(const QString &path, QStringList *fallbacks)
{
    const std::optional<QByteArray> data = ReadWholeFile(path);
    if (!data)
        return VoiceSettings{};
    return ParseVoiceSettings(*data, fallbacks);
}

bool SaveVoiceSettings(const QString &path, const VoiceSettings &settings, QString *error)
{
    return WriteFileAtomic(path, FormatVoiceSettings(settings), error);
}

}  // namespace zev
