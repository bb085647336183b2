#pragma once
// From the radio's frequency to the contest's band, and the frequency text a contact keeps.

#include <QString>
#include <QtGlobal>

namespace zev {

// Index into BandCodes() of the contest band holding `mhz`, or -1 outside every band.
// The edges are exclusive and compared in single precision, as the radio reports them.
int BandIndexForFrequency(float mhz);

// The contest band of a frequency in hertz, compared as the radio's single-precision MHz.
int BandIndexForHz(qint64 hz);

// The frequency as a contact stores it: MHz with three decimals and no leading zeros
// ("14.025", "7.000", ".475"), rounded from the exact hertz.
QString RigFrequencyFormat(qint64 hz);
// The frequency as the rig window shows it: five decimals ("7.02550").
QString RigWindowFrequencyText(qint64 hz);

}  // namespace zev
