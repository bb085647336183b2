#include "logcore/recent_contacts_model.h"

namespace zev {

RecentContactsModel::RecentContactsModel(const ContactLog &log, QObject *parent)
    : QAbstractTableModel(parent), log_(log)
{
    refresh();
}

const QStringList &RecentContactsModel::headers()
{
    static const QStringList h{"Rec#", "Call", "Rec", "Pr/Sr", "Snt", "Country",
                               "Date/Time", "Mo", "Bnd", "Pts", "Ser S"};
    return h;
}

const std::array<int, 11> &RecentContactsModel::designWidths()
{
    static const std::array<int, 11> w{550, 800, 430, 500, 420, 720, 900, 430, 430, 370, 500};
    return w;
}

void RecentContactsModel::setListAll(bool all)
{
    all_ = all;
    refresh();
}

void RecentContactsModel::refresh()
{
    beginResetModel();
    explicit_ = false;
    shown_.clear();
    rows_ = all_ ? log_.RecordCount() : std::min(20, log_.RecordCount());
    endResetModel();
}

void RecentContactsModel::showRecords(std::vector<int> records)
{
    beginResetModel();
    explicit_ = true;
    shown_ = std::move(records);
    rows_ = int(shown_.size());
    endResetModel();
}

int RecentContactsModel::recordAt(int row) const
{
    return explicit_ ? shown_[size_t(row)] : log_.RecordCount() - row;
}

int RecentContactsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int RecentContactsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 11;
}

QString RecentContactsModel::dateTimeText(const ContactRecord &r)
{
    // Dates are "yyyy/mm/dd", times "hh:mm[:ss]".
    return r.QsoDate.mid(5, 5) + QLatin1Char(' ') + r.QsoTime.left(5);
}

QVariant RecentContactsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_)
        return {};
    const int n = recordAt(index.row());
    if (n < 1 || n > log_.RecordCount())
        return {};
    const ContactRecord &r = log_.record(n);
    switch (index.column()) {
    case 0: return QString::number(n);
    case 1: return r.Call;
    case 2: return r.ReportRcvd;
    case 3: return r.ExchangeRcvd;
    case 4: return r.ReportSent;
    case 5: return r.Country;
    case 6: return dateTimeText(r);
    case 7: return r.Mode;
    case 8: return r.Band;
    case 9: return FormatNumber(r.Points);
    case 10: return r.SerialSent;
    }
    return {};
}

QVariant RecentContactsModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 11)
        return headers()[section];
    return {};
}

}  // namespace zev
