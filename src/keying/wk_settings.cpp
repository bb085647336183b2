#include "keying/wk_settings.h"

#include "common/file_io.h"
#include "common/quoted_values.h"

#include <QFile>
#include <cmath>

namespace zev {

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

WkSettings ParseWkSettings(const QByteArray &data)
{
    WkSettings s;
    ValueReader r(data);
    auto number = [&r](int &into) {
        QString v;
        if (!r.next(v))
            return false;
        if (const auto n = WholeNumber(v); n && *n >= 0 && *n <= 255)
            into = *n;
        return true;
    };
    auto text = [&r](QString &into) {
        QString v;
        if (!r.next(v))
            return false;
        into = v;
        return true;
    };
    if (!number(s.WinKeyPort))
        return s;
    for (QString *box : {&s.txtWKWPM, &s.txtWeight, &s.txtLeadIn, &s.txtTail, &s.txtRatio})
        if (!text(*box))
            return s;
    if (!number(s.WinKeyPinConfig))
        return s;
    number(s.WinKeyMode);
    return s;
}

QByteArray FormatWkSettings(const WkSettings &s)
{
    return JoinLines({FormatLine({double(s.WinKeyPort)}), FormatLine({s.txtWKWPM}),
                      FormatLine({s.txtWeight}), FormatLine({s.txtLeadIn}), FormatLine({s.txtTail}),
                      FormatLine({s.txtRatio}), FormatLine({double(s.WinKeyPinConfig)}),
                      FormatLine({double(s.WinKeyMode)})});
}

WkSettings LoadWkSettings(const QString &path)
{
    if (!QFile::exists(path))
        return {};
    const std::optional<QByteArray> data = ReadWholeFile(path);
    return data ? ParseWkSettings(*data) : WkSettings{};
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
