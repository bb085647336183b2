#include "keying/code_practice_window.h"

#include "frame/widget_helpers_ui.h"
#include "keying/code_practice.h"
#include "keying/keying_controller.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace zev {

CodePracticeWindow::CodePracticeWindow(KeyingController &keying, QWidget *parent)
    : QDialog(parent), keying_(keying)
{
    setObjectName(QStringLiteral("frmCodePractice"));
    setWindowTitle(QStringLiteral("On the Air Code Practice"));

    Text1 = new QPlainTextEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Text to Send"));
    Text1->setTabChangesFocus(true);
    Text1->installEventFilter(this);
    Text2 = new QPlainTextEdit;
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Text Sent"));
    Text2->setReadOnly(true);
    Text2->setTabChangesFocus(true);
    Text5 = new QLineEdit;
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->setAccessibleName(QStringLiteral("Type characters here to send text from keyboard:"));
    Text5->installEventFilter(this);
    Text3 = new QLineEdit(QStringLiteral("10"));
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setAccessibleName(QStringLiteral("Number of groups"));
    Text4 = new QLineEdit(QStringLiteral("5"));
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setAccessibleName(QStringLiteral("Characters per group"));
    for (QLineEdit *e : {Text3, Text4})
        e->setMaxLength(4);
    Option1 = new QRadioButton(QStringLiteral("Letters Only"));
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("All"));
    Option2->setObjectName(QStringLiteral("Option2"));
    Option2->setChecked(true);
    for (QRadioButton *b : {Option1, Option2})
        b->setAccessibleName(QStringLiteral("Include: ") + b->text());
    Label8 = new QLabel;
    Label8->setObjectName(QStringLiteral("Label8"));
    // Reached with Tab, so the speed can be checked at any time.
    Label8->setFocusPolicy(Qt::TabFocus);
    MakeNotification(Label8);
    showSpeed(keying_.settings.speed);

    Command1 = MakeButton("Command1", QStringLiteral("&Paste from Clipboard"));
    Command2 = MakeButton("Command2", QStringLiteral("&Generate Random Characters"));
    Command3 = MakeButton("Command3", QStringLiteral("&Send"));
    Command4 = MakeButton("Command4", QStringLiteral("S&top"));
    Command5 = MakeButton("Command5", QStringLiteral("Cl&ear"), QStringLiteral("Clear the text sent"));
    Command6 = MakeButton("Command6", QStringLiteral("&Clear"), QStringLiteral("Clear the text to send"));
    Command7 = MakeButton("Command7", QStringLiteral("&Faster"));
    Command8 = MakeButton("Command8", QStringLiteral("S&lower"));
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (QClipboard *c = QGuiApplication::clipboard())
            Text1->setPlainText(c->text());
    });
    connect(Command2, &QPushButton::clicked, this, &CodePracticeWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &CodePracticeWindow::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &CodePracticeWindow::Command4_Click);
    connect(Command5, &QPushButton::clicked, Text2, &QPlainTextEdit::clear);
    connect(Command6, &QPushButton::clicked, Text1, &QPlainTextEdit::clear);
    connect(Command7, &QPushButton::clicked, &keying_, &KeyingController::UpDown1_UpClick);
    connect(Command8, &QPushButton::clicked, &keying_, &KeyingController::UpDown1_DownClick);
    connect(&keying_, &KeyingController::speedChanged, this, [this](const QString &speed) {
        showSpeed(speed);
        Announce(Label8, true);
    });

    pace_ = new QTimer(this);
    pace_->setInterval(5);
    connect(pace_, &QTimer::timeout, this, &CodePracticeWindow::step);

    auto *generate = new QHBoxLayout;
    generate->addWidget(new QLabel(QStringLiteral("Generate")));
    generate->addWidget(Text3);
    generate->addWidget(new QLabel(QStringLiteral("groups of")));
    generate->addWidget(Text4);
    generate->addWidget(new QLabel(QStringLiteral("characters each.")));
    generate->addStretch(1);
    auto *include = new QGroupBox(QStringLiteral("Include:"));
    auto *includeLayout = new QHBoxLayout(include);
    includeLayout->addWidget(Option1);
    includeLayout->addWidget(Option2);
    auto *speed = new QHBoxLayout;
    speed->addWidget(Command7);
    speed->addWidget(Command8);
    speed->addWidget(Label8);
    speed->addWidget(new QLabel(QStringLiteral("WPM")));
    speed->addStretch(1);
    auto *sendRow = new QHBoxLayout;
    for (QPushButton *b : {Command3, Command4, Command6, Command1})
        sendRow->addWidget(b);
    sendRow->addStretch(1);
    auto *v = new QVBoxLayout(this);
    auto *toSend = new QLabel(QStringLiteral("Text to Send"));
    toSend->setBuddy(Text1);
    v->addWidget(toSend);
    v->addWidget(Text1, 2);
    v->addLayout(sendRow);
    auto *sent = new QLabel(QStringLiteral("Text Sent"));
    sent->setBuddy(Text2);
    v->addWidget(sent);
    v->addWidget(Text2, 1);
    v->addWidget(Command5, 0, Qt::AlignLeft);
    auto *typing = new QLabel(QStringLiteral("Type characters here to send text from keyboard:"));
    typing->setBuddy(Text5);
    v->addWidget(typing);
    v->addWidget(Text5);
    v->addLayout(generate);
    auto *genRow = new QHBoxLayout;
    genRow->addWidget(include);
    genRow->addWidget(Command2);
    genRow->addStretch(1);
    v->addLayout(genRow);
    v->addLayout(speed);
}

CodePracticeWindow::~CodePracticeWindow()
{
    pace_->stop();
    keying_.buffer().clear();
}

void CodePracticeWindow::showSpeed(const QString &speed)
{
    Label8->setText(speed);
    // Said as read on screen with the caption beside it.
    Label8->setAccessibleName(speed + QStringLiteral(" WPM"));
}

void CodePracticeWindow::Command2_Click()
{
    const PracticeShape shape = CheckPracticeShape(Text3->text(), Text4->text());
    Text3->setText(shape.groupsText);
    Text4->setText(shape.sizeText);
    QRandomGenerator random(quint32(QDateTime::currentMSecsSinceEpoch()));
    Text1->setPlainText(RandomGroups(shape.groups, shape.size, Option1->isChecked(), random));
}

void CodePracticeWindow::Command3_Click()
{
    Text1->setFocus();
    position_ = 0;
    pace_->start();
    step();
}

void CodePracticeWindow::step()
{
    if (position_ < 0) {
        pace_->stop();
        return;
    }
    // One character at a time, queued as soon as the engine has taken the last one, so the
    // engine finds it when the character in progress ends and the letters go back to back.
    // A WinKeyer takes a character only when it has room: there the last must be keyed.
    if (!keying_.buffer().isEmpty())
        return;
    if (keying_.settings.keyingLine == kKeyWinKey && keying_.CWSending())
        return;
    // The text may have been edited while sending.
    const QString text = Text1->toPlainText();
    if (position_ >= text.size()) {
        position_ = -1;
        pace_->stop();
        return;
    }
    const QString c = text.mid(position_, 1);
    keying_.buffer().set(c);
    if (!keying_.CWSending())
        keying_.LoopThroughCWBuffer();
    appendSent(c);
    ++position_;
    QTextCursor cursor = Text1->textCursor();
    cursor.setPosition(std::min(position_, int(text.size())));
    Text1->setTextCursor(cursor);
}

void CodePracticeWindow::appendSent(const QString &c)
{
    QTextCursor end = Text2->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertText(c);
    Text2->setTextCursor(end);
}

void CodePracticeWindow::Command4_Click()
{
    position_ = -1;
    pace_->stop();
    keying_.stopSending();
}

bool CodePracticeWindow::refuseClose()
{
    const bool busy = keying_.CWSending();
    Command4_Click();
    return busy;
}

void CodePracticeWindow::closeEvent(QCloseEvent *event)
{
    if (refuseClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CodePracticeWindow::reject()
{
    // Escape and the title bar: the same refusal while a character is on the air.
    if (refuseClose())
        return;
    QDialog::reject();
}

bool CodePracticeWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *k = static_cast<QKeyEvent *>(event);
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab || k->key() == Qt::Key_Escape)
        return QDialog::eventFilter(watched, event);
    if (watched == Text5) {
        if (k->key() == Qt::Key_Backspace) {
            keying_.buffer().removeLast();
            QString sent = Text2->toPlainText();
            if (!sent.isEmpty()) {
                sent.chop(1);
                Text2->setPlainText(sent);
            }
            return true;
        }
        const QString text = k->text().toUpper();
        if (!text.isEmpty() && !(k->modifiers() & Qt::ControlModifier)) {
            const bool idle = !keying_.CWSending();
            keying_.buffer().append(text);
            appendSent(text);
            if (idle)
                keying_.LoopThroughCWBuffer();
        }
        return true;  // the typed key is sent, not kept in the box
    }
    if (watched == Text1 && !(k->modifiers() & Qt::ControlModifier) && !k->text().isEmpty() &&
        k->text() != k->text().toUpper()) {
        Text1->insertPlainText(k->text().toUpper());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zev
