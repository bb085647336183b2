#pragma once
// The Cabrillo file sent in after the contest, as 3.0 (what contest robots take today)
// or 2.0: header lines, one fixed-column QSO line per contact, END-OF-LOG. Pure
// functions; the summary window writes the bytes.

#include "logcore/contact_log.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

namespace zev {

class Registry;

// One entry category of the summary sheet, the words it puts on the 2.0 CATEGORY line
// and its 3.0 CATEGORY-* values.
struct CabrilloCategory {
    const char *control;  // option button of the summary sheet
    QString caption;
    QString operatorWord;
    QString powerWord;
    QString operator3;     // SINGLE-OP, MULTI-OP
    QString transmitter3;  // ONE, UNLIMITED
    QString power3;        // HIGH, LOW, QRP
    QString mode3;         // MIXED, CW, SSB
};
// In the order the summary sheet lists them; the first is the initial choice.
const std::array<CabrilloCategory, 10> &CabrilloCategories();

// Band options of the summary sheet: control name and caption ("All" first).
struct CabrilloBandOption {
    const char *control;
    QString caption;
};
const std::array<CabrilloBandOption, 9> &CabrilloBandOptions();

// Five characters for a band code ("20" -> "14000", "6" -> "   50"), empty for anything else.
QString CabrilloFrequency(const QString &band);

// The total score as shown ("12,345") as a bare whole number; 0 or no number gives "".
QString ClaimedScore(const QString &scoreText);

// Everything above the QSO lines, as the summary sheet holds it.
struct CabrilloHeader {
    QString mainWindowTitle;
    bool winterContest = false;
    QString operatorWord = QStringLiteral("SINGLE-OP");
    QString bandWord = QStringLiteral("All");
    QString powerWord = QStringLiteral("HIGH");
    QString scoreText;        // the main window's total score label
    QString club;
    QString name;
    QString address1;
    QString address2;
    QString email;
    QString operators;
    QString soapbox;
};

// The operator's own station: the call (trimmed by the writer) and the exchange sent.
struct CabrilloStation {
    QString myCall;
    QString myProvince;
    bool inCanada = true;
};

// --- Cabrillo 3.0 ---

// The CONTEST value a robot takes: capitals, digits and "-", at most 32 characters.
inline constexpr int kContestNameMaxLength = 32;
// "ZEV-CANADA-DAY" or "ZEV-CANADA-WINTER".
QString DefaultContestName(bool winterContest);
// What of a typed name the CONTEST line can hold: letters upper-cased, anything but
// A-Z, 0-9 and "-" left out, cut to 32.
QString CleanContestName(const QString &typed);

// CATEGORY-STATION values, FIXED first (the usual choice).
const std::array<QString, 11> &CabrilloStationCategories();

// "All" -> "ALL", a band code -> "160M" ... "2M".
QString Cabrillo3Band(const QString &bandCaption);

// What the 3.0 header carries beyond the 2.0 one.
struct Cabrillo3Choices {
    QString contestName;  // CONTEST; empty gives the contest's default name
    QString operatorWord = QStringLiteral("SINGLE-OP");
    QString bandWord = QStringLiteral("ALL");
    QString modeWord = QStringLiteral("MIXED");
    QString powerWord = QStringLiteral("HIGH");
    QString transmitterWord = QStringLiteral("ONE");
    QString stationWord = QStringLiteral("FIXED");
};
// The words of one summary-sheet category and band option.
Cabrillo3Choices Cabrillo3Words(const CabrilloCategory &category, const QString &bandCaption);

// The choices the summary sheet keeps from one run to the next, in the registry.
struct SubmissionChoices {
    bool version3 = true;          // 3.0, or 2.0
    bool contestChosen = false;    // the sheet was used: winterContest says which contest
    bool winterContest = false;    // the contest last chosen on the sheet
    QString dayContestName;        // typed for the day contest; empty follows the default
    QString winterContestName;     // typed for the winter contest
    QString stationCategory = QStringLiteral("FIXED");

    // The CONTEST name of a contest: the typed one, else the default.
    QString contestName(bool winter) const;
};
SubmissionChoices LoadSubmissionChoices(const Registry &registry);
// False, with the reason, when a value could not be stored; the others are still tried.
bool StoreSubmissionChoices(Registry &registry, const SubmissionChoices &choices, QString *error);

// The whole 3.0 file: START-OF-LOG 3.0, the header tags (empty optional ones left out),
// the same QSO lines as 2.0, END-OF-LOG; CR LF, Latin-1.
QByteArray Cabrillo3Text(const CabrilloHeader &header, const Cabrillo3Choices &choices,
                         const CabrilloStation &station, const std::vector<ContactRecord> &records);

// One QSO line (more than one text line when a field would not fit its column), without
// the final line end.
QByteArray CabrilloQsoLine(const ContactRecord &r, const CabrilloStation &station);

// The whole file: header, records in log order, END-OF-LOG; CR LF, Latin-1.
QByteArray CabrilloText(const CabrilloHeader &header, const CabrilloStation &station,
                        const std::vector<ContactRecord> &records);

}  // namespace zev
