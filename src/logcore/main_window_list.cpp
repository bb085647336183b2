// The main window's contact list, log maintenance and appearance settings.

#include "common/file_io.h"
#include "frame/colours_window.h"
#include "frame/rate_graph_window.h"
#include "outputs/summary_window.h"
#include "frame/window_scaling.h"
#include "frame/window_scaling_ui.h"
#include "logcore/edit_contact_window.h"
#include "logcore/log_maintenance.h"
#include "logcore/main_window.h"
#include "logcore/recent_contacts_model.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QCursor>
#include <QTimer>
#include <QTreeWidget>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

namespace zev {

namespace {

const QString kLogFilter = QStringLiteral("Log Files (*.log)");

}  // namespace

// ---- the contact list ----

void MainWindow::ShowRecentContacts()
{
    listModel->refresh();
}

void MainWindow::showEditButtons(bool show)
{
    editButton->setVisible(show);
    deleteButton->setVisible(show);
}

void MainWindow::setupKeyboard()
{
    // The entry boxes come first, so wherever the focus falls back it lands on the call box.
    QWidget *const chain[] = {callBox, reportRcvdBox, exchangeBox, reportSentBox, powerBox, postDateBox, postTimeBox,
                              clearButton, partialDupesButton, timeOnButton, contactList, listButton, editButton, deleteButton, spotList};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    // Tab leaves the list; the arrows walk its rows.
    contactList->setTabKeyNavigation(false);
    editButton->setText(QStringLiteral("&Edit Contact"));
    deleteButton->setText(QStringLiteral("&Delete Contact"));
}

bool MainWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::WindowBlocked:
    case QEvent::WindowUnblocked:
        // A window coming or going makes the widget under a resting pointer entered again.
        restingPointer_ = QPointF(QCursor::pos());
        activatedOnce_ = activatedOnce_ || event->type() == QEvent::WindowActivate;
        break;
    default: break;
    }
    if (event->type() == QEvent::WindowActivate) {
        // Back from a message box or another window: the keyboard belongs to the entry
        // boxes or the list, never to a button a typed space would press.
        QTimer::singleShot(0, this, [this] {
            QWidget *f = QApplication::focusWidget();
            if (isActiveWindow() && (!f || (f->window() == this && !qobject_cast<QLineEdit *>(f) && f != contactList)))
                callBox->setFocus();
            applyHeldRigReadings();
        });
    }
    return QMainWindow::event(event);
}

bool MainWindow::listEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (listModel->rowCount() > 0) {
            // Arriving by keyboard highlights a row, so Enter and Delete act on what is heard.
            if (!contactList->selectionModel()->hasSelection())
                contactList->setCurrentIndex(listModel->index(0, 0));
            showEditButtons(true);
        }
        return false;
    case QEvent::FocusOut:
        if (listModel->rowCount() > 0)
            showEditButtons(true);
        return false;
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            cmdEdit_Click();
            return true;
        }
        // The Menu key and Shift+F10 open the contact as a right click does.
        if (k->key() == Qt::Key_Menu || (k->key() == Qt::Key_F10 && (k->modifiers() & Qt::ShiftModifier))) {
            if (listModel->rowCount() > 0)
                cmdEdit_Click();
            return true;
        }
        if (k->key() == Qt::Key_Delete) {
            cmdDelete_Click();
            return true;
        }
        return false;
    }
    case QEvent::ContextMenu:
        // The Menu key and Shift+F10; the mouse has its own right-button rule.
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard &&
            listModel->rowCount() > 0) {
            cmdEdit_Click();
            return true;
        }
        return false;
    default: return false;
    }
}

int MainWindow::SelectedRecord() const
{
    // Only a row the operator can see highlighted counts.
    const QModelIndexList rows = contactList->selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.first().row() >= listModel->rowCount())
        return 0;
    const int n = listModel->recordAt(rows.first().row());
    return n >= 1 && n <= s_.log.RecordCount() ? n : 0;
}

namespace {

void tellNoSelection(Prompter &prompter)
{
    prompter.message(QStringLiteral("Select a contact in the list first."), QStringLiteral("No Contact Selected"),
                     PromptIcon::Information);
}

}  // namespace

void MainWindow::cmdList_Click()
{
    listModel->setListAll(!listModel->listAll());
    listButton->setText(listModel->listAll() ? QStringLiteral("All") : QStringLiteral("Last 20"));
    listButton->setAccessibleName(listButton->text());
}

void MainWindow::cmdDelete_Click()
{
    const int n = SelectedRecord();
    if (n == 0) {
        showEditButtons(false);
        tellNoSelection(s_.prompter);
        return;
    }
    DeleteRecord(n);
}

void MainWindow::DeleteRecord(int n)
{
    const bool yes = s_.prompter.askYesNo(QStringLiteral("Are you sure?"), QStringLiteral("Are you sure?"),
                                          PromptIcon::Question, DefaultAnswer::No);
    showEditButtons(false);
    // The hidden buttons must not leave the focus to whatever follows them.
    callBox->setFocus();
    if (!yes || n < 1 || n > s_.log.RecordCount())
        return;
    QString error;
    if (!s_.removeContact(n, &error))
        s_.prompter.message(QStringLiteral("The contact could not be deleted: log.txt could not be written (%1). "
                                           "The log is unchanged.")
                                .arg(error),
                            QStringLiteral("Contact Not Deleted"), PromptIcon::Exclamation);
}

void MainWindow::cmdEdit_Click()
{
    const int n = SelectedRecord();
    if (n == 0) {
        tellNoSelection(s_.prompter);
        return;
    }
    std::optional<ContactRecord> edited;
    int countBefore = s_.log.RecordCount();
    {
        EditContactWindow w(s_, n, [this, n] { DeleteRecord(n); }, this);
        showModal(w);
        edited = w.edited();
    }
    ShowRecentContacts();
    showEditButtons(false);
    callBox->setFocus();
    // An edit applies only while its record is still where it was; a window closed
    // without a change writes nothing.
    if (!edited || s_.log.RecordCount() != countBefore || n > s_.log.RecordCount() ||
        s_.log.record(n) == *edited)
        return;
    QString error;
    if (!s_.replaceContact(n, *edited, &error))
        s_.prompter.message(QStringLiteral("The correction could not be saved: log.txt could not be written (%1). "
                                           "The log is unchanged.")
                                .arg(error),
                            QStringLiteral("Contact Not Changed"), PromptIcon::Exclamation);
    callBox->setFocus();
}

// ---- log maintenance ----

void MainWindow::mnuArchive_Click()
{
    s_.prompter.message(QStringLiteral("This function is used to create a permanent copy of your currently open log "
                                       "file.  To open your log file at a later date, click File > Restore from "
                                       "Archive or Backup."),
                        QStringLiteral("Archive Information"), PromptIcon::Information);
    const QString proposed = s_.folders.BackupFolder() + QLatin1Char('/') + CallFileStem(s_.prefs.MyCall) +
                             s_.clock.localNow().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
    const std::optional<QString> target =
        s_.prompter.saveFile(QStringLiteral("Archive Current Log"), proposed, kLogFilter, true);
    if (!target)
        return;
    QString error;
    std::optional<QByteArray> data = ReadWholeFile(s_.logPath(), &error);
    if (!data || !WriteFileAtomic(*target, *data, &error))
        s_.prompter.message(error, QStringLiteral("Error Archiving Log"), PromptIcon::Critical);
}

void MainWindow::mnuRestore_Click()
{
    if (refuseWhileShared(QStringLiteral("Restoring an archived log")))
        return;
    s_.prompter.message(QStringLiteral("This action will open an archived log or backup file and creates a working "
                                       "file called log.txt.  If you make any changes to your archived data that "
                                       "you would like to permanently save, before you click File > New to start a "
                                       "new contest, be sure to click File > Archive to save your changes."),
                        QStringLiteral("Opening Archived Data Information"), PromptIcon::Information);
    if (s_.log.RecordCount() > 0 &&
        !s_.prompter.askYesNo(QStringLiteral("Are you sure that you want to open an archived log?  This action will "
                                             "clear and replace existing QSO data."),
                              QStringLiteral("Are your sure?"), PromptIcon::Question, DefaultAnswer::No))
        return;
    const std::optional<QString> source =
        s_.prompter.openFile(QStringLiteral("Restore from Archive or Backup"), s_.folders.BackupFolder(), kLogFilter);
    if (!source)
        return;
    QString error;
    std::optional<QByteArray> data = ReadWholeFile(*source, &error);
    if (!data) {
        s_.prompter.message(error, QStringLiteral("Error Restoring Log"), PromptIcon::Critical);
        return;
    }
    // A file that is not a log would end the program at the reload and take the
    // working log with it: refuse it while the working log is still intact.
    std::vector<ContactRecord> check;
    const LogReadResult r = ParseLog(*data, check);
    if (!r.ok) {
        s_.prompter.message(QStringLiteral("%1 is not a readable log (record %2, line %3: %4). Your working log "
                                           "was not changed.")
                                .arg(QFileInfo(*source).fileName())
                                .arg(r.record)
                                .arg(r.position.line)
                                .arg(r.error),
                            QStringLiteral("Error Restoring Log"), PromptIcon::Critical);
        return;
    }
    if (!WriteFileAtomic(s_.logPath(), *data, &error)) {
        s_.prompter.message(error, QStringLiteral("Error Restoring Log"), PromptIcon::Critical);
        return;
    }
    mnuOpen2();
}

void MainWindow::mnuCopyListtoClipboard_Click()
{
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(listModel->clipboardText());
    }
}

// ---- contest outputs ----

void MainWindow::mnuWriteSumm_Click()
{
    const QString call = s_.prefs.MyCall;
    SummaryWindow w(s_, windowTitle(), scoreLabel->text(), this);
    showModal(w);
    // Writing the file trims the call; keep the preference file in step.
    if (s_.prefs.MyCall != call) {
        ownCallLabel->setText(s_.prefs.MyCall);
        SavePref();
    }
}

// ---- rate graph ----

void MainWindow::mnuGraph_Click()
{
    RateGraphWindow w(s_, this);
    // Too few contacts: the window has told the operator already and has nothing to show.
    if (w.graph().ready())
        showModal(w);
}

// ---- appearance ----

void MainWindow::ApplyFormSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame and title bar stay on the screen too.
    const QRect bound = ClientArea(this, s_.prefs.TaskbarMode == 1 ? screen->availableGeometry() : screen->geometry());
    setGeometry(MainWindowRect(screen->geometry(), screen->availableGeometry(), s_.prefs.FormSizePercent,
                               s_.prefs.TaskbarMode)
                    .intersected(bound));
    applyScreenFonts();
    const int width = std::max(this->width(), 640);
    for (int c = 0; c < 11; ++c)
        contactList->setColumnWidth(c, RecentContactsModel::designWidths()[size_t(c)] * width * 3 / 4 / 9600);
}

void MainWindow::mnuFormSize_Click()
{
    const std::optional<QString> answer = s_.prompter.input(
        QStringLiteral("Enter the % of the screen you would like the form to cover.  Try between 90 and 100 for best "
                       "results.  Values below 75 do not display well."),
        QStringLiteral("Please enter screen percentage."), QString::number(s_.prefs.FormSizePercent));
    if (!answer)
        return;  // cancelled: nothing to change
    const std::optional<int> size = FormSizeFromAnswer(*answer);
    if (!size) {
        s_.prompter.message(QStringLiteral("Please enter only numeric values."),
                            QStringLiteral("Numeric Values Required"), PromptIcon::Exclamation);
        return;
    }
    s_.prefs.FormSizePercent = *size;
    s_.prompter.message(QStringLiteral("This program must be closed and restarted for this setting to take effect."),
                        QStringLiteral("For this setting to take effect please restart this program."),
                        PromptIcon::Information);
    SavePref();
}

void MainWindow::mnuTaskbar_Click()
{
    if (s_.prefs.FormSizePercent != 100) {
        taskbarAction->setChecked(s_.prefs.TaskbarMode == 1);
        s_.prompter.message(QStringLiteral("The form size must be set to 100% to use the taskbar display option."),
                            QStringLiteral("Please set your form size to 100% to use this option."),
                            PromptIcon::Exclamation);
        return;
    }
    s_.prefs.TaskbarMode = s_.prefs.TaskbarMode == 1 ? 0 : 1;
    taskbarAction->setChecked(s_.prefs.TaskbarMode == 1);
    SavePref();
    ApplyFormSize();
}

void MainWindow::mnuColors_Click()
{
    ColoursWindow w(s_, this);
    showModal(w);
    SavePref();
    // Repaint the grid in the new colours.
    paintProvinceLabels(s_.prefs.UnworkedMultColour);
    ShowWorkedMultipliers();
}

}  // namespace zev
