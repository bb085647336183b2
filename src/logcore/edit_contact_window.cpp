#include "logcore/edit_contact_window.h"

#include "common/quoted_values.h"
#include "frame/session.h"
#include "frame/text_rules_ui.h"
#include "frame/widget_helpers_ui.h"
#include "frame/window_scaling_ui.h"
#include "logcore/dupes.h"
#include "logcore/entry_rules.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace zev {

namespace {

QLabel *marker(const QString &text)
{
    auto *l = new QLabel(text);
    l->setTextFormat(Qt::PlainText);
    l->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    l->hide();
    // Heard when it appears, without the focus leaving the box being corrected.
    MakeNotification(l);
    return l;
}

// While a marker is shown its box carries it as description, so the screen reader
// names the problem again whenever the focus comes back to the box.
class MarkerOfBox : public QObject {
public:
    MarkerOfBox(QLabel *marker, QWidget *box) : QObject(marker), box_(box) { marker->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (box_ && event->type() == QEvent::ShowToParent)
            box_->setAccessibleDescription(static_cast<QLabel *>(watched)->text().trimmed());
        else if (box_ && event->type() == QEvent::HideToParent)
            box_->setAccessibleDescription({});
        return false;
    }

private:
    QPointer<QWidget> box_;
};

}  // namespace

EditContactWindow::EditContactWindow(Session &session, int editedRecord, std::function<void()> deleteRecord,
                                     QWidget *parent)
    : QDialog(parent), s_(session), record_(editedRecord), deleteRecord_(std::move(deleteRecord))
{
    setObjectName(QStringLiteral("frmEditCon"));
    setWindowTitle(QStringLiteral("Edit Contact Entry"));
    auto *grid = new QGridLayout;
    int row = 0;
    auto box = [&](QLineEdit *&e, const char *name, const QString &caption, QLabel *mark = nullptr) {
        e = new QLineEdit;
        e->setObjectName(QLatin1String(name));
        e->setAccessibleName(caption);
        auto *c = new QLabel(caption);
        c->setBuddy(e);
        grid->addWidget(c, row, 0);
        grid->addWidget(e, row, 1);
        if (mark)
            grid->addWidget(mark, row, 2);
        e->installEventFilter(this);
        e->setAttribute(Qt::WA_InputMethodEnabled, false);
        ++row;
    };
    lblPreInvalid = marker(QStringLiteral("   Invalid!"));
    lblPreInvalid->setObjectName(QStringLiteral("lblPreInvalid"));
    lblBandInvalid = marker(QStringLiteral("   Invalid!"));
    lblBandInvalid->setObjectName(QStringLiteral("lblBandInvalid"));
    lblModeInvalid = marker(QStringLiteral("   Invalid!"));
    lblModeInvalid->setObjectName(QStringLiteral("lblModeInvalid"));
    Label1 = marker(QStringLiteral("  Dupe!"));
    Label1->setObjectName(QStringLiteral("Label1"));
    box(txtEditCall, "txtEditCall", QStringLiteral("Callsign"), Label1);
    box(txtEditNum, "txtEditNum", QStringLiteral("Rst (S)"));
    box(txtEditCk, "txtEditCk", QStringLiteral("Rst (R)"));
    box(txtEditPre, "txtEditPre", QStringLiteral("PR / Ser"), lblPreInvalid);
    box(txtEditSec, "txtEditSec", QStringLiteral("Ser (S)"));
    box(txtEditDate, "txtEditDate", QStringLiteral("Date"));
    box(txtEditTime, "txtEditTime", QStringLiteral("Time"));
    box(txtEditBnd, "txtEditBnd", QStringLiteral("Mode"), lblModeInvalid);
    box(Text1, "Text1", QStringLiteral("Band"), lblBandInvalid);
    box(Text2, "Text2", QStringLiteral("Points"));
    // Typed or pasted text obeys the same rules; above all, no quote may reach the log.
    const std::array<std::pair<QLineEdit *, TextKind>, 10> kinds{{
        {txtEditCall, TextKind::Call},
        {txtEditNum, TextKind::EditReport},
        {txtEditCk, TextKind::EditReport},
        {txtEditPre, TextKind::Exchange},
        {txtEditSec, TextKind::Exchange},
        {txtEditDate, TextKind::Date},
        {txtEditTime, TextKind::Time},
        {txtEditBnd, TextKind::Mode},
        {Text1, TextKind::Band},
        {Text2, TextKind::Points},
    }};
    for (const auto &[e, kind] : kinds)
        FollowTextRules(e, kind, [this] { s_.prompter.beep(); });

    cmdDone = new QPushButton(QStringLiteral("Done"));
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setAccessibleName(QStringLiteral("Done"));
    cmdDone->setAutoDefault(false);
    cmdDeleteDupe = new QPushButton(QStringLiteral("Delete Dupe"));
    cmdDeleteDupe->setObjectName(QStringLiteral("cmdDeleteDupe"));
    cmdDeleteDupe->setAccessibleName(QStringLiteral("Delete Dupe"));
    cmdDeleteDupe->setAutoDefault(false);
    cmdDeleteDupe->hide();
    connect(cmdDone, &QPushButton::clicked, this, &EditContactWindow::cmdDone_Click);
    connect(cmdDeleteDupe, &QPushButton::clicked, this, &EditContactWindow::cmdDeleteDupe_Click);

    auto *heading = new QLabel(QStringLiteral("Edit Contact:"));
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPixelSize(hf.pixelSize() > 0 ? hf.pixelSize() * 5 / 4 : 16);
    heading->setFont(hf);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdDeleteDupe);
    buttons->addStretch(1);
    buttons->addWidget(cmdDone);
    auto *v = new QVBoxLayout(this);
    v->addWidget(heading);
    v->addLayout(grid);
    v->addStretch(1);
    v->addLayout(buttons);
    for (auto [mark, boxOfMark] : {std::pair{Label1, txtEditCall}, std::pair{lblPreInvalid, txtEditPre},
                                   std::pair{lblModeInvalid, txtEditBnd}, std::pair{lblBandInvalid, Text1}})
        new MarkerOfBox(mark, boxOfMark);
    FitToScreen(this, 4400, 4200, true);

    if (record_ >= 1 && record_ <= s_.log.RecordCount()) {
        const ContactRecord &r = s_.log.record(record_);
        // The record as it is: the rules apply to what the operator changes.
        ShowAsIs(txtEditCall, r.Call);
        ShowAsIs(txtEditNum, r.ReportSent);
        ShowAsIs(txtEditCk, r.ReportRcvd);
        ShowAsIs(txtEditPre, r.ExchangeRcvd);
        ShowAsIs(txtEditSec, r.SerialSent);
        ShowAsIs(txtEditDate, r.QsoDate);
        ShowAsIs(txtEditTime, r.QsoTime);
        ShowAsIs(txtEditBnd, r.Mode);
        ShowAsIs(Text1, r.Band);
        ShowAsIs(Text2, FormatNumber(r.Points));
    }
}

bool EditContactWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const QChar key = TypedKey(static_cast<QKeyEvent *>(event));
        return key.isNull() ? false : keyPress(box, key);
    }
    if (event->type() == QEvent::FocusOut && !refocusing_ && isVisible()) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !leave(box)) {
            // Back to the box once the focus change in progress has finished.
            refocusing_ = true;
            QTimer::singleShot(0, box, [this, box] {
                box->setFocus();
                refocusing_ = false;
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool EditContactWindow::keyPress(QLineEdit *box, QChar key)
{
    if (key == QChar(13)) {
        cmdDone_Click();
        return true;
    }
    const bool dateOrTime = box == txtEditDate || box == txtEditTime;
    if (key == QLatin1Char('"') && !dateOrTime)
        return true;
    if (box == txtEditDate)
        return !(key == QChar(8) || key == QLatin1Char('/') || key.isDigit());
    if (box == txtEditTime)
        return !(key == QChar(8) || key == QLatin1Char(':') || key.isDigit());
    if (box == Text2)
        return !(key >= QLatin1Char('0') && key <= QLatin1Char('9'));
    if (key >= QLatin1Char('a') && key <= QLatin1Char('z')) {
        box->insert(QString(key.toUpper()));
        return true;
    }
    return false;
}

bool EditContactWindow::formatOk(bool valid, bool tell, const QString &text, const QString &title)
{
    if (!valid && tell) {
        s_.prompter.beep();
        s_.prompter.message(text, title, PromptIcon::Exclamation);
    }
    return valid;
}

bool EditContactWindow::dateOk(bool tell)
{
    return formatOk(PostContestDate(txtEditDate->text()).has_value(), tell,
                    QStringLiteral("You have entered an invalid date format!"), QStringLiteral("Invalid Date Format!"));
}

bool EditContactWindow::timeOk(bool tell)
{
    return formatOk(RecordTimeText(txtEditTime->text()).has_value(), tell,
                    QStringLiteral("You have entered an invalid time format!"), QStringLiteral("Invalid Time Format!"));
}

bool EditContactWindow::leave(QLineEdit *box)
{
    if (box == Text2) {
        if (!IsNumeric(Text2->text()))
            Text2->setText(QStringLiteral("0"));
    } else if (box == txtEditPre) {
        if (txtEditPre->text().size() < 3)
            txtEditPre->setText(txtEditPre->text().toUpper());
    } else if (box == Text1 || box == txtEditBnd) {
        const bool valid = box == Text1 ? BandCodes().contains(Text1->text(), Qt::CaseSensitive)
                                        : (txtEditBnd->text() == QLatin1String("PH") ||
                                           txtEditBnd->text() == QLatin1String("CW"));
        QLabel *mark = box == Text1 ? lblBandInvalid : lblModeInvalid;
        mark->setVisible(!valid);
        if (!valid)
            s_.prompter.beep();
        return valid;
    } else if (box == txtEditDate) {
        return dateOk(true);
    } else if (box == txtEditTime) {
        return timeOk(true);
    }
    return true;
}

void EditContactWindow::cmdDone_Click()
{
    if (!timeOk(true)) {
        txtEditTime->setFocus();
        return;
    }
    if (!dateOk(true)) {
        txtEditDate->setFocus();
        return;
    }
    // A band or mode outside the tables would take the contact out of the dupes and
    // the multipliers: refused as on leaving the box.
    const bool modeOk = leave(txtEditBnd);
    const bool bandOk = leave(Text1);
    if (!modeOk || !bandOk) {
        (modeOk ? Text1 : txtEditBnd)->setFocus();
        return;
    }
    const std::vector<int> dupes =
        ExactDupes(s_.log, record_, txtEditCall->text(), Text1->text(), txtEditBnd->text());
    for (size_t i = 0; i < dupes.size(); ++i)
        s_.prompter.beep();
    Label1->setVisible(!dupes.empty());
    if (!dupes.empty())
        cmdDeleteDupe->show();
    const bool exchangeOk = IsExactExchange(txtEditPre->text());
    lblPreInvalid->setVisible(!exchangeOk);
    if (!exchangeOk)
        s_.prompter.beep();
    if (!dupes.empty() || !exchangeOk || record_ < 1 || record_ > s_.log.RecordCount())
        return;

    ContactRecord r = s_.log.record(record_);
    r.Call = txtEditCall->text();
    r.ReportSent = txtEditNum->text();
    r.ExchangeRcvd = txtEditPre->text();
    r.ReportRcvd = txtEditCk->text();
    r.SerialSent = txtEditSec->text();
    // Stored in the log's own formats so the clock and exports can read them back.
    r.QsoDate = *PostContestDate(txtEditDate->text());
    r.QsoTime = *RecordTimeText(txtEditTime->text());
    r.Mode = txtEditBnd->text();
    r.Band = Text1->text();
    r.Points = NumericValue(Text2->text());
    edited_ = r;
    accept();
}

void EditContactWindow::cmdDeleteDupe_Click()
{
    if (deleteRecord_)
        deleteRecord_();
    reject();
}

}  // namespace zev
