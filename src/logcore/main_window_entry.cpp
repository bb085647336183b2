// The main window's hot path: keys in the entry boxes, commit, duplicates, band and
// mode, score display and the contest clock.

#include "common/quoted_values.h"
#include "logcore/contest_clock.h"
#include "logcore/dupes.h"
#include "logcore/entry_rules.h"
#include "logcore/main_window.h"

#include "keying/cue_player.h"
#include "spotting/band_map_widget_ui.h"
#include "logcore/recent_contacts_model.h"
#include "frame/widget_helpers_ui.h"

#include <QAction>
#include <algorithm>
#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QScopeGuard>
#include <QCursor>
#include <QTimer>

namespace zev {

namespace {

constexpr quint32 kNormalBackground = 0xC0C000;
constexpr quint32 kDupeBackground = 0x0000FF;

const QChar kEnter = kEnterKey;
const QChar kBackspace = kBackspaceKey;
const QChar kSpace(32);

QChar capital(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ? c.toUpper() : c;
}

// Backspace and digits pass; anything else is dropped.
QChar number(QChar c)
{
    return (c == kBackspace || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) ? c : QChar();
}

// Types one character the way the box would have, replacing a selection.
void type(QLineEdit *box, QChar c)
{
    if (c == kBackspace)
        box->backspace();
    else if (!c.isNull())
        box->insert(QString(c));
}

// A report box takes no more characters than the mode allows; text already there stays.
void typeReport(QLineEdit *box, QChar c, int maxLength)
{
    if (c != kBackspace && !c.isNull() && box->text().size() - box->selectedText().size() >= maxLength)
        return;
    type(box, c);
}

}  // namespace

// ---- display helpers ----

void MainWindow::showExchangeSent(const QString &text)
{
    exchangeSentLabel->setText(text);
}

QLineEdit *MainWindow::boxOf(EntryField field) const
{
    switch (field) {
    case EntryField::Call: return callBox;
    case EntryField::ReportRcvd: return reportRcvdBox;
    case EntryField::Exchange: return exchangeBox;
    case EntryField::ReportSent: return reportSentBox;
    case EntryField::Power: return powerBox;
    }
    return callBox;
}

void MainWindow::moveFocus(QWidget *w)
{
    if (inMains_)
        focusAfterMains_ = w;
    else
        w->setFocus();
}

void MainWindow::setDialog(const QString &text)
{
    messageLine->setText(text);
    // A commit's message is news even when it repeats the last one.
    Announce(messageLine, inMains_);
}

// Style sheets and fonts are set only when they change: every key in the call box
// passes here, and re-styling a widget is costly.
namespace {

void setStyleIfChanged(QWidget *w, const QString &style)
{
    if (w->styleSheet() != style)
        w->setStyleSheet(style);
}

}  // namespace

void MainWindow::setDialogColour(quint32 bgr)
{
    setStyleIfChanged(messageLine, QStringLiteral("QLabel#lblDialog { background: %1; color: %2; padding: 2px; }")
                                     .arg(ColourName(bgr), bgr == kDupeBackground ? "white" : "black"));
    // Every duplicate is heard, even the same one twice.
    if (bgr == kDupeBackground)
        Announce(messageLine, true);
}

void MainWindow::setDupeList(const QString &text, bool highlighted)
{
    dupeLine->setText(text);
    Announce(dupeLine);
    setStyleIfChanged(dupeLine, highlighted ? QStringLiteral("QLabel#lblDupe { background: %1; }")
                                                 .arg(ColourName(kNormalBackground))
                                           : QString());
}

void MainWindow::scaleDupeFont(int eighths)
{
    // The list's font follows the window's size setting.
    const int size = std::max(8, font().pixelSize() * eighths / 8 * s_.prefs.FormSizePercent / 100);
    if (dupeLine->font().pixelSize() == size)
        return;
    QFont f = dupeLine->font();
    f.setPixelSize(size);
    dupeLine->setFont(f);
}

void MainWindow::clearLookup()
{
    s_.entry.clearLookup();
}

void MainWindow::clearEntry()
{
    for (QLineEdit *box : {callBox, reportRcvdBox, exchangeBox, reportSentBox, powerBox})
        box->clear();
    clearLookup();
}

// ---- key routing ----

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !replaying_ && superCheckKey(watched, static_cast<QKeyEvent *>(event)))
        return true;
    // Function keys, Escape and keyboard CW act at once, even while typed keys are held.
    if (event->type() == QEvent::KeyPress && !replaying_) {
        auto *w = qobject_cast<QWidget *>(watched);
        // The speed arrows belong to the boxes being typed in; the contact list keeps its rows.
        if (w && w->window() == this && keyingKey(static_cast<QKeyEvent *>(event), qobject_cast<QLineEdit *>(w) != nullptr))
            return true;
    }
    if (watched == contactList && listEvent(event))
        return true;
    if (watched == positionsList && event->type() == QEvent::FocusIn)
        SayRowOnEntry(positionsList);
    if (contactList && watched == contactList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto *m = static_cast<QMouseEvent *>(event);
        if (m->button() == Qt::RightButton && listModel->rowCount() > 0) {
            const QModelIndex at = contactList->indexAt(m->position().toPoint());
            if (at.isValid())
                contactList->setCurrentIndex(at);
            cmdEdit_Click();
            return true;
        }
    }
    auto *box = qobject_cast<QLineEdit *>(watched);
    const bool entryBox = box && box->window() == this;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (entryBox) {
            auto *k = static_cast<QKeyEvent *>(event);
            if (!replaying_ && holding()) {
                pendingKeys_.push_back({box, k->key(), k->modifiers(), k->text()});
                return true;
            }
            return handleKey(box, k);
        }
        break;
    case QEvent::FocusIn:
        if (box == callBox) {
            callGotFocus();
        } else if (box == postDateBox) {
            if (postDateBox->text().isEmpty())
                postDateBox->setText(s_.clock.localNow().toString(QStringLiteral("yyyy/MM/dd")));
            QTimer::singleShot(0, postDateBox, &QLineEdit::selectAll);
        } else if (box == postTimeBox) {
            QTimer::singleShot(0, postTimeBox, &QLineEdit::selectAll);
        } else if (s_.prefs.VoiceNavLevel >= 2) {
            if (box == reportRcvdBox)
                PlayCue(QStringLiteral("RstRcvd"));
            else if (box == exchangeBox)
                PlayCue(QStringLiteral("SPC"));
            else if (box == reportSentBox)
                PlayCue(QStringLiteral("RstSnt"));
            else if (box == powerBox)
                PlayCue(QStringLiteral("ObelPwr"));
        }
        break;
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Another window coming to the front is not the operator leaving the box.
        // Nor is a look at the super check list: the call is still being chosen.
        if (box == callBox && !inMains_ && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason &&
            QApplication::focusWidget() != superCheckList)
            callLostFocus();
        break;
    }
    case QEvent::MouseButtonPress: {
        if (watched == bandLabel) {
            SelectBand((std::max(0, BandIndex(s_.prefs.CurrentBand)) + 1) % 8);
            return true;
        }
        if (watched == modeLabel) {
            SelectMode(ModeIndex(s_.prefs.CurrentMode) == 0 ? QStringLiteral("PH") : QStringLiteral("CW"));
            return true;
        }
        for (int b = 0; b < 8; ++b)
            if (watched == bandHeadings[size_t(b)]) {
                SelectBand(b);
                return true;
            }
        if (auto *l = qobject_cast<QLabel *>(watched); l && l->property("gridCell").toBool()) {
            exchangeBox->setText(l->text());
            return true;
        }
        break;
    }
    case QEvent::Enter:
    case QEvent::MouseMove:
        if (auto *l = qobject_cast<QLabel *>(watched); l && l->property("gridCell").toBool()) {
            const auto *pointer = dynamic_cast<QSinglePointEvent *>(event);
            const QPointF at = pointer ? pointer->globalPosition() : QPointF(QCursor::pos());
            // Read only when the pointer has moved since a window opened, closed or showed
            // over it; once per cell, as the line does not repeat a text still on screen.
            const bool moved = at != restingPointer_;
            if (moved)
                restingPointer_ = QPointF(-1, -1);
            // Nothing while the window is first built under the pointer: the screen reader
            // reads the lines it is told were shown as they are when it gets to them.
            if (moved || activatedOnce_)
                ShowProvinceTotal(l->property("index").toInt(), moved);
            if (event->type() == QEvent::MouseMove)
                return true;
        }
        if (event->type() == QEvent::Enter)
            break;
        if (watched == centralWidget())
            setDupeList({}, false);
        break;
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::handleKey(QLineEdit *box, QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        cmdClear_Click();
        return true;
    }
    const QChar key = TypedKey(event);
    if (key.isNull())
        return false;
    bool consumed = false;
    if (box == callBox)
        consumed = callKey(key);
    else if (box == reportRcvdBox)
        consumed = rstrKey(key, true);
    else if (box == exchangeBox)
        consumed = cntryKey(key, true);
    else if (box == reportSentBox)
        consumed = rstsKey(key);
    else if (box == powerBox)
        consumed = secKey(key);
    else
        consumed = postContestKey(box, key);
    return consumed;
}

bool MainWindow::callKey(QChar key)
{
    if (IsQuote(key))
        return true;
    scaleDupeFont(9);
    const QString call = callBox->text();
    if (call.size() < 2) {
        exchangeBox->clear();
        clearLookup();
    }
    if (HandsOffDigit(call, callBox->cursorPosition() == call.size() && !callBox->hasSelectedText(), key)) {
        HandOffCode = 4;
        HandOffKey = key;
        reportRcvdBox->setFocus();
        if (!DupeFlag)
            rstrKey(key, false);
        HandOffCode = 0;
        if (DupeFlag)
            startHold();
        return true;
    }
    if (call.size() < 3 && s_.TimeOnActive)
        setDialog(QStringLiteral(" "));
    if (!s_.TimeOnActive) {
        setDialog(QStringLiteral("Click Log \"Time On\"!"));
        s_.prompter.beep();
    }
    if (key == kEnter) {
        Mains();
        return true;
    }
    if (key == kSpace && HandOffCode != 4) {
        reportRcvdBox->setFocus();
        return true;
    }
    const QChar c = capital(key);
    PartialDupeCheck(c);
    type(callBox, c);
    if (DupeFlag)
        startHold();
    return true;
}

bool MainWindow::rstrKey(QChar key, bool real)
{
    QChar k = key;
    if (k.unicode() > '9') {
        k = capital(k);
        HandOffCode = 3;
        HandOffKey = k;
        cntryKey(k, false);
        k = kSpace;
    }
    if (HandOffCode == 4)
        k = HandOffKey;
    if (k == kEnter) {
        Mains();
        return true;
    }
    if (k == kSpace)
        exchangeBox->setFocus();
    k = number(k);
    if (HandOffCode == 4) {
        reportRcvdBox->setText(QString(k));
        reportRcvdBox->setCursorPosition(1);
        HandOffCode = 0;
        return true;
    }
    if (real)
        typeReport(reportRcvdBox, k, ReportMaxLength);
    return true;
}

bool MainWindow::cntryKey(QChar key, bool real)
{
    if (IsQuote(key))
        return true;
    if (key == kEnter) {
        if (real)
            Mains();
        return true;
    }
    if (key == kSpace && HandOffCode == 0 && exchangeBox->cursorPosition() == 0 && !exchangeBox->hasSelectedText()) {
        reportSentBox->setFocus();
        return true;
    }
    const QChar c = capital(key);
    if (HandOffCode == 3) {
        exchangeBox->setText(QString(HandOffKey));
        exchangeBox->setCursorPosition(1);
        HandOffCode = 0;
        return true;
    }
    if (c == kSpace) {
        if (real)
            reportSentBox->setFocus();
        return true;
    }
    if (real)
        type(exchangeBox, c);
    return true;
}

bool MainWindow::rstsKey(QChar key)
{
    QChar k = key;
    if (k.unicode() > '9') {
        HandOffCode = 2;
        HandOffKey = capital(k);
        cntryKey(HandOffKey, false);
        k = kSpace;
    }
    if (k == kEnter) {
        Mains();
        return true;
    }
    if (k == kSpace) {
        powerBox->setFocus();
        return true;
    }
    typeReport(reportSentBox, number(k), ReportMaxLength);
    return true;
}

bool MainWindow::secKey(QChar key)
{
    if (IsQuote(key))
        return true;
    if (key == kEnter) {
        Mains();
        return true;
    }
    if (key == kSpace) {
        reportSentBox->setFocus();
        return true;
    }
    type(powerBox, key.toUpper());
    return true;
}

bool MainWindow::postContestKey(QLineEdit *box, QChar key)
{
    // Date, then time, then the call of the paper-log contact.
    if (key == kSpace) {
        (box == postDateBox ? static_cast<QWidget *>(postTimeBox) : callBox)->setFocus();
        return true;
    }
    if (key == kEnter) {
        Mains();
        return true;
    }
    const QChar extra = box == postDateBox ? QLatin1Char('/') : QLatin1Char(':');
    if (key == kBackspace || key == extra || (key >= QLatin1Char('0') && key <= QLatin1Char('9')))
        type(box, key);
    return true;
}

void MainWindow::callGotFocus()
{
    editButton->hide();
    deleteButton->hide();
    if (callBox->text().isEmpty()) {
        reportSentBox->clear();
        reportRcvdBox->clear();
    }
    if (s_.prefs.VoiceNavLevel != 0 && !callCueTaken_)
        PlayCue(QStringLiteral("Call"));
    if (callBox->text().isEmpty() && listModel->rowCount() < s_.log.RecordCount() && listModel->rowCount() < 18)
        ShowRecentContacts();
}

void MainWindow::callLostFocus()
{
    if (callBox->text().isEmpty())
        return;
    DupCheck();
    if (DupeFlag)
        return;  // the entry is gone; nothing to pre-fill
    const EntryPrefill fill = s_.entry.prefill();
    for (QLineEdit *box : {reportRcvdBox, reportSentBox})
        if (box->text().isEmpty()) {
            box->setText(fill.report);
            box->setSelection(0, int(fill.report.size()));
        }
    if (!fill.province.isEmpty()) {
        exchangeBox->setText(fill.province);
        exchangeBox->setSelection(0, 2);
    }
}

// ---- the duplicate hold ----

bool MainWindow::holding() const
{
    return !pendingKeys_.empty() || (holdUntilMs_ >= 0 && holdClock_.elapsed() < holdUntilMs_);
}

void MainWindow::startHold()
{
    const qint64 since = DupeTime.isValid() ? std::max<qint64>(0, DupeTime.msecsTo(s_.clock.localNow())) : 0;
    holdUntilMs_ = holdClock_.elapsed() + std::max<qint64>(0, dupeHoldMs - since);
    holdTimer_->start(int(std::max<qint64>(0, holdUntilMs_ - holdClock_.elapsed())));
}

void MainWindow::releaseKeys()
{
    if (holdUntilMs_ >= 0 && holdClock_.elapsed() < holdUntilMs_) {
        holdTimer_->start(int(holdUntilMs_ - holdClock_.elapsed()));
        return;
    }
    holdUntilMs_ = -1;
    DupeFlag = false;
    // Replayed keys go where the focus now is, as typed-ahead keys would.
    while (!pendingKeys_.empty()) {
        if (holdUntilMs_ >= 0) {
            holdTimer_->start(int(std::max<qint64>(0, holdUntilMs_ - holdClock_.elapsed())));
            return;
        }
        PendingKey k = pendingKeys_.front();
        pendingKeys_.pop_front();
        QWidget *target = QApplication::focusWidget();
        if (!target || target->window() != this || !qobject_cast<QLineEdit *>(target))
            target = k.target;
        if (!target)
            continue;
        QKeyEvent e(QEvent::KeyPress, k.key, k.modifiers, k.text);
        replaying_ = true;
        QCoreApplication::sendEvent(target, &e);
        replaying_ = false;
    }
}

// ---- commit ----

void MainWindow::Mains()
{
    // Leaving the call box fills the reports and the province; when the commit itself
    // takes the focus away, those actions run once it has finished, so a bare call
    // followed by Enter leaves a complete entry for the next Enter.
    const bool callHadFocus = callBox->hasFocus();
    focusAfterMains_ = nullptr;
    inMains_ = true;
    commit();
    // One focus move per commit: a screen reader reads every box the focus passes.
    if (focusAfterMains_)
        focusAfterMains_->setFocus();
    focusAfterMains_ = nullptr;
    inMains_ = false;
    if (callHadFocus && !callBox->hasFocus() && !callBox->text().isEmpty()) {
        callLostFocus();
        // The fill may have completed the entry; a complaint it answered is not left standing.
        if (s_.entry.complete() && !DupeFlag)
            setDialog(QStringLiteral(" "));
    }
    applyHeldRigReadings();
}

void MainWindow::commit()
{
    QString postDate, postTime;
    if (PostContestMode) {
        const std::optional<QString> d = PostContestDate(postDateBox->text());
        if (!d) {
            setDialog(QStringLiteral("Invalid date format!"));
            s_.prompter.beep();
            return;
        }
        postDateBox->setText(*d);
        const std::optional<QString> t = PostContestTime(postTimeBox->text());
        if (!t) {
            setDialog(QStringLiteral("Invalid time format!"));
            s_.prompter.beep();
            return;
        }
        postTimeBox->setText(*t);
        postDate = *d;
        postTime = *t;
    }
    if (!s_.TimeOnActive)
        cmdLogOn_Click();

    const EntryVerdict verdict = s_.entry.validate();
    IncompleteFlag = !verdict.incomplete.empty();
    for (const EntryProblem &p : verdict.incomplete) {
        s_.prompter.beep();
        setDialog(p.message);
        focusAfterMains_ = boxOf(p.field);
    }
    BadProvinceFlag = verdict.badProvince;
    if (!IsNumeric(exchangeBox->text()))
        exchangeBox->setText(s_.entry.exchange());
    if (BadProvinceFlag) {
        s_.prompter.beep();
        setDialog(QStringLiteral("Invald Province!"));
        focusAfterMains_ = exchangeBox;
    }

    DupCheck();

    bool stored = true;
    if (!DupeFlag && verdict.loggable()) {
        ContactRecord r = s_.entry.record(UtcFromLocal(s_.clock.localNow(), s_.prefs.UtcOffsetHours));
        if (PostContestMode) {
            r.QsoDate = postDate;
            r.QsoTime = postTime;
        }
        stored = LogContact(r);
        if (stored) {
            setDialogColour(kNormalBackground);
            setDialog({});
            // The score has followed the log by now.
            loggedLine->setText(r.Call + QStringLiteral(" logged, score ") + scoreLabel->text());
            // Showing the line reads it; after the focus has moved, like every announcement.
            if (loggedLine->isHidden())
                QMetaObject::invokeMethod(loggedLine, &QWidget::show, Qt::QueuedConnection);
            else
                Announce(loggedLine, true);
        }
    }
    // A contact that could not be stored stays in the boxes, like an incomplete one, and
    // the operator goes on from the call box.
    if (!IncompleteFlag && !BadProvinceFlag && stored)
        clearEntry();
    if ((!IncompleteFlag && !BadProvinceFlag) || !stored)
        focusAfterMains_ = callBox;
    setDupeList({}, false);
    TimeStats();
    // A contact that failed to store keeps its frequency for the retry.
    if (stored)
        s_.entry.clearFrequency();
}

void MainWindow::cmdClear_Click()
{
    // Keys typed during a duplicate hold belong to the entry being cleared.
    pendingKeys_.clear();
    for (QLineEdit *box : {callBox, reportRcvdBox, exchangeBox, reportSentBox, powerBox})
        box->clear();
    setDupeList({}, false);
    setDialogColour(kNormalBackground);
    setDialog({});
    clearLookup();
    callBox->setFocus();
}

// ---- duplicates ----

void MainWindow::DupCheck()
{
    DupeFlag = false;
    const int dupe = s_.entry.duplicateOf();
    const std::vector<int> previous = s_.entry.previousContacts(dupe);
    if (listPreviousAction->isChecked())
        listModel->showRecords(previous);
    if (const QString province = s_.entry.knownProvince(previous); !province.isEmpty() && exchangeBox->text().isEmpty()) {
        exchangeBox->setText(province);
        exchangeBox->selectAll();
    }
    if (dupe > 0) {
        setDialog(DupeMessage(s_.log, dupe));
        setDialogColour(kDupeBackground);
        setDupeList({}, false);
        s_.prompter.beep();
        // The call box's own cue follows the warning instead of cutting it off.
        if (s_.prefs.VoiceNavLevel != 0) {
            cues().BlindKeyPhoneThen(QStringLiteral("Dupe"), QStringLiteral("Call"));
            callCueTaken_ = true;
            QTimer::singleShot(0, this, [this] { callCueTaken_ = false; });
        } else {
            PlayCue(QStringLiteral("Dupe"));
        }
        DupeFlag = true;
        DupeTime = s_.clock.localNow();
        moveFocus(callBox);
        clearEntry();
        startHold();
    }
}

void MainWindow::PartialDupeCheck(QChar key)
{
    setDialogColour(kNormalBackground);
    setDupeList({}, false);
    const CallKeyCheck c = s_.entry.checkCallKey(key, PartialDupesOn);
    if (PartialDupesOn && c.searched)
        setDupeList(c.partials, !c.partials.isEmpty());
    if (callBox->text().size() > 2 && !c.partials.isEmpty())
        setDialog(QStringLiteral("Possible Duplicate!"));
    else if (s_.TimeOnActive)
        setDialog(QStringLiteral(" "));
    if (c.shape == CallKeyCheck::NotNumeric) {
        s_.prompter.beep();
        setDialog(QStringLiteral("The second or third character is not numeric!"));
    } else if (c.shape == CallKeyCheck::Numeric) {
        setDialog(QStringLiteral(" "));
    }
}

void MainWindow::cmdDup_Click()
{
    setDupeList({}, false);
    PartialDupesOn = !PartialDupesOn;
    partialDupesButton->setText(PartialDupesOn ? QStringLiteral("On") : QStringLiteral("Off"));
    partialDupesButton->setChecked(PartialDupesOn);
    callBox->setFocus();
}

void MainWindow::mnuListPrevious_Click()
{
    s_.prefs.ListPreviousOn = s_.prefs.ListPreviousOn == 1 ? 0 : 1;
    listPreviousAction->setChecked(s_.prefs.ListPreviousOn == 1);
    SavePref();
}

// ---- band and mode ----

void MainWindow::SelectBand(int bandIndex)
{
    if (bandIndex < 0 || bandIndex >= 8)
        return;
    s_.prefs.CurrentBand = BandCodes()[bandIndex];
    for (QAction *a : bandActions)
        a->setChecked(false);
    bandActions[size_t(bandIndex)]->setChecked(true);
    bandLabel->setText(s_.prefs.CurrentBand);
    bandMap->setBand(s_.prefs.CurrentBand);
    SavePref();
    mnuOpen2();
}

void MainWindow::SelectMode(const QString &mode)
{
    s_.prefs.CurrentMode = mode;
    modeLabel->setText(mode);
    SavePref();
    if (!mnuOpen2())
        return;
    const bool cw = ModeIndex(mode) == 0;
    cwAction->setChecked(cw);
    phoneAction->setChecked(!cw);
    ReportMaxLength = cw ? 3 : 2;
}

// ---- score ----

void MainWindow::Labeldisplay()
{
    const qint64 points = s_.log.TotalPoints;
    const qint64 mults = s_.log.mults.TotalMultipliers();
    contactsLabel->setText(GroupedNumber(s_.log.RecordCount()));
    multipliersLabel->setText(QString::number(mults));
    qsoPointsLabel->setText(GroupedNumber(points));
    scoreLabel->setText(GroupedNumber(points * mults));
}

void MainWindow::ShowWorkedMultipliers()
{
    const int mode = ModeIndex(s_.prefs.CurrentMode);
    const QString worked = QStringLiteral("color: %1;").arg(ColourName(s_.prefs.WorkedMultColour));
    for (int b = 0; b < 8; ++b)
        for (const QString &province : s_.log.mults.worked(b, mode))
            for (QLabel *l : provinceLabels[size_t(b)])
                if (l->text().compare(province, Qt::CaseInsensitive) == 0) {
                    l->setStyleSheet(worked);
                    if (const QString name = MultiplierCellName(l->text(), BandCodes()[b], true);
                        l->accessibleName() != name)
                        l->setAccessibleName(name);
                }
}

void MainWindow::ShowProvinceTotal(int province, bool heard)
{
    if (province < 0 || province >= 13)
        return;
    scaleDupeFont(8);
    const QString text = QStringLiteral("  ") + ProvinceTable()[size_t(province)].name + QStringLiteral("    Total = ") +
                         QString::number(ProvinceTotal(s_.log, ProvinceTable()[size_t(province)].abbreviation));
    if (heard) {
        setDupeList(text, false);
        return;
    }
    dupeLine->setText(text);
    setStyleIfChanged(dupeLine, QString());
}

// ---- contest clock ----

void MainWindow::CheckUtcOffset()
{
    const double kept = s_.prefs.UtcOffsetHours;
    const double recommended = MachineUtcOffsetHours(s_.clock);
    if (recommended == kept)
        return;
    const std::optional<QString> answer = s_.prompter.input(
        UtcOffsetPrompt(s_.clock.utcNow(), s_.clock.localNow(), recommended, kept),
        QStringLiteral("Update the Local Time / UTC Offset?"), FormatNumber(recommended));
    if (!answer) {
        s_.prefs.UtcOffsetHours = kept;
        return;
    }
    const std::optional<double> offset = UtcOffsetFromText(*answer);
    if (!offset) {
        s_.prefs.UtcOffsetHours = kept;
        s_.prompter.beep();
        s_.prompter.message(UtcOffsetRuleText() + QStringLiteral("\n\nThe offset stays at %1.").arg(FormatNumber(kept)),
                            QStringLiteral("Invalid UTC Offset"), PromptIcon::Exclamation);
        return;
    }
    s_.prefs.UtcOffsetHours = *offset;
    if (!SavePref())
        s_.prefs.UtcOffsetHours = kept;
}

QString MainWindow::loggedTimeText() const
{
    // These messages apply the offset in whole hours.
    const QDateTime utc = UtcFromLocalWholeHours(s_.clock.localNow(), s_.prefs.UtcOffsetHours);
    return QLocale().toString(utc.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           utc.toString(QStringLiteral("HH:mm:ss"));
}

void MainWindow::cmdLogOn_Click()
{
    if (!s_.TimeOnActive) {
        s_.TimeOnStart = s_.clock.localNow();
        s_.TimeOnActive = true;
        timeOnButton->setText(QStringLiteral("&Log \"Time Off\""));
        timeOnButton->setAccessibleName(QStringLiteral("Log Time Off"));
        // Said, not only shown: the button's new caption alone is not heard while the
        // focus stays in the call box.
        setDialog(QStringLiteral("Logged On at ") + loggedTimeText());
    } else {
        s_.TimeOnActive = false;
        timeOnButton->setText(QStringLiteral("&Log \"Time On\""));
        timeOnButton->setAccessibleName(QStringLiteral("Log Time On"));
        s_.prefs.OperatingSeconds = s_.RunningSeconds;
        setDialog(QStringLiteral("Logged Off at ") + loggedTimeText());
        SavePref();
    }
    moveFocus(callBox);
}

void MainWindow::TimeStats()
{
    const std::optional<Rates> r =
        zev::TimeStats(s_.log, UtcFromLocal(s_.clock.localNow(), s_.prefs.UtcOffsetHours));
    if (!r)
        return;
    rate60Label->setText(QString::number(r->last60));
    rate20Label->setText(QString::number(r->last20));
}

void MainWindow::Timer1_Timer()
{
    TimeStats();
}

void MainWindow::Timer2_Timer()
{
    const QDateTime now = s_.clock.localNow();
    utcTimeLabel->setText(UtcClockText(now.time(), s_.prefs.UtcOffsetHours));
    localTimeLabel->setText(LocalClockText(now.time()));
    amPmLabel->setText(AmPmText(now.time()));
    if (s_.TimeOnActive) {
        s_.RunningSeconds = std::fabs(s_.prefs.OperatingSeconds) + double(s_.TimeOnStart.secsTo(now));
        operatingTimeLabel->setText(OperatingTimeText(s_.RunningSeconds));
    }
}

void MainWindow::mnuPostContest_Click()
{
    PostContestMode = !PostContestMode;
    postContestAction->setChecked(PostContestMode);
    for (QWidget *w : {static_cast<QWidget *>(postDateBox), static_cast<QWidget *>(postTimeBox),
                       findChild<QWidget *>(QStringLiteral("cap_txtPostConDate")),
                       findChild<QWidget *>(QStringLiteral("cap_txtPostConTime"))})
        w->setVisible(PostContestMode);
}

}  // namespace zev
