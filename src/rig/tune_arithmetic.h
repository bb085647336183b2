#pragma once
// Frequency steps, band jumps and scanning for the tune window, in whole hertz: single
// precision cannot hold a 10 Hz step at 435 MHz.

#include <QString>
#include <QtGlobal>
#include <optional>

namespace zev::tune {

// Hertz of a frequency box's MHz text; nothing when the text is not a number (or absurdly large).
std::optional<qint64> HzFromText(const QString &mhzText);
// The shortest decimal MHz text of a frequency in hertz ("14.025", "7", "-0.5").
QString MhzText(qint64 hz);

inline constexpr int kBandCount = 16;
inline constexpr int kStepCount = 10;
inline constexpr int kScanStepCount = 5;

// Caption and frequency of band button `index` (0..15).
QString BandCaption(int index);
// What the screen reader says of band button `index`: "20 metres", "70 cm".
QString BandName(int index);
qint64 BandHz(int index);
// Step of step button `index` (0..9): even indexes go up, odd ones down.
qint64 StepHz(int index);
QString StepCaption(int index);
// Scan step option `index` (0 "500 Hz" .. 4 "2.5 KHz"); 0 Hz for -1 (none chosen).
qint64 ScanStepHz(int index);
QString ScanStepCaption(int index);

// The box's frequency after one scan step: past the upper end it starts again at `from`.
qint64 ScanNext(qint64 current, qint64 step, qint64 from, qint64 to);

}  // namespace zev::tune
