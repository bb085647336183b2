#pragma once
// The recent-contacts list: newest first, the last 20 records or all of them.

#include "logcore/contact_log.h"

#include <QAbstractTableModel>

namespace zev {

class RecentContactsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecentContactsModel(const ContactLog &log, QObject *parent = nullptr);

    static const QStringList &headers();
    // Width of each column in design units of a 9600-wide window.
    static const std::array<int, 11> &designWidths();

    // All records (true) or the last 20 (false).
    void setListAll(bool all);
    bool listAll() const { return all_; }
    // ShowRecentContacts: back to the newest records, newest first.
    void refresh();
    // Shows exactly these records, in this order (earlier contacts with a station).
    void showRecords(std::vector<int> records);
    // Sorts the rows shown once by a column's text, ascending.
    void sortByColumn(int column);
    // Record number shown in a row.
    int recordAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The text of one cell.
    QString cellText(int row, int column) const;
    // A cell as a screen reader should say it: the value and what it is.
    QString spokenText(int row, int column) const;
    // "mm/dd hh:nn" from a record's date and time.
    static QString dateTimeText(const ContactRecord &r);
    // The rows as tab-separated text with a header line, oldest listed row first.
    QString clipboardText() const;

private:
    QString recordText(int n, int column) const;

    const ContactLog &log_;
    bool all_ = false;
    int rows_ = 0;
    std::vector<int> shown_;  // the records listed, when `explicit_`
    bool explicit_ = false;
};

}  // namespace zev
