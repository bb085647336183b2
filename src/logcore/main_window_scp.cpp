// Super check partial on the logging window: calls of the master list that contain the
// call being typed, beside the partial duplicates, and the keys that take one.

#include "frame/widget_helpers_ui.h"
#include "logcore/dupes.h"
#include "logcore/main_window.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace zev {

namespace {

const char *const kCaption = "Super check partial";

QString itemText(const SuperCheckCall &c)
{
    // Said and shown in words, not only in colour.
    switch (c.mark) {
    case SuperCheckCall::Dupe: return c.call + QStringLiteral(" dupe");
    case SuperCheckCall::Worked: return c.call + QStringLiteral(" worked");
    case SuperCheckCall::New: break;
    }
    return c.call;
}

}  // namespace

void MainWindow::buildSuperCheck(QBoxLayout *into)
{
    auto *col = new QVBoxLayout;
    superCheckList = new QListWidget;
    superCheckList->setObjectName(QStringLiteral("lstSuperCheck"));
    superCheckList->setAccessibleName(QString::fromLatin1(kCaption));
    superCheckList->setToolTip(QStringLiteral("Master list calls containing the call typed. Alt+Down moves here; "
                                              "Enter takes the chosen call into the call box."));
    superCheckList->setSelectionMode(QAbstractItemView::SingleSelection);
    superCheckCaption = new QLabel(QString::fromLatin1(kCaption));
    superCheckCaption->setObjectName(QStringLiteral("cap_lstSuperCheck"));
    superCheckCaption->setTextFormat(Qt::PlainText);
    superCheckCaption->setBuddy(superCheckList);
    col->addWidget(superCheckCaption);
    col->addWidget(superCheckList, 1);
    buildPositions(col);
    into->addLayout(col, 1);
    connect(superCheckList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { takeSuperCheckCall(superCheckList->row(item)); });
    // The list follows the call however it changed, and the log's marks.
    connect(&s_.entry, &ContactEntry::callChanged, this, &MainWindow::showSuperCheck);
    connect(&s_.entry, &ContactEntry::masterCallsChanged, this, &MainWindow::showSuperCheck);
    for (auto signal : {&ContactLog::added, &ContactLog::changed, &ContactLog::removed})
        connect(&s_.log, signal, this, &MainWindow::showSuperCheck);
    connect(&s_.log, &ContactLog::reloaded, this, &MainWindow::showSuperCheck);
}

void MainWindow::StartMasterCalls()
{
    if (masterLoader_)
        return;
    masterLoader_ = new MasterCallsLoader(this);
    connect(masterLoader_, &MasterCallsLoader::loaded, this, [this](const MasterCallsLoad &r) {
        // No list is no reason to stop the contest: the caption says why, nothing pops up.
        if (!r.calls) {
            superCheckCaption->setText(QString::fromLatin1(kCaption) + QStringLiteral(": no master call list"));
            superCheckList->setAccessibleDescription(r.note);
            superCheckList->setToolTip(r.note);
        }
        s_.entry.setMasterCalls(r.calls);
    });
    masterLoader_->start(MasterCallsFile(s_.folders.StartDir, masterCallsSystemFile));
}

void MainWindow::showSuperCheck()
{
    if (!superCheckList)
        return;
    const std::vector<SuperCheckCall> calls = s_.entry.superCheck();
    // Items are reused: this runs on every key in the call box.
    while (superCheckList->count() > int(calls.size()))
        delete superCheckList->takeItem(superCheckList->count() - 1);
    for (size_t i = 0; i < calls.size(); ++i) {
        QListWidgetItem *item = superCheckList->item(int(i));
        if (!item)
            item = new QListWidgetItem(superCheckList);
        const QString text = itemText(calls[i]);
        if (item->text() == text)
            continue;
        item->setText(text);
        item->setData(Qt::UserRole, calls[i].call);
        QFont f = superCheckList->font();
        f.setBold(calls[i].mark != SuperCheckCall::New);
        item->setFont(f);
        switch (calls[i].mark) {
        case SuperCheckCall::Dupe:
            item->setBackground(QColor(0xFF, 0, 0));
            item->setForeground(Qt::white);
            break;
        case SuperCheckCall::Worked:
            item->setBackground(QBrush());
            item->setForeground(QColor(0, 0, 0xC0));
            break;
        case SuperCheckCall::New:
            item->setBackground(QBrush());
            item->setForeground(QBrush());
            break;
        }
    }
}

bool MainWindow::takeSuperCheckCall(int row)
{
    QListWidgetItem *item = superCheckList->item(row);
    if (!item)
        return false;
    const QString call = item->data(Qt::UserRole).toString();
    callBox->setFocus();
    callBox->setText(call);
    callBox->setCursorPosition(int(call.size()));
    // The partial duplicates follow the call taken, as they would have followed typing.
    const QString partials =
        PartialDupesOn ? PartialDupeList(s_.log, call, s_.prefs.CurrentBand, s_.prefs.CurrentMode) : QString();
    setDupeList(partials, !partials.isEmpty());
    if (call.size() > 2 && !partials.isEmpty())
        setDialog(QStringLiteral("Possible Duplicate!"));
    return true;
}

bool MainWindow::superCheckKey(QObject *watched, QKeyEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Down && mods == Qt::AltModifier) {
        if (superCheckList->count() == 0) {
            s_.prompter.beep();
            return true;
        }
        if (superCheckList->currentRow() < 0)
            superCheckList->setCurrentRow(0);
        superCheckList->setFocus(Qt::ShortcutFocusReason);
        SayCurrentRow(superCheckList);
        return true;
    }
    if (watched != superCheckList || mods != Qt::NoModifier)
        return false;
    const int rows = superCheckList->count();
    const int row = std::max(0, superCheckList->currentRow());
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: takeSuperCheckCall(superCheckList->currentRow()); return true;
    // The arrows move in the list here, not the CW speed.
    case Qt::Key_Up: superCheckList->setCurrentRow(std::max(0, row - 1)); return true;
    case Qt::Key_Down: superCheckList->setCurrentRow(std::min(rows - 1, row + 1)); return true;
    case Qt::Key_Home: superCheckList->setCurrentRow(0); return true;
    case Qt::Key_End: superCheckList->setCurrentRow(rows - 1); return true;
    default: break;
    }
    // Typing goes on in the call box.
    const QChar key = TypedKey(event);
    if (key.isNull() || key == QChar(kEnterKey) || key == QLatin1Char(' '))
        return false;
    callBox->setFocus();
    QKeyEvent again(QEvent::KeyPress, event->key(), event->modifiers(), event->text());
    QCoreApplication::sendEvent(callBox, &again);
    return true;
}

}  // namespace zev
