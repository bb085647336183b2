#include "logcore/contact_entry.h"

#include "common/quoted_values.h"
#include "logcore/dupes.h"
#include "logcore/entry_rules.h"
#include "logcore/master_calls.h"
#include "logcore/preferences.h"
#include "logcore/prefix_table.h"
#include "logcore/scoring.h"
#include "rig/band_conversion.h"

#include <algorithm>

namespace zev {

ContactEntry::ContactEntry(Preferences &prefs, const ContactLog &log, const PrefixTable &prefixes, QObject *parent)
    : QObject(parent), prefs_(prefs), log_(log), prefixes_(prefixes)
{
    // The serial sent follows the log, whoever changed it.
    for (auto signal : {&ContactLog::added, &ContactLog::changed, &ContactLog::removed})
        connect(&log, signal, this, [this] { refreshExchangeSent(); });
    connect(&log, &ContactLog::reloaded, this, &ContactEntry::refreshExchangeSent);
    // A contact added extends the worked calls; anything else rebuilds them.
    connect(&log, &ContactLog::added, this, [this](int n) {
        if (!workedStale_)
            workedAdd(n);
    });
    for (auto signal : {&ContactLog::changed, &ContactLog::removed})
        connect(&log, signal, this, [this] { workedStale_ = true; });
    connect(&log, &ContactLog::reloaded, this, [this] { workedStale_ = true; });
}

QString ContactEntry::band() const { return prefs_.CurrentBand; }
QString ContactEntry::mode() const { return prefs_.CurrentMode; }

QString ContactEntry::frequencyBand() const
{
    const int b = BandIndexForHz(frequencyHz_);
    return b >= 0 && !frequencyText_.isEmpty() ? BandCodes()[b] : QString();
}

void ContactEntry::setCall(const QString &call)
{
    if (call == call_)
        return;
    call_ = call;
    lookup();
    emit callChanged(call_);
}

void ContactEntry::setReportRcvd(const QString &report) { reportRcvd_ = report; }
void ContactEntry::setReportSent(const QString &report) { reportSent_ = report; }
void ContactEntry::setPower(const QString &power) { power_ = power; }

void ContactEntry::setExchange(const QString &exchange)
{
    if (exchange == exchange_)
        return;
    exchange_ = exchange;
    emit exchangeChanged(exchange_);
}

void ContactEntry::setFrequencyHz(qint64 hz)
{
    frequencyHz_ = hz;
    frequencyText_ = RigFrequencyFormat(hz);
}

void ContactEntry::setFrequencyText(const QString &text)
{
    frequencyHz_ = 0;
    frequencyText_ = text;
}

void ContactEntry::clearFrequency()
{
    frequencyHz_ = 0;
    frequencyText_.clear();
}

void ContactEntry::lookup()
{
    const std::optional<PrefixDisplay> d = LookupPrefix(prefixes_, call_, prefs_.MyLatitude, prefs_.MyLongitude);
    if (!d)
        return;
    country_ = d->country;
    continent_ = d->continent;
    heading_ = d->heading;
    distance_ = d->distance;
    emit lookupChanged();
}

void ContactEntry::clearLookup()
{
    if (country_.isEmpty() && continent_.isEmpty() && heading_.isEmpty() && distance_.isEmpty())
        return;
    country_.clear();
    continent_.clear();
    heading_.clear();
    distance_.clear();
    emit lookupChanged();
}

void ContactEntry::clear()
{
    setCall({});
    reportRcvd_.clear();
    reportSent_.clear();
    setExchange({});
    power_.clear();
    clearLookup();
}

void ContactEntry::refreshExchangeSent()
{
    QString text = prefs_.MyProvince;
    if (!prefs_.InCanada) {
        text = QStringLiteral("1");
        if (log_.RecordCount() > 0) {
            const QString &last = log_.records().back().SerialSent;
            if (IsNumeric(last))
                text = FormatNumber(NumericValue(last) + 1);
        }
    }
    if (text == exchangeSent_)
        return;
    exchangeSent_ = text;
    emit exchangeSentChanged(exchangeSent_);
}

QString ContactEntry::defaultReport() const { return DefaultReport(prefs_.CurrentMode); }

EntryPrefill ContactEntry::prefill() const
{
    EntryPrefill p;
    p.report = defaultReport();
    if (call_.size() > 2 && exchange_.isEmpty())
        p.province = ProvinceFromPrefix(call_);
    return p;
}

EntryVerdict ContactEntry::validate()
{
    EntryVerdict v;
    auto missing = [&](EntryField field, bool isMissing, const char *message) {
        if (isMissing)
            v.incomplete.push_back({field, QString::fromLatin1(message)});
    };
    missing(EntryField::ReportRcvd, reportRcvd_.isEmpty(), "Report Received!");
    missing(EntryField::Call, call_.size() < 3, "Need Call Sign!");
    missing(EntryField::Exchange, exchange_.isEmpty(), "Need Province or Serial Number!");
    missing(EntryField::ReportSent, reportSent_.isEmpty(), "Need Report Sent!");
    if (!IsNumeric(exchange_)) {
        setExchange(exchange_.toUpper());
        v.badProvince = !IsProvince(exchange_);
        if (!v.badProvince && continent_.isEmpty()) {
            continent_ = QStringLiteral("NA");
            emit lookupChanged();
        }
    }
    return v;
}

bool ContactEntry::complete() const
{
    return call_.size() >= 3 && !reportRcvd_.isEmpty() && !reportSent_.isEmpty() &&
           (IsNumeric(exchange_) || IsProvince(exchange_));
}

CallKeyCheck ContactEntry::checkCallKey(QChar key, bool searchLog) const
{
    CallKeyCheck c;
    const QString typed = call_ + key;
    c.searched = key.unicode() > 45 && key.unicode() < 91;
    if (!c.searched)
        return c;
    if (searchLog)
        c.partials = PartialDupeList(log_, typed, prefs_.CurrentBand, prefs_.CurrentMode);
    if (typed.size() == 3) {
        auto numericOrSlash = [](QChar ch) { return ch.isDigit() || ch == QLatin1Char('/'); };
        c.shape = numericOrSlash(typed[1]) || numericOrSlash(typed[2]) ? CallKeyCheck::Numeric
                                                                        : CallKeyCheck::NotNumeric;
    }
    return c;
}

int ContactEntry::duplicateOf() const { return FindDupe(log_, call_, prefs_.CurrentBand, prefs_.CurrentMode); }

std::vector<int> ContactEntry::previousContacts(int dupe) const
{
    std::vector<int> previous = PreviousContacts(log_, call_);
    if (dupe > 0)
        previous.erase(std::upper_bound(previous.begin(), previous.end(), dupe), previous.end());
    return previous;
}

QString ContactEntry::knownProvince(const std::vector<int> &previous) const
{
    for (int n : previous)
        if (const QString &exchange = log_.record(n).ExchangeRcvd; !IsNumeric(exchange))
            return exchange;
    return {};
}

void ContactEntry::setMasterCalls(std::shared_ptr<const MasterCalls> calls)
{
    masterCalls_ = std::move(calls);
    emit masterCallsChanged();
}

void ContactEntry::workedAdd(int n) const
{
    const ContactRecord &r = log_.record(n);
    const int slot = log_.slot(n);
    worked_[r.Call.toUpper()] |= (1u << 31) | (slot >= 0 ? 1u << slot : 0u);
}

SuperCheckCall::Mark ContactEntry::workedMark(const QString &call) const
{
    if (workedStale_) {
        worked_.clear();
        for (int n = 1; n <= log_.RecordCount(); ++n)
            workedAdd(n);
        workedStale_ = false;
    }
    const quint32 workedIn = worked_.value(call.toUpper());
    if (workedIn == 0)
        return SuperCheckCall::New;
    const int slot = SlotOf(prefs_.CurrentBand, prefs_.CurrentMode);
    return slot >= 0 && (workedIn & (1u << slot)) ? SuperCheckCall::Dupe : SuperCheckCall::Worked;
}

std::vector<SuperCheckCall> ContactEntry::superCheck(int cap) const
{
    std::vector<SuperCheckCall> out;
    if (!masterCalls_ || call_.size() < kSuperCheckMinLength)
        return out;
    for (const QString &c : masterCalls_->find(call_, cap))
        out.push_back({c, workedMark(c)});
    return out;
}

ContactRecord ContactEntry::record(const QDateTime &utc) const
{
    ContactRecord r;
    r.Call = call_;
    r.ReportRcvd = reportRcvd_;
    r.SerialSent = prefs_.InCanada ? QString() : exchangeSent_;
    r.ReportSent = reportSent_;
    r.ExchangeRcvd = exchange_;
    r.QsoDate = utc.toString(QStringLiteral("yyyy/MM/dd"));
    r.QsoTime = utc.toString(QStringLiteral("HH:mm:ss"));
    r.Mode = prefs_.CurrentMode;
    r.Band = prefs_.CurrentBand;
    r.Points = ContactPoints(call_, exchange_);
    r.Frequency = frequencyText_;
    r.Country = country_;
    return r;
}

}  // namespace zev
