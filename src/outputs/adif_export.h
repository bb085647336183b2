#pragma once
// The whole log for other logging programs: an ADIF file, and "LogExp.txt" for the
// maker's general-purpose logger.

#include "logcore/contact_log.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace zev {

struct Folders;
struct Session;

inline const QString kCountryTableFile = QStringLiteral("ADIFCnt.txt");
inline constexpr int kCountryTableMaxLines = 1000;

// "ADIFCnt.txt": country names and their DXCC numbers.
class CountryTable {
public:
    struct Entry {
        QString name;
        int dxcc = 0;
    };

    void add(const QString &name, int dxcc);
    // The number of a country name, ignoring case and surrounding blanks; the first entry
    // in file order wins; 0 when none matches.
    int LookupDxcc(const QString &country) const;
    const std::vector<Entry> &entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
    QHash<QString, int> index_;  // case-folded name -> number of its first entry
};

// Where the table is read from: the first of SharedFolder, ProgramDataFolder and StartDir
// that holds it, else the StartDir name (which then fails to open).
QString CountryTablePath(const Folders &folders);

// Reads the table text; nothing on a malformed line or more than 1000 lines, with the
// reason in `error`.
std::optional<CountryTable> ParseCountryTable(const QByteArray &data, QString *error);
std::optional<CountryTable> ReadCountryTable(const QString &path, QString *error);

// The ADIF time value of a stored time: "18:05:00" -> "1805", "9:05" -> "0905", "" -> "".
QString AdifTimeValue(const QString &qsoTime);
// Whether a time value is written at all.
bool AdifTimeWritten(const QString &timeValue);

// The contest a log was made in, for the contest fields of each record.
struct AdifContest {
    QString contestId;   // CONTEST_ID, the contest's Cabrillo 3.0 name
    QString myProvince;  // the exchange sent from Canada, and MY_STATE
    bool inCanada = true;
};

struct AdifOptions {
    QString mainWindowTitle;
    QString exportDate;  // already in the short date form
    QString power;       // empty leaves the field out
    QString comment;     // empty leaves the field out
    // With a contest, each record gets a third line of contest fields before "<eor>":
    // CONTEST_ID, the exchanges received and sent (SRX_STRING, STX_STRING, and SRX / STX
    // for serial numbers), VE_PROV and STATE for a received province, MY_STATE.
    std::optional<AdifContest> contest;
};

// The contest fields of one record, as written on its third line. `dxcc` is the
// record's country number (0 when not known): STATE names a province only for Canada.
inline constexpr int kCanadaDxcc = 1;
QByteArray AdifContestFields(const ContactRecord &r, const AdifContest &contest, int dxcc);

// The contest of a log whose summary sheet never said: the winter contest for a log
// begun in December or January, else the day contest.
bool LogLooksLikeWinterContest(const std::vector<ContactRecord> &records);

// Header and every contact; CR LF, Latin-1.
QByteArray AdifText(const AdifOptions &options, const std::vector<ContactRecord> &records,
                    const CountryTable &countries);

// Country and state columns of "LogExp.txt" for one contact.
struct CountryAndState {
    QString country;
    QString state;
};
CountryAndState LogExpCountryAndState(const QString &call, const QString &exchangeRcvd);

// "LogExp.txt": one line per contact, CR LF, Latin-1.
QByteArray LogExpText(const std::vector<ContactRecord> &records, const QString &power);

// File menu "Export ADIF File": asks for power and comment, reads the country table,
// offers a save dialog and writes the file.
void ExportAdif(Session &session, const QString &mainWindowTitle);

// File menu "Export for Kestro Import": asks for the power and writes StartDir/LogExp.txt.
void ExportLogExp(Session &session, const QString &mainWindowTitle);

}  // namespace zev
