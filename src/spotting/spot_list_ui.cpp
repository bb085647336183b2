#include "spotting/spot_list_ui.h"

#include <QTreeWidget>

namespace zev {

void SetupSpotList(QTreeWidget *list, int windowWidth)
{
    static const struct {
        const char *caption;
        int share;  // of 9600
    } kColumns[] = {{"Call", 1040}, {"Frequency", 880}, {"QTH", 2000}, {"Status", 0},
                    {"Comments", 3400}, {"Prefix", 520}, {"Time", 600}, {"From", 520}};
    QStringList captions;
    for (const auto &c : kColumns)
        captions << QLatin1String(c.caption);
    list->setColumnCount(int(captions.size()));
    list->setHeaderLabels(captions);
    for (int i = 0; i < int(captions.size()); ++i)
        list->setColumnWidth(i, int(qint64(windowWidth) * kColumns[i].share / 9600));
    list->setColumnHidden(3, true);
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

}  // namespace zev
