#pragma once
// The Cabrillo 2.0 file sent in after the contest: header lines, one fixed-column
// QSO line per contact, END-OF-LOG. Pure functions; the summary window writes the bytes.

#include "logcore/contact_log.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

namespace zev {

// One entry category of the summary sheet and the words it puts on the CATEGORY line.
struct CabrilloCategory {
    const char *control;  // option button of the summary sheet
    QString caption;
    QString operatorWord;
    QString powerWord;
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

// One QSO line (more than one text line when a field would not fit its column), without
// the final line end.
QByteArray CabrilloQsoLine(const ContactRecord &r, const CabrilloStation &station);

// The whole file: header, records in log order, END-OF-LOG; CR LF, Latin-1.
QByteArray CabrilloText(const CabrilloHeader &header, const CabrilloStation &station,
                        const std::vector<ContactRecord> &records);

}  // namespace zev
