#pragma once
// The contact record, the working log "log.txt" and the contest's shared vocabulary.

#include "common/quoted_values.h"
#include "logcore/scoring.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace zev {

struct ContactRecord {
    QString Call;
    QString ReportRcvd;
    QString SerialSent;
    QString ReportSent;
    QString ExchangeRcvd;
    QString QsoDate;  // UTC "yyyy/mm/dd"
    QString QsoTime;  // UTC "hh:mm:ss", or "hh:mm" from a paper log
    QString Mode;
    QString Band;
    double Points = 0;
    QString Frequency;
    QString Country;

    bool operator==(const ContactRecord &) const = default;
};

inline constexpr int kLogCapacity = 11000;
inline constexpr int kFieldsPerRecord = 12;

// "160" ... "2", the order of every band table.
const QStringList &BandCodes();

struct Province {
    QString abbreviation;
    QString name;
};
// Thirteen entries; entry k of the system is ProvinceTable()[k-1].
const std::array<Province, 13> &ProvinceTable();

// One line of "log.txt" without its line end.
QByteArray RecordLine(const ContactRecord &r);

struct LogReadResult {
    bool ok = true;
    QString error;          // what went wrong, for the operator's detail text and tests
    ReadPosition position;  // where reading stopped
    int record = 0;         // record number being read when it failed
};

// Parses the content of "log.txt". On failure `records` holds what was read before.
LogReadResult ParseLog(const QByteArray &data, std::vector<ContactRecord> &records);
LogReadResult ReadLogFile(const QString &path, std::vector<ContactRecord> &records);

// Adds a contact's points to a running total: each partial sum rounded to the nearest
// integer (ties to even) and kept within integer range, whatever a hand-edited file holds.
int AddPoints(int total, double points);
// Sum of points by the same rule.
int SumPoints(const std::vector<ContactRecord> &records);

// The whole log as the file holds it.
QByteArray FormatLog(const std::vector<ContactRecord> &records);

// Adds one line and forces it to disk; on failure the file is left as it was.
bool AppendRecord(const QString &path, const ContactRecord &r, QString *error);
// Replaces the file in one step with the given records.
bool RewriteLog(const QString &path, const std::vector<ContactRecord> &records, QString *error);

// The working log: the records of "log.txt" and the totals derived from them. Every
// change is announced after it is made, so the list, the grid, the score, the rates and
// the duplicate rules follow whatever changed the log (the keyboard, an edit, a peer).
class ContactLog : public QObject {
    Q_OBJECT
public:
    ContactLog() = default;
    explicit ContactLog(std::vector<ContactRecord> records) { setRecords(std::move(records)); }

    int RecordCount() const { return int(records_.size()); }
    const ContactRecord &record(int n) const { return records_[size_t(n - 1)]; }
    const std::vector<ContactRecord> &records() const { return records_; }
    // Band-and-mode slot of record n (see SlotOf), -1 for a band outside the table.
    int slot(int n) const { return slots_[size_t(n - 1)]; }

    // A fresh reading of the file; announces reloaded.
    void setRecords(std::vector<ContactRecord> records);
    // A record already on disk; announces added.
    void append(const ContactRecord &r);

    // Appends to the file and forces it to disk, then keeps the record and announces it.
    // On failure nothing changes, in the file or here.
    bool store(const QString &path, const ContactRecord &r, QString *error);
    // Rewrites the file with record n replaced (or removed), then announces the change.
    bool replace(const QString &path, int n, const ContactRecord &r, QString *error);
    bool remove(const QString &path, int n, QString *error);

    int TotalPoints = 0;
    double BackupBaseline = 0;
    MultiplierSets mults;

signals:
    void added(int n);
    void changed(int n);
    void removed(int n);
    void reloaded();

private:
    void derive(const ContactRecord &r);
    void deriveAll();

    std::vector<ContactRecord> records_;  // record n is records_[n - 1]
    std::vector<int> slots_;
};

}  // namespace zev
