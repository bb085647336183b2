#include "outputs/summary_window.h"

#include "common/file_io.h"
#include "frame/session.h"
#include "frame/text_rules_ui.h"
#include "frame/widget_helpers_ui.h"
#include "frame/window_scaling_ui.h"
#include "outputs/cabrillo.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <tuple>

namespace zev {

namespace {

QRadioButton *Option(const char *name, const QString &caption)
{
    auto *b = new QRadioButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(caption);
    return b;
}

}  // namespace

SummaryWindow::SummaryWindow(Session &session, const QString &mainWindowTitle,
                             const QString &totalScoreText, QWidget *parent)
    : QDialog(parent), s_(session), title_(mainWindowTitle), score_(totalScoreText)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Summary Sheet Information"));

    // Contest
    auto *contestBox = new QGroupBox(QStringLiteral("Contest:"));
    auto *contestLayout = new QVBoxLayout(contestBox);
    auto *contestGroup = new QButtonGroup(this);
    Option15 = Option("Option15", QStringLiteral("ZEV Canada Day Contest"));
    Option12 = Option("Option12", QStringLiteral("ZEV Canada Winter Contest"));
    for (QRadioButton *b : {Option15, Option12}) {
        contestGroup->addButton(b);
        contestLayout->addWidget(b);
    }
    Option15->setChecked(true);

    // Category
    auto *categoryBox = new QGroupBox(QStringLiteral("Category:"));
    auto *categoryLayout = new QVBoxLayout(categoryBox);
    auto *categoryGroup = new QButtonGroup(this);
    for (size_t i = 0; i < categoryOptions.size(); ++i) {
        const CabrilloCategory &c = CabrilloCategories()[i];
        categoryOptions[i] = Option(c.control, c.caption);
        categoryGroup->addButton(categoryOptions[i]);
        categoryLayout->addWidget(categoryOptions[i]);
    }
    categoryOptions[0]->setChecked(true);

    // Band: "All" on its own row, then the eight bands in two rows of four.
    auto *bandBox = new QGroupBox(QStringLiteral("Band"));
    auto *bandLayout = new QGridLayout(bandBox);
    auto *bandGroup = new QButtonGroup(this);
    for (size_t i = 0; i < bandOptions.size(); ++i) {
        const CabrilloBandOption &b = CabrilloBandOptions()[i];
        bandOptions[i] = Option(b.control, b.caption);
        bandGroup->addButton(bandOptions[i]);
        if (i == 0)
            bandLayout->addWidget(bandOptions[i], 0, 0, 1, 4);
        else
            bandLayout->addWidget(bandOptions[i], 1 + int(i - 1) / 4, int(i - 1) % 4);
    }
    bandOptions[0]->setChecked(true);

    // Format, and what only the 3.0 file carries
    auto *formatBox = new QGroupBox(QStringLiteral("Format:"));
    auto *formatLayout = new QHBoxLayout(formatBox);
    auto *formatGroup = new QButtonGroup(this);
    optCabrillo3 = Option("optCabrillo3", QStringLiteral("Cabrillo 3.0"));
    optCabrillo2 = Option("optCabrillo2", QStringLiteral("Cabrillo 2.0"));
    for (QRadioButton *b : {optCabrillo3, optCabrillo2}) {
        formatGroup->addButton(b);
        formatLayout->addWidget(b);
    }
    txtContestName = new QLineEdit;
    txtContestName->setObjectName(QStringLiteral("txtContestName"));
    txtContestName->setAccessibleName(QStringLiteral("Contest Name:"));
    txtContestName->setAccessibleDescription(
        QStringLiteral("The contest's name on the Cabrillo 3.0 file, as the sponsor's robot asks for it"));
    txtContestName->setMaxLength(kContestNameMaxLength);
    auto *contestNameLabel = new QLabel(QStringLiteral("Contest Name:"));
    contestNameLabel->setBuddy(txtContestName);
    cboStationCategory = new QComboBox;
    cboStationCategory->setObjectName(QStringLiteral("cboStationCategory"));
    cboStationCategory->setAccessibleName(QStringLiteral("Station Category:"));
    for (const QString &station : CabrilloStationCategories())
        cboStationCategory->addItem(station);
    auto *stationLabel = new QLabel(QStringLiteral("Station Category:"));
    stationLabel->setBuddy(cboStationCategory);
    auto *format3 = new QFormLayout;
    format3->addRow(contestNameLabel, txtContestName);
    format3->addRow(stationLabel, cboStationCategory);

    auto *left = new QVBoxLayout;
    left->addWidget(contestBox);
    left->addWidget(formatBox);
    left->addLayout(format3);
    left->addWidget(bandBox);
    left->addStretch(1);
    auto *choices = new QHBoxLayout;
    choices->addLayout(left);
    choices->addWidget(categoryBox, 1);

    // Submission details
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    auto box = [this](QLineEdit *&e, const char *name, const QString &label) {
        e = new QLineEdit;
        e->setObjectName(QLatin1String(name));
        e->setAccessibleName(label);
        auto *l = new QLabel(label);
        l->setBuddy(e);
        return l;
    };
    for (auto [edit, name, label] : {
             std::tuple{&Text1, "Text1", QStringLiteral("Operators:")},
             std::tuple{&Text2, "Text2", QStringLiteral("Club:")},
             std::tuple{&Text5, "Text5", QStringLiteral("Your Name:")},
             std::tuple{&Text6, "Text6", QStringLiteral("Address Line 1:")},
             std::tuple{&Text7, "Text7", QStringLiteral("Address Line 2:")},
             std::tuple{&Text8, "Text8", QStringLiteral("Email Address:")},
         }) {
        QLabel *l = box(*edit, name, label);
        form->addRow(l, *edit);
    }
    QLabel *soapboxLabel =
        box(Text11, "Text11",
            QStringLiteral("Soapbox (Add any comments you would like to make about the contest):"));
    soapboxLabel->setWordWrap(true);
    Text1->installEventFilter(this);
    // Pasted text obeys the typing rules, on one line and in characters the file can hold.
    for (auto [edit, kind] : {std::pair{Text1, TextKind::Operators}, std::pair{Text2, TextKind::Detail},
                              std::pair{Text5, TextKind::Detail}, std::pair{Text6, TextKind::Detail},
                              std::pair{Text7, TextKind::Detail}, std::pair{Text8, TextKind::Detail},
                              std::pair{Text11, TextKind::Soapbox}})
        FollowTextRules(edit, kind, [this] { s_.prompter.beep(); });

    Command3 = new QPushButton(QStringLiteral("Done"));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAccessibleName(QStringLiteral("Done"));
    Command4 = new QPushButton(QStringLiteral("Write Cabrillo File"));
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setAccessibleName(QStringLiteral("Write Cabrillo File"));
    // Enter in a box should not write or close anything by surprise.
    for (QPushButton *b : {Command3, Command4}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        PressOnReturn(b);
    }
    connect(Command3, &QPushButton::clicked, this, [this] {
        QString error;
        if (!storeChoices(&error)) {
            s_.prompter.message(QStringLiteral("The Cabrillo format, contest name and station category could not "
                                               "be saved for the next time (%1: %2). The choices saved before "
                                               "are kept.")
                                    .arg(QDir::toNativeSeparators(s_.registry.fileName()), error),
                                QStringLiteral("Details Not Saved"), PromptIcon::Exclamation);
        }
        accept();
    });
    connect(Command4, &QPushButton::clicked, this, &SummaryWindow::Command4_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command4);
    buttons->addWidget(Command3);

    auto *v = new QVBoxLayout(this);
    v->addLayout(choices);
    v->addSpacing(6);
    v->addLayout(form);
    v->addWidget(soapboxLabel);
    v->addWidget(Text11);
    v->addSpacing(6);
    v->addStretch(1);
    v->addLayout(buttons);
    FitToScreen(this, 5600, 5000, true);

    ShowAsIs(Text1, s_.prefs.MyCall + QLatin1Char(' '));
    Registry &reg = s_.registry;
    ShowAsIs(Text2, reg.value(QStringLiteral("UserClubName")));
    ShowAsIs(Text5, reg.value(QStringLiteral("UserAddressName")));
    ShowAsIs(Text6, reg.value(QStringLiteral("UserAddressLine1")));
    ShowAsIs(Text7, reg.value(QStringLiteral("UserAddressLine2")));
    ShowAsIs(Text8, reg.value(QStringLiteral("UserEMail")));

    const SubmissionChoices kept = LoadSubmissionChoices(reg);
    (kept.version3 ? optCabrillo3 : optCabrillo2)->setChecked(true);
    typedNames_[0] = kept.dayContestName;
    typedNames_[1] = kept.winterContestName;
    cboStationCategory->setCurrentText(kept.stationCategory);
    showContestName();
    formatChanged();
    connect(Option12, &QRadioButton::toggled, this, &SummaryWindow::showContestName);
    connect(txtContestName, &QLineEdit::textEdited, this, &SummaryWindow::contestNameEdited);
    connect(optCabrillo3, &QRadioButton::toggled, this, &SummaryWindow::formatChanged);

    // Keyboard order: what the file is, then who sent it.
    QList<QWidget *> order{Option15, Option12, optCabrillo3, optCabrillo2, txtContestName, cboStationCategory};
    for (QRadioButton *b : categoryOptions)
        order << b;
    for (QRadioButton *b : bandOptions)
        order << b;
    order << Text1 << Text2 << Text5 << Text6 << Text7 << Text8 << Text11 << Command4 << Command3;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool SummaryWindow::winter() const
{
    return Option12->isChecked();
}

void SummaryWindow::showContestName()
{
    const QString typed = typedNames_[winter() ? 1 : 0];
    txtContestName->setText(typed.isEmpty() ? DefaultContestName(winter()) : typed);
}

void SummaryWindow::contestNameEdited(const QString &text)
{
    const QString clean = CleanContestName(text);
    if (clean != text) {
        // Only what a robot takes: the rest is dropped where it was typed.
        const int cursor = txtContestName->cursorPosition();
        const int dropped = int(text.size() - clean.size());
        txtContestName->setText(clean);
        txtContestName->setCursorPosition(qBound(0, cursor - dropped, int(clean.size())));
        if (clean.compare(text, Qt::CaseInsensitive) != 0)
            s_.prompter.beep();
    }
    // The contest's own name, or nothing, goes back to following the contest.
    typedNames_[winter() ? 1 : 0] = clean == DefaultContestName(winter()) ? QString() : clean;
}

void SummaryWindow::formatChanged()
{
    const bool v3 = optCabrillo3->isChecked();
    txtContestName->setEnabled(v3);
    cboStationCategory->setEnabled(v3);
}

bool SummaryWindow::storeChoices(QString *error)
{
    SubmissionChoices c;
    c.version3 = optCabrillo3->isChecked();
    c.winterContest = winter();
    c.dayContestName = typedNames_[0];
    c.winterContestName = typedNames_[1];
    c.stationCategory = cboStationCategory->currentText();
    return StoreSubmissionChoices(s_.registry, c, error);
}

bool SummaryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        const QString t = k->text();
        if (t.size() == 1 && t[0] >= QLatin1Char('a') && t[0] <= QLatin1Char('z')
            && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            Text1->insert(t.toUpper());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QByteArray SummaryWindow::cabrilloBytes() const
{
    CabrilloHeader h;
    h.mainWindowTitle = title_;
    h.winterContest = Option12->isChecked();
    for (size_t i = 0; i < categoryOptions.size(); ++i) {
        if (categoryOptions[i]->isChecked()) {
            h.operatorWord = CabrilloCategories()[i].operatorWord;
            h.powerWord = CabrilloCategories()[i].powerWord;
        }
    }
    for (size_t i = 0; i < bandOptions.size(); ++i)
        if (bandOptions[i]->isChecked())
            h.bandWord = CabrilloBandOptions()[i].caption;
    h.scoreText = score_;
    h.club = Text2->text();
    h.name = Text5->text();
    h.address1 = Text6->text();
    h.address2 = Text7->text();
    h.email = Text8->text();
    h.operators = Text1->text();
    h.soapbox = Text11->text();
    const Preferences &p = s_.prefs;
    const CabrilloStation station{p.MyCall, p.MyProvince, p.InCanada != 0};
    if (optCabrillo2->isChecked())
        return CabrilloText(h, station, s_.log.records());

    const CabrilloCategory *category = &CabrilloCategories()[0];
    for (size_t i = 0; i < categoryOptions.size(); ++i)
        if (categoryOptions[i]->isChecked())
            category = &CabrilloCategories()[i];
    Cabrillo3Choices words = Cabrillo3Words(*category, h.bandWord);
    words.contestName = txtContestName->text();
    words.stationWord = cboStationCategory->currentText();
    return Cabrillo3Text(h, words, station, s_.log.records());
}

void SummaryWindow::Command4_Click()
{
    s_.prefs.MyCall = s_.prefs.MyCall.trimmed();
    const std::optional<QString> path = s_.prompter.saveFile(
        QStringLiteral("Write Cabrillo File"),
        s_.folders.ProgramDataFolder + QLatin1Char('/') + CallFileStem(s_.prefs.MyCall) + QStringLiteral(".log"),
        QStringLiteral("LOG Files (*.log)"), true);
    if (!path)
        return;

    QString error;
    if (!WriteFileAtomic(*path, cabrilloBytes(), &error)) {
        s_.prompter.beep();
        s_.prompter.message(QStringLiteral("The Cabrillo file was not written: %1 could not be written (%2). "
                                           "A file of that name from before, if any, is kept as it was.")
                                .arg(QDir::toNativeSeparators(*path), error),
                            QStringLiteral("Unable to write file."), PromptIcon::Exclamation);
        return;
    }
    s_.prompter.message(QStringLiteral("The file was successfully written to the directory:\n\n%1.\n\n"
                                       "Attach this file to an e-mail addressed for contest submission.  "
                                       "If you wish to print this file, you can open it with Notepad or "
                                       "Wordpad to print.")
                            .arg(QDir::toNativeSeparators(*path)),
                        QStringLiteral("File Written Successfully."), PromptIcon::Information);
    Command3->setFocus();
    storeSubmissionDetails();
}

void SummaryWindow::storeSubmissionDetails()
{
    const QString name = Text5->text().trimmed();
    const QString line1 = Text6->text().trimmed();
    const QString line2 = Text7->text().trimmed();
    const QString email = Text8->text().trimmed();
    const QString club = Text2->text().trimmed();
    Registry &reg = s_.registry;
    QString regError;
    for (const auto &[key, value] : {std::pair{QStringLiteral("UserAddressName"), name},
                                     std::pair{QStringLiteral("UserAddressLine1"), line1},
                                     std::pair{QStringLiteral("UserAddressLine2"), line2},
                                     std::pair{QStringLiteral("UserEMail"), email},
                                     std::pair{QStringLiteral("UserClubName"), club}}) {
        QString why;
        if (!reg.setValue(key, value, &why) && regError.isEmpty())
            regError = why;
    }
    QString why;
    if (!storeChoices(&why) && regError.isEmpty())
        regError = why;
    if (!regError.isEmpty()) {
        s_.prompter.message(QStringLiteral("Your name, address, club and Cabrillo choices could not be saved for "
                                           "the next time "
                                           "(%1: %2). The Cabrillo file is written; the details saved before "
                                           "are kept.")
                                .arg(QDir::toNativeSeparators(reg.fileName()), regError),
                            QStringLiteral("Details Not Saved"), PromptIcon::Exclamation);
    }

    SharedPrefs &sp = s_.shared;
    sp.SetSharedPref(QStringLiteral("OWN_ADDRESS_NAME"), name, false);
    sp.SetSharedPref(QStringLiteral("OWN_ADDRESS_LINE1"), line1, false);
    sp.SetSharedPref(QStringLiteral("OWN_ADDRESS_LINE2"), line2, false);
    sp.SetSharedPref(QStringLiteral("OWN_EMAIL"), email, false);
    QString error;
    if (!sp.SetSharedPref(QStringLiteral("OWN_CLUB_NAME"), club, true, &error)) {
        s_.prompter.message(QStringLiteral("Your name, address and club could not be shared with other programs "
                                           "(%1: %2). The Cabrillo file is written, the shared file is kept as "
                                           "it was, and the details are kept in this program.")
                                .arg(QDir::toNativeSeparators(sp.SharedPrefsPath), error),
                            QStringLiteral("Shared Preferences Not Saved"), PromptIcon::Exclamation);
    }
}

}  // namespace zev
