#include "logcore/preferences.h"

#include <cmath>

namespace zev {

Preferences DefaultPreferences(double utcOffsetHours)
{
    Preferences p;
    p.UtcOffsetHours = utcOffsetHours;
    return p;
}

QByteArray FormatPreferences(const Preferences &p)
{
    const std::vector<Value> values{
        p.MyCall,           p.MyProvince,           p.UtcOffsetHours,     p.CurrentMode,
        p.OperatingSeconds, p.MyCountry,            p.MyLongitude,        p.MyLatitude,
        double(p.FormSizePercent), double(p.WorkedMultColour), double(p.UnworkedMultColour),
        p.CurrentBand,      p.MyContinent,          p.MyPowerClass,       double(p.VoiceNavLevel),
        p.RigName,          double(p.TaskbarMode),  double(p.ListPreviousOn), double(p.InCanada),
    };
    QByteArray out;
    for (const Value &v : values) {
        out += FormatLine({v});
        out += "\r\n";
    }
    return out;
}

namespace {

// Far beyond any real value, and small enough that every conversion to whole seconds
// stays exact.
constexpr double kMaxAbsUtcOffsetHours = 1e6;
constexpr double kMaxAbsOperatingSeconds = 1e12;

class PrefReader {
public:
    explicit PrefReader(const QByteArray &data) : in_(data) {}

    void text(QString &v)
    {
        if (ok_ && !in_.next(v))
            fail(in_.error());
    }
    void number(double &v)
    {
        if (ok_ && !in_.nextNumber(v))
            fail(in_.error());
    }
    // A number the program later turns into whole seconds or clock steps: a value beyond
    // the range is a damaged file, not something to convert.
    void bounded(double &v, double limit)
    {
        double d = 0;
        number(d);
        if (!ok_)
            return;
        if (!(std::fabs(d) <= limit))
            return fail(QStringLiteral("%1 is out of range").arg(FormatNumber(d)));
        v = d;
    }
    void integer(int &v, double lo, double hi)
    {
        double d = 0;
        number(d);
        if (!ok_)
            return;
        if (d < lo || d > hi || d != std::floor(d))
            return fail(QStringLiteral("%1 is out of range").arg(FormatNumber(d)));
        v = int(d);
    }
    void colour(quint32 &v)
    {
        double d = 0;
        number(d);
        if (!ok_)
            return;
        // Stored as a signed or unsigned 32-bit value.
        if (d < -2147483648.0 || d > 4294967295.0 || d != std::floor(d))
            return fail(QStringLiteral("%1 is not a colour").arg(FormatNumber(d)));
        v = quint32(qint64(d));
    }
    PreferenceReadResult result() const { return result_; }

private:
    void fail(const QString &why)
    {
        ok_ = false;
        result_.ok = false;
        result_.error = why;
        result_.position = in_.position();
    }
    ValueReader in_;
    bool ok_ = true;
    PreferenceReadResult result_;
};

}  // namespace

PreferenceReadResult ParsePreferences(const QByteArray &data, Preferences &p)
{
    PrefReader r(data);
    r.text(p.MyCall);
    r.text(p.MyProvince);
    r.bounded(p.UtcOffsetHours, kMaxAbsUtcOffsetHours);
    r.text(p.CurrentMode);
    r.bounded(p.OperatingSeconds, kMaxAbsOperatingSeconds);
    r.text(p.MyCountry);
    r.number(p.MyLongitude);
    r.number(p.MyLatitude);
    r.integer(p.FormSizePercent, 0, 255);
    r.colour(p.WorkedMultColour);
    r.colour(p.UnworkedMultColour);
    r.text(p.CurrentBand);
    r.text(p.MyContinent);
    r.text(p.MyPowerClass);
    r.integer(p.VoiceNavLevel, 0, 255);
    r.text(p.RigName);
    r.integer(p.TaskbarMode, 0, 255);
    r.integer(p.ListPreviousOn, 0, 255);
    r.integer(p.InCanada, 0, 255);
    return r.result();
}

}  // namespace zev
