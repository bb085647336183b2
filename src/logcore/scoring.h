#pragma once
// What a contact is worth and the provinces counted once per band and mode.

#include <QString>
#include <QStringList>
#include <array>

namespace zev {

struct ContactRecord;

// Points of a contact from the call and the exchange received: 2, 10 or 20.
double ContactPoints(const QString &call, const QString &exchange);

const QStringList &BonusStations();

// Index of a band code in BandCodes (ignoring case), -1 when it is none of them.
int BandIndex(const QString &band);
// 0 for CW, 1 for anything else (phone).
inline int ModeIndex(const QString &mode)
{
    return mode.compare(QLatin1String("CW"), Qt::CaseInsensitive) == 0 ? 0 : 1;
}
// One of 16 band-and-mode slots for a known band and "CW" or "PH" (ignoring case);
// -1 for anything else, which only matches by its text.
inline int SlotOf(const QString &band, const QString &mode)
{
    const int b = BandIndex(band);
    const bool cw = mode.compare(QLatin1String("CW"), Qt::CaseInsensitive) == 0;
    const bool ph = mode.compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0;
    return (b < 0 || !(cw || ph)) ? -1 : b * 2 + (cw ? 0 : 1);
}

class MultiplierSets {
public:
    static constexpr int kMaxPerSet = 30;

    void clear();
    // Adds a record's exchange to its band-and-mode set when it is new there.
    void Tally(const ContactRecord &r);
    // The provinces worked on a band (index into BandCodes) in a mode (0 CW, 1 phone).
    const QStringList &worked(int band, int mode) const { return sets_[size_t(band * 2 + mode)]; }
    int TotalMultipliers() const { return total_; }

private:
    std::array<QStringList, 16> sets_;
    int total_ = 0;
};

// "###,##0"-style text: grouped by thousands with commas.
QString GroupedNumber(qint64 n);

}  // namespace zev
