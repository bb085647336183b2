#include "keying/cw_strings_window.h"

#include "keying/keying_controller.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zev {

CwStringsWindow::CwStringsWindow(KeyingController &keying, QWidget *parent)
    : QWidget(parent, Qt::Window), keying_(keying)
{
    setObjectName(QStringLiteral("frmCWStrings"));
    setWindowTitle(QStringLiteral("CW Strings"));
    auto *grid = new QGridLayout;
    for (int i = 0; i < 12; ++i) {
        auto *key = new QLabel(QStringLiteral("F%1").arg(i + 1));
        key->setObjectName(QStringLiteral("Label1_%1").arg(i));
        key->installEventFilter(this);
        Label1[size_t(i)] = key;
        // A flat button: the screen reader and the keyboard reach each message.
        auto *message = new QPushButton;
        message->setObjectName(QStringLiteral("lblCWString_%1").arg(i));
        message->setFlat(true);
        message->setAutoDefault(false);
        message->setStyleSheet(QStringLiteral("text-align: left;"));
        message->installEventFilter(this);
        connect(message, &QPushButton::clicked, this, [this, i] { rowClicked(i); });
        key->setBuddy(message);
        lblCWString[size_t(i)] = message;
        grid->addWidget(key, i, 0);
        grid->addWidget(message, i, 1);
    }
    grid->setColumnStretch(1, 1);
    // Room for a message of a typical length even while the keys are empty.
    setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    Command1 = new QPushButton(QStringLiteral("Done"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("Done"));
    Command1->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, &QWidget::showMinimized);
    auto *v = new QVBoxLayout(this);
    v->addLayout(grid);
    v->addWidget(new QLabel(QStringLiteral("Press Ctrl W to Show this form.")));
    v->addWidget(Command1, 0, Qt::AlignRight);
    showMessages();
}

void CwStringsWindow::showMessages()
{
    for (int i = 0; i < 12; ++i) {
        // The operator's own text, shown as typed: an "&" is not a mnemonic.
        const QString text = i < 11 ? keying_.settings.messages[size_t(i)] : QStringLiteral("Keyboard");
        lblCWString[size_t(i)]->setText(QString(text).replace(QLatin1Char('&'), QLatin1String("&&")));
        lblCWString[size_t(i)]->setAccessibleName(
            QStringLiteral("F%1: %2").arg(i + 1).arg(text.isEmpty() ? QStringLiteral("empty") : text));
    }
}

void CwStringsWindow::rowClicked(int i)
{
    if (keying_.settings.keyingLine == 0)
        return;
    if (i < 11)
        keying_.sendMessage(i + 1);
}

bool CwStringsWindow::escapeCloses(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *k = static_cast<QKeyEvent *>(event);
    if (k->key() != Qt::Key_Escape || (k->modifiers() & ~Qt::KeypadModifier) || keying_.onTheAir())
        return false;
    // Nothing to stop: Escape puts the window away instead of emptying the logging
    // window's boxes behind it. While sending it stops the sending, as everywhere.
    keying_.disarmRepeat();
    close();
    return true;
}

bool CwStringsWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        showMessages();
    if (escapeCloses(event))
        return true;
    if (event->type() == QEvent::KeyPress && forwardKey && forwardKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QWidget::event(event);
}

bool CwStringsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 12; ++i)
            if (watched == Label1[size_t(i)]) {
                rowClicked(i);
                return true;
            }
    }
    if (escapeCloses(event))
        return true;
    if (event->type() == QEvent::KeyPress && forwardKey && forwardKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

}  // namespace zev
