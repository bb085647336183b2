#include "keying/wk_settings.h"

#include "common/file_io.h"
#include "common/quoted_values.h"
#include "frame/folders.h"
#include "keying/settings_ranges.h"

#include <QFile>
#include <cmath>

namespace zev {

QString WkSettingsPath(const Folders &folders)
{
    return folders.ProgramDataFolder + QStringLiteral("/WK.txt");
}

namespace {

// A box's number as a whole value; nothing for text that is not a number or is far out.
std::optional<int> WholeNumber(const QString &text)
{
    if (!IsNumeric(text))
        return std::nullopt;
    const double v = std::round(NumericValue(text));
    if (!(std::fabs(v) < 1e6))
        return std::nullopt;
    return int(v);
}

}  // namespace

WkSettings ParseWkSettings(const QByteArray &data, QStringList *fallbacks)
{
    WkSettings s;
    ValueReader r(data);
    auto number = [&r, fallbacks](int &into, const char *name) {
        QString v;
        if (!r.next(v))
            return false;
        if (NumberWithin(v, 0, 255, true))
            into = int(NumericValue(v));
        else if (IsNumeric(v) && fallbacks)
            fallbacks->append(QLatin1String(name));
        return true;
    };
    // The boxes hold text; a number no box takes goes back to the default.
    struct Box {
        QString WkSettings::*box;
        double low, high;
        const char *name;
    };
    static const Box boxes[] = {
        {&WkSettings::txtWKWPM, 0, 99, "speed"},     {&WkSettings::txtWeight, 0, 99, "weight"},
        {&WkSettings::txtLeadIn, 0, 255, "lead-in"}, {&WkSettings::txtTail, 0, 255, "tail"},
        {&WkSettings::txtRatio, 32, 67, "ratio"},
    };
    const WkSettings defaults;
    if (!number(s.WinKeyPort, "port"))
        return s;
    for (const Box &b : boxes) {
        QString v;
        if (!r.next(v))
            return s;
        s.*b.box = v;
        KeepNumberInRange(s.*b.box, b.low, b.high, false, defaults.*b.box, QLatin1String(b.name), fallbacks);
    }
    if (!number(s.WinKeyPinConfig, "pin configuration"))
        return s;
    number(s.WinKeyMode, "mode");
    return s;
}

QByteArray FormatWkSettings(const WkSettings &s)
{
    return JoinLines({FormatLine({double(s.WinKeyPort)}), FormatLine({s.txtWKWPM}),
                      FormatLine({s.txtWeight}), FormatLine({s.txtLeadIn}), FormatLine({s.txtTail}),
                      FormatLine({s.txtRatio}), FormatLine({double(s.WinKeyPinConfig)}),
                      FormatLine({double(s.WinKeyMode)})});
}

WkSettings LoadWkSettings(const QString &path, QStringList *fallbacks)
{
    if (!QFile::exists(path))
        return {};
    const std::optional<QByteArray> data = ReadWholeFile(path);
    return data ? ParseWkSettings(*data, fallbacks) : WkSettings{};
}

bool SaveWkSettings(const QString &path, const WkSettings &s, QString *error)
{
    return WriteFileAtomic(path, FormatWkSettings(s), error);
}

BoxOutcome LeaveRangedBox(const QString &text, int low, int high, const QString &fallback)
{
    const std::optional<int> n = WholeNumber(text);
    if (!IsNumeric(text))
        return {fallback, WholeNumber(fallback)};
    if (!n || *n < low || *n > high)
        return {text, std::nullopt};
    return {text, n};
}

BoxOutcome LeaveSpeedBox(const QString &text)
{
    return LeaveRangedBox(text, 0, 99, QStringLiteral("18"));
}

BoxOutcome LeaveWeightBox(const QString &text)
{
    return LeaveRangedBox(text, 0, 99, QStringLiteral("50"));
}

BoxOutcome LeaveRatioBox(const QString &text)
{
    return LeaveRangedBox(text, 32, 67, QStringLiteral("50"));
}

LeadTailOutcome LeaveLeadTailBoxes(const QString &lead, const QString &tail, bool leftLead)
{
    LeadTailOutcome out{lead, tail, std::nullopt};
    const std::optional<int> l = IsNumeric(lead) ? WholeNumber(lead) : std::nullopt;
    const std::optional<int> t = IsNumeric(tail) ? WholeNumber(tail) : std::nullopt;
    if (l && t && *l >= 0 && *l <= 255 && *t >= 0 && *t <= 255) {
        out.send = std::pair{*l, *t};
        return out;
    }
    (leftLead ? out.leadText : out.tailText) = QStringLiteral("0");
    return out;
}

BoxOutcome LeavePortBox(const QString &text)
{
    const std::optional<int> n = IsNumeric(text) ? WholeNumber(text) : std::nullopt;
    if (!n || *n < 0 || *n > 255)
        return {QStringLiteral("0"), 0};
    return {text, n};
}

}  // namespace zev
