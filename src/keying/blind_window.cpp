#include "keying/blind_window.h"

#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "keying/cue_player.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace zev {

BlindWindow::BlindWindow(Session &session, CuePlayer &cues, std::function<void()> savePreferences, QWidget *parent)
    : QDialog(parent), s_(session), cues_(cues), savePreferences_(std::move(savePreferences))
{
    setObjectName(QStringLiteral("BlindFrm"));
    setWindowTitle(QStringLiteral("Voice Navigation Settings"));

    auto *frame = new QGroupBox(QStringLiteral("Choose your preferred option:"), this);
    Option1 = new QRadioButton(QStringLiteral("Off"), frame);
    Option2 = new QRadioButton(QStringLiteral("Call Only"), frame);
    Option3 = new QRadioButton(QStringLiteral("All Data Fields"), frame);
    int n = 1;
    auto *options = new QVBoxLayout(frame);
    for (QRadioButton *o : {Option1, Option2, Option3}) {
        o->setObjectName(QStringLiteral("Option%1").arg(n++));
        o->setAccessibleName(o->text());
        options->addWidget(o);
    }
    // Clicks and arrow keys alike speak the choice.
    connect(Option1, &QRadioButton::clicked, this, &BlindWindow::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &BlindWindow::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &BlindWindow::Option3_Click);

    Label7 = new QLabel(QStringLiteral("Put the audio wave files in this program's working directory: ")
                            + QDir::toNativeSeparators(s_.folders.StartDir),
                        this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setTextFormat(Qt::PlainText);
    Label7->setWordWrap(true);

    Command1 = new QPushButton(QStringLiteral("&Done"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("Done"));
    Command1->setAutoDefault(false);
    PressOnReturn(Command1);
    connect(Command1, &QPushButton::clicked, this, &BlindWindow::Command1_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(Label7);
    layout->addLayout(buttons);
}

void BlindWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        SelectCurrentLevel();
}

void BlindWindow::SelectCurrentLevel()
{
    switch (s_.prefs.VoiceNavLevel) {
    case 1:
        Option2->setChecked(true);
        Option2_Click();
        break;
    case 2:
        Option3->setChecked(true);
        Option3_Click();
        break;
    default:
        Option1->setChecked(true);
        Option1_Click();
        break;
    }
}

void BlindWindow::Option1_Click()
{
    cues_.BlindKeyPhone(QStringLiteral("NavDis"));
}

void BlindWindow::Option2_Click()
{
    cues_.BlindKeyPhoneThen(QStringLiteral("NavEn"), QStringLiteral("Call"));
}

void BlindWindow::Option3_Click()
{
    cues_.BlindKeyPhone(QStringLiteral("NavEn"));
}

void BlindWindow::Command1_Click()
{
    s_.prefs.VoiceNavLevel = Option2->isChecked() ? 1 : Option3->isChecked() ? 2 : 0;
    hide();
    QDir::setCurrent(s_.folders.StartDir);
    if (savePreferences_)
        savePreferences_();
}

}  // namespace zev
