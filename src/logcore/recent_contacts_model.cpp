#include "logcore/recent_contacts_model.h"

#include <algorithm>

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

void RecentContactsModel::sortByColumn(int column)
{
    if (column < 0 || column >= 11)
        return;
    std::vector<std::pair<QString, int>> keyed;
    keyed.reserve(size_t(rows_));
    for (int row = 0; row < rows_; ++row)
        keyed.emplace_back(cellText(row, column), recordAt(row));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    std::vector<int> order;
    order.reserve(keyed.size());
    for (const auto &k : keyed)
        order.push_back(k.second);
    showRecords(std::move(order));
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

QString RecentContactsModel::recordText(int n, int column) const
{
    const ContactRecord &r = log_.record(n);
    switch (column) {
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

QString RecentContactsModel::cellText(int row, int column) const
{
    if (row < 0 || row >= rows_)
        return {};
    const int n = recordAt(row);
    if (n < 1 || n > log_.RecordCount())
        return {};
    return recordText(n, column);
}

QVariant RecentContactsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::AccessibleTextRole)
        return spokenText(index.row(), index.column());
    if (role != Qt::DisplayRole)
        return {};
    return cellText(index.row(), index.column());
}

QString RecentContactsModel::spokenText(int row, int column) const
{
    // A screen reader reads the row cell by cell without the headings: bare numbers
    // ("2. 599. 12. 599.") say nothing, so each says what it is.
    const QString text = cellText(row, column);
    if (text.isEmpty())
        return {};
    switch (column) {
    case 0: return QStringLiteral("Record ") + text;
    case 2: return QStringLiteral("received ") + text;
    case 3: return QStringLiteral("exchange ") + text;
    case 4: return QStringLiteral("sent ") + text;
    case 8: return QStringLiteral("band ") + text;
    case 9: return text + QStringLiteral(" points");
    case 10: return QStringLiteral("serial sent ") + text;
    default: return text;
    }
}

QVariant RecentContactsModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 11)
        return headers()[section];
    return {};
}

QString RecentContactsModel::clipboardText() const
{
    QString out = headers().join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    for (int row = rows_ - 1; row >= 0; --row) {
        QStringList cells;
        for (int c = 0; c < 11; ++c)
            cells << cellText(row, c);
        out += cells.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    }
    return out;
}

}  // namespace zev
