#pragma once
// From the radio's frequency to the contest's band, and the frequency text a contact keeps.

#include <QString>

namespace zev {

// Index into BandCodes() of the contest band holding `mhz`, or -1 outside every band.
// The edges are exclusive and compared in single precision, as the radio reports them.
int BandIndexForFrequency(float mhz);

// The frequency as a contact stores it: MHz with three decimals and no leading zeros
// ("14.025", "7.000", ".475"); empty for a value that is not a number.
QString RigFrequencyFormat(float mhz);

}  // namespace zev
