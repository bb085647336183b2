#pragma once
// The rate graph worked out from the log: contacts per hour over the contest's time
// span, smoothed, with the band in use under each slot. The window only paints this.

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace zev {

class ContactLog;
struct ContactRecord;

inline constexpr int kGraphSlots = 1500;       // slots that are plotted
inline constexpr int kGraphArraySize = 1600;   // room for the gap search past the last slot
inline constexpr int kTimeLabels = 15;
inline constexpr int kValueLabels = 17;
inline constexpr int kLegendBands = 7;         // "160" ... "10", then "Other"
inline constexpr std::int8_t kBackground = -1;  // slot colour: no band, the window's background

struct RateGraph {
    enum class Status {
        Ready,
        TooFewContacts,  // fewer than 7
        NoTimeSpan,      // last contact not later than the first
        UnreadableTime,  // a record's date or time cannot be read
        FlatCurve,       // every smoothed value equal: no vertical scale
    };
    Status status = Status::TooFewContacts;
    bool ready() const { return status == Status::Ready; }
    int unreadableRecord = 0;  // record number, for UnreadableTime

    // Indexed by slot, 1 to kGraphArraySize; index 0 stays 0 / background.
    std::array<float, kGraphArraySize + 1> RatePoints{};
    std::array<float, kGraphArraySize + 1> SmoothPoints{};
    // Legend index 0-6 of the band drawn under the slot, or kBackground.
    std::array<std::int8_t, kGraphArraySize + 1> SlotColours{};

    float MinRate = 100000.0f;
    float MaxRate = -1.0f;

    QDateTime Start;  // first record's instant (UTC)
    QDateTime End;    // last record's instant
    qint64 Span = 0;  // whole seconds from Start to End

    std::array<QString, kTimeLabels> TimeLabels;  // "hh:mm"
    std::array<QString, kTimeLabels> DateLabels;  // "MM/DD"
    std::array<QString, kValueLabels> ValueLabels;  // "###0.0", lowest first
};

RateGraph BuildRateGraph(const ContactLog &log);
RateGraph BuildRateGraph(const std::vector<ContactRecord> &records);

// Legend index of a band code ("6" and "2" are "Other"), or kBackground for a band
// outside the table.
int LegendIndexOfBand(const QString &band);

// A rate label: at least one integer digit and one decimal, no grouping.
QString RateLabelText(double value);

// Where the plot's frame lies, in any unit, and where slots and values fall inside it.
struct GraphFrame {
    double left = 0;
    double right = 0;
    double top = 0;
    double baseline = 0;

    double SlotWidth() const { return (right - left) / kGraphSlots; }
    // The right end of slot i's segment; the slot runs back to SlotX(i) - SlotWidth().
    // `inset` keeps the first slot clear of the left edge.
    double SlotX(int i, double inset) const { return left + inset + SlotWidth() * (i - 2); }
    // Height of a rate; the graph must be ready (MaxRate above MinRate).
    double ValueY(const RateGraph &g, double v) const
    {
        const double h = baseline - top;
        const double scale = h / (double(g.MaxRate) - g.MinRate) * 0.995;
        return baseline - (v - g.MinRate) * scale - 0.0025 * h;
    }
};

}  // namespace zev
