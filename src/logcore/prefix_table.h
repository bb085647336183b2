#pragma once
// The prefix table (arrlpre2.txt) and what the entry window shows for a call:
// country, continent, beam heading and distance.

#include <QString>
#include <optional>
#include <vector>

namespace zev {

struct PrefixEntry {
    QString Prefix, CountryName, Continent;
    double Longitude = 0, Latitude = 0;  // degrees, longitude positive west
};

struct PrefixTable {
    std::vector<PrefixEntry> entries;  // entry n of the system is entries[n-1], sorted by Prefix
    int PrefixCount() const { return int(entries.size()); }

    // Upper-cased prefixes packed for the lookup, so a scan reads one word per entry
    // instead of thousands of separate strings. LoadPrefixTable fills it; code that changes
    // entries calls Reindex(). While its size does not fit entries, lookups read entries.
    struct Key {
        quint64 head = 0;  // the first 4 characters, 16 bits each, first in the low bits
        qsizetype length = 0;
    };
    std::vector<Key> keys;
    void Reindex();
};

// The table never holds more rows than this.
inline constexpr int kMaxPrefixEntries = 10000;

// Reads "arrlpre2.txt" from the first of sharedFolder, programDataFolder, startDir that
// has it; returns the path read, empty when none has it (the table is then empty).
// A damaged row ends reading and keeps the rows before it.
QString LoadPrefixTable(PrefixTable &table, const QString &sharedFolder,
                        const QString &programDataFolder, const QString &startDir);

// Label texts, e.g. "90 " and "1,234 "; both empty when no heading exists.
struct HeadingDistance {
    QString heading, distance;
};

// Great-circle heading and distance (miles) from (myLat, myLon) to (lat2, lon2);
// degrees, longitudes positive west.
HeadingDistance HDCalc(double myLat, double myLon, double lat2, double lon2);

struct PrefixDisplay {
    QString country, continent, heading, distance;
    int entry = 0;  // 1-based, 0 = not found
};

// Nothing when the displays must stay as they are (empty call).
std::optional<PrefixDisplay> LookupPrefix(const PrefixTable &table, const QString &callText,
                                          double myLat, double myLon);

}  // namespace zev
