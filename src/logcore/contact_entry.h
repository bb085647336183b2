#pragma once
// The contact being typed: its fields, the rules that pre-fill and check it, and the
// record it becomes. The logging window binds its boxes to it; the keying, the voice
// cues, the spot list and the radio read and set it without a window.

#include "logcore/contact_log.h"

#include <QDateTime>
#include <QObject>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace zev {

class MasterCalls;
struct PrefixTable;
struct Preferences;

enum class EntryField { Call, ReportRcvd, Exchange, ReportSent, Power };

struct EntryProblem {
    EntryField field;
    QString message;
    bool operator==(const EntryProblem &) const = default;
};

// What a check of the entry found, in the order the operator is told.
struct EntryVerdict {
    std::vector<EntryProblem> incomplete;
    bool badProvince = false;
    bool loggable() const { return incomplete.empty() && !badProvince; }
};

// What leaving the call box fills into empty boxes.
struct EntryPrefill {
    QString report;    // both reports
    QString province;  // the exchange, empty when the prefix gives none
};

// What a key about to be typed in the call box says about the call it makes.
struct CallKeyCheck {
    // A character a call is searched by (digits, "/", letters); others search nothing.
    bool searched = false;
    // Calls logged on this band and mode that begin with the call as typed.
    QString partials;
    // The third character typed: whether the second or third is a digit or "/".
    enum Shape { NotYet, Numeric, NotNumeric } shape = NotYet;
};

// A call of the master list offered for the call being typed, and whether it is in the log.
struct SuperCheckCall {
    enum Mark { New, Worked, Dupe };
    QString call;
    Mark mark = New;  // Worked: on another band or mode; Dupe: on this band and mode
    bool operator==(const SuperCheckCall &) const = default;
};

inline constexpr int kSuperCheckCap = 30;
// Fewer typed characters match too many calls to help.
inline constexpr int kSuperCheckMinLength = 2;

class ContactEntry : public QObject {
    Q_OBJECT
public:
    ContactEntry(Preferences &prefs, const ContactLog &log, const PrefixTable &prefixes,
                 QObject *parent = nullptr);

    const QString &call() const { return call_; }
    const QString &reportRcvd() const { return reportRcvd_; }
    const QString &reportSent() const { return reportSent_; }
    // A province or a serial number received.
    const QString &exchange() const { return exchange_; }
    const QString &power() const { return power_; }
    // Looked up from the call's prefix; kept while a call matches no prefix.
    const QString &country() const { return country_; }
    const QString &continent() const { return continent_; }
    const QString &heading() const { return heading_; }
    const QString &distance() const { return distance_; }
    // The province (in Canada) or the next serial number sent.
    const QString &exchangeSent() const { return exchangeSent_; }
    // The current band and mode, as the preferences hold them.
    QString band() const;
    QString mode() const;
    // The radio's last reading, carried by the next contact.
    qint64 frequencyHz() const { return frequencyHz_; }
    const QString &frequencyText() const { return frequencyText_; }
    // The band the radio's frequency falls in, empty outside every band.
    QString frequencyBand() const;

    void setCall(const QString &call);
    void setReportRcvd(const QString &report);
    void setReportSent(const QString &report);
    void setExchange(const QString &exchange);
    void setPower(const QString &power);
    void setFrequencyHz(qint64 hz);
    void setFrequencyText(const QString &text);
    void clearFrequency();
    // Forgets the country, continent, heading and distance.
    void clearLookup();
    // Empties the typed fields and the lookup.
    void clear();
    // Follows the preferences and the log: the province, or the serial after the last one.
    void refreshExchangeSent();

    // The report for the current mode: "599" on CW, "59" on phone.
    QString defaultReport() const;
    EntryPrefill prefill() const;
    // Checks the entry before it is logged. A province is put in capitals; a valid one
    // whose prefix gave no continent is North American.
    EntryVerdict validate();
    // A call, both reports and a valid exchange.
    bool complete() const;
    // `key` about to be typed after the call; the log is searched only when `searchLog`.
    CallKeyCheck checkCallKey(QChar key, bool searchLog) const;
    // First record with this call on the current band and mode, 0 when none.
    int duplicateOf() const;
    // Earlier contacts with this call, up to the duplicate when there is one.
    std::vector<int> previousContacts(int dupe) const;
    // The province an earlier contact gave, empty when none did.
    QString knownProvince(const std::vector<int> &previous) const;

    // The master call list the entry offers calls from; null while there is none.
    void setMasterCalls(std::shared_ptr<const MasterCalls> calls);
    const std::shared_ptr<const MasterCalls> &masterCalls() const { return masterCalls_; }
    // Master-list calls containing the call typed so far, marked from the log.
    std::vector<SuperCheckCall> superCheck(int cap = kSuperCheckCap) const;
    // How this call stands in the log on the current band and mode.
    SuperCheckCall::Mark workedMark(const QString &call) const;

    // The record this entry becomes when logged at this time (UTC).
    ContactRecord record(const QDateTime &utc) const;

signals:
    void callChanged(const QString &call);
    void exchangeChanged(const QString &exchange);
    void lookupChanged();
    void exchangeSentChanged(const QString &text);
    void masterCallsChanged();

private:
    void lookup();

    Preferences &prefs_;
    const ContactLog &log_;
    const PrefixTable &prefixes_;
    QString call_, reportRcvd_, reportSent_, exchange_, power_;
    QString country_, continent_, heading_, distance_;
    QString exchangeSent_;
    qint64 frequencyHz_ = 0;
    QString frequencyText_;
    std::shared_ptr<const MasterCalls> masterCalls_;
    // Band-and-mode slots each call was worked in (bit 31: worked at all), built when
    // first needed after the log changed.
    void workedAdd(int n) const;
    mutable QHash<QString, quint32> worked_;
    mutable bool workedStale_ = true;
};

}  // namespace zev
