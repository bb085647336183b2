#include "outputs/station_window.h"

#include "frame/session.h"
#include "frame/text_rules_ui.h"
#include "frame/widget_helpers_ui.h"
#include "frame/window_scaling_ui.h"
#include "logcore/contest_clock.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zev {

namespace {

}  // namespace

StationWindow::StationWindow(Session &session, QWidget *parent) : QDialog(parent), s_(session)
{
    setObjectName(QStringLiteral("frmStationID"));
    setWindowTitle(QStringLiteral("Amateur Station I.D."));
    auto *form = new QFormLayout;
    auto box = [&](QLineEdit *&e, const char *name, const QString &label, TextKind kind) {
        e = new QLineEdit;
        e->setObjectName(QLatin1String(name));
        e->setAccessibleName(label);
        auto *l = new QLabel(label);
        l->setBuddy(e);
        form->addRow(l, e);
        e->installEventFilter(this);
        e->setAttribute(Qt::WA_InputMethodEnabled, false);
        // Pasted text obeys the typing rules; a quote would break the preference file.
        FollowTextRules(e, kind, [this] { s_.prompter.beep(); });
    };
    box(Text1, "Text1", QStringLiteral("Please Enter your Call Sign:"), TextKind::Call);
    box(Text5, "Text5", QStringLiteral("Province / Territory:"), TextKind::Exchange);
    box(Text6, "Text6", QStringLiteral("Hours added for UTC:"), TextKind::UtcOffset);
    // The sign is the usual mistake: say which way it goes, with examples.
    const QString utcHelp = QStringLiteral("Hours to add to local time to get UTC: 5 in Ontario in winter (EST), "
                                           "4 in summer (EDT), -9 in Japan");
    Text6->setToolTip(utcHelp);
    Text6->setAccessibleDescription(utcHelp);
    form->labelForField(Text6)->setToolTip(utcHelp);
    box(Text2, "Text2", QStringLiteral("Your Country:"), TextKind::Country);
    box(Text3, "Text3", QStringLiteral("Your Longitude:"), TextKind::Coordinate);
    box(Text4, "Text4", QStringLiteral("Your Latitude:"), TextKind::Coordinate);
    box(Text7, "Text7", QStringLiteral("Your Continent:"), TextKind::Station);
    box(Text8, "Text8", QStringLiteral("Your OBEL or Power:"), TextKind::Station);
    Check1 = new QCheckBox(QStringLiteral("Check if yes"));
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(QStringLiteral("Are you in Canada?"));
    auto *canada = new QLabel(QStringLiteral("Are you in Canada?"));
    canada->setBuddy(Check1);
    form->addRow(canada, Check1);
    Command1 = new QPushButton(QStringLiteral("Done"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("Done"));
    Command1->setAutoDefault(false);
    PressOnReturn(Command1);
    connect(Command1, &QPushButton::clicked, this, &StationWindow::doneClicked);
    auto *v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addStretch(1);
    v->addWidget(Command1, 0, Qt::AlignRight);
    FitToScreen(this, 4800, 3400, true);

    // The stored values as they are: the rules apply to what the operator changes.
    const Preferences &p = s_.prefs;
    ShowAsIs(Text1, p.MyCall);
    ShowAsIs(Text5, p.MyProvince);
    ShowAsIs(Text6, FormatNumber(p.UtcOffsetHours));
    ShowAsIs(Text2, p.MyCountry);
    ShowAsIs(Text3, FormatNumber(p.MyLongitude));
    ShowAsIs(Text4, FormatNumber(p.MyLatitude));
    ShowAsIs(Text7, p.MyContinent);
    ShowAsIs(Text8, p.MyPowerClass);
    Check1->setChecked(p.InCanada != 0);
    if (Text1->text().isEmpty())
        ShowAsIs(Text1, s_.registry.value(QStringLiteral("UserCallSign")));
}

bool StationWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit)
        return QDialog::eventFilter(watched, event);

    if (event->type() == QEvent::FocusOut && edit == Text6 && !UtcOffsetFromText(Text6->text()) && isVisible()) {
        // An offset the clock cannot use cannot be left behind; another window coming
        // to the front is not leaving the box.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            refuseOffset();
            QTimer::singleShot(0, Text6, [t = Text6] { t->setFocus(); });
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);

    const QChar c = TypedKey(static_cast<QKeyEvent *>(event));
    if (c == kEnterKey && edit != Text2 && edit != Text3 && edit != Text4) {
        Done();
        return true;
    }
    // Backspace and keys that type nothing behave as usual in every box.
    if (c.isNull() || c == kEnterKey || c == kBackspaceKey)
        return false;
    // A quote would break the preference file.
    if (c == QLatin1Char('"'))
        return true;
    if (edit == Text1 || edit == Text5 || edit == Text7 || edit == Text8) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
            edit->insert(c.toUpper());
            return true;
        }
        return false;
    }
    if (edit == Text6)
        return !(c >= QLatin1Char('-') && c <= QLatin1Char('9'));  // "-", ".", "/" and digits
    if (edit == Text2)
        return countryKey(QString(c));
    return false;
}

bool StationWindow::countryKey(const QString &typed)
{
    QString ch = typed;
    const int caret = Text2->hasSelectedText() ? int(Text2->selectionStart()) : Text2->cursorPosition();
    if (caret == 0 && ch[0] >= QLatin1Char('a') && ch[0] <= QLatin1Char('z'))
        ch = ch.toUpper();
    const QString p = Text2->text().left(caret) + ch;
    const std::vector<PrefixEntry> &entries = s_.prefixes.entries;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (!it->CountryName.startsWith(p, Qt::CaseSensitive))
            continue;
        Text2->setText(it->CountryName);
        Text2->setSelection(int(it->CountryName.size()), -int(it->CountryName.size() - p.size()));
        Text3->setText(FormatNumber(it->Longitude));
        Text4->setText(FormatNumber(it->Latitude));
        Text7->setText(it->Continent);
        return true;
    }
    if (ch != typed) {
        Text2->insert(ch);
        return true;
    }
    return false;
}

void StationWindow::refuseOffset()
{
    s_.prompter.beep();
    s_.prompter.message(UtcOffsetRuleText(), QStringLiteral("Invalid UTC Offset"), PromptIcon::Exclamation);
}

void StationWindow::doneClicked()
{
    if (!UtcOffsetFromText(Text6->text())) {
        refuseOffset();
        Text6->setFocus();
        return;
    }
    Done();
}

void StationWindow::Done()
{
    if (!UtcOffsetFromText(Text6->text())) {
        s_.prompter.message(UtcOffsetRuleText() + QStringLiteral("\n\n\"%1\" is not such a number, so 0 is stored.")
                                                      .arg(Text6->text()),
                            QStringLiteral("Invalid UTC Offset"), PromptIcon::Exclamation);
        Text6->setText(QStringLiteral("0"));
    }
    for (QLineEdit *e : {Text3, Text4})
        if (!IsNumeric(e->text()))
            e->setText(QStringLiteral("0"));
    SharedPrefs &sp = s_.shared;
    sp.SetSharedPref(QStringLiteral("OWN_CALL"), Text1->text(), false);
    sp.SetSharedPref(QStringLiteral("OWN_SPC"), Text5->text(), false);
    sp.SetSharedPref(QStringLiteral("OWN_UTC"), Text6->text(), false);
    sp.SetSharedPref(QStringLiteral("OWN_COUNTRY"), Text2->text(), false);
    sp.SetSharedPref(QStringLiteral("OWN_LONGITUDE"), Text3->text(), false);
    sp.SetSharedPref(QStringLiteral("OWN_LATITUDE"), Text4->text(), false);
    sp.SetSharedPref(QStringLiteral("OWN_PROVINCE"), Text5->text(), false);
    QString error;
    if (!sp.SetSharedPref(QStringLiteral("OWN_CONTINENT"), Text7->text(), true, &error)) {
        s_.prompter.message(QStringLiteral("Your station details could not be shared with other programs "
                                           "(%1: %2). They are kept in this program.")
                                .arg(sp.SharedPrefsPath, error),
                            QStringLiteral("Shared Preferences Not Saved"), PromptIcon::Exclamation);
    }
    accept();
}

}  // namespace zev
