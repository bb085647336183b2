#include "spotting/spot_list_ui.h"

#include <QBrush>
#include <QFont>
#include <QPalette>
#include <QTreeWidget>
#include <algorithm>

namespace zev {

void SetupSpotList(QTreeWidget *list, int windowWidth)
{
    static const struct {
        const char *caption;
        int share;  // of 9600
    } kColumns[] = {{"Call", 1040}, {"Frequency", 880}, {"QTH", 2000}, {"Status", 560},
                    {"Comments", 2840}, {"Prefix", 520}, {"Time", 600}, {"From", 520}};
    QStringList captions;
    for (const auto &c : kColumns)
        captions << QLatin1String(c.caption);
    list->setColumnCount(int(captions.size()));
    list->setHeaderLabels(captions);
    for (int i = 0; i < int(captions.size()); ++i)
        list->setColumnWidth(i, int(qint64(windowWidth) * kColumns[i].share / 9600));
}

void AddSpotRow(QTreeWidget *list, const SpotRow &row)
{
    while (list->topLevelItemCount() >= kSpotListRows)
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    // Item texts are never read as markup; no tool tip is set, since those would be.
    auto *item = new QTreeWidgetItem(
        QStringList{row.Call, row.Frequency, row.QTH, row.Status, row.Comments, row.Prefix, row.Time, row.From});
    list->insertTopLevelItem(0, item);
}

void MarkSpotRows(QTreeWidget *list, const SpotMarker &marker, int rows)
{
    const int columns = list->columnCount();
    const int count = rows < 0 ? list->topLevelItemCount() : std::min(rows, list->topLevelItemCount());
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem *item = list->topLevelItem(i);
        const SpotMark mark = marker(item->text(0), item->text(1).trimmed().toFloat());
        const QString status = SpotStatusText(mark);
        if (item->text(3) == status)
            continue;
        item->setText(3, status);
        for (int c = 0; c < columns; ++c) {
            QFont f = item->font(c);
            f.setBold(mark == SpotMark::Mult);
            item->setFont(c, f);
            item->setForeground(c, mark == SpotMark::Dupe ? QBrush(Qt::gray) : QBrush());
        }
    }
}

}  // namespace zev
