// What the operator hears of the results of their own actions: a contact logged, a
// province total under the pointer.

#include "window_harness.h"

#include <QAccessible>
#include <QCursor>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <chrono>

using namespace zevtest;

namespace {

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// The logging window as the operator has it: the existing log opened, the window active.
MainWindow &OpenLog(Harness &h)
{
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    settle();
    return w;
}

// Every notification read, whichever label it came from.
QStringList AllSpoken(const AccessibilityEvents &a11y)
{
    QStringList out;
    for (const AccessibilityEvents::Event &e : a11y.events)
        if (e.type == QAccessible::ObjectShow && e.role == QAccessible::Notification)
            out << e.name;
    return out;
}

}  // namespace

TEST(SpokenResults, LoggingSaysTheCallAndTheNewScoreOnlyWhenLogged)
{
    struct Case {
        const char *what;
        const char *call;
        const char *exchange;
        bool logged;
    };
    const Case cases[] = {
        {"a new contact", "VE3ABC", "QC", true},
        {"a duplicate", "W1AW", "12", false},      // W1AW is in the log on 20 m CW
        {"a bad province", "VE3ABC", "XX", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Preferences p = Harness::basePrefs();
        p.CurrentMode = "CW";
        p.CurrentBand = "20";
        Harness h(p);
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        w.dupeHoldMs = 0;
        w.cmdLogOn_Click();
        settle();
        const QString scoreBefore = w.scoreLabel->text();
        auto *logged = w.findChild<QLabel *>(QStringLiteral("lblLogged"));
        ASSERT_NE(logged, nullptr);
        w.callBox->setText(c.call);
        w.reportRcvdBox->setText("599");
        w.exchangeBox->setText(c.exchange);
        w.reportSentBox->setText("599");
        w.exchangeBox->setFocus();
        AccessibilityEvents a11y;
        QTest::keyClick(w.exchangeBox, Qt::Key_Return);
        settle();
        if (c.logged) {
            ASSERT_NE(w.scoreLabel->text(), scoreBefore);
            const QString said = QStringLiteral("%1 logged, score %2").arg(c.call, w.scoreLabel->text());
            EXPECT_EQ(a11y.spoken(logged), QStringList{said});
            // One message, said once.
            EXPECT_EQ(AllSpoken(a11y), QStringList{said});
        } else {
            EXPECT_EQ(a11y.spoken(logged), QStringList());
            EXPECT_FALSE(AllSpoken(a11y).join(' ').contains("logged"));
        }
    }
}

// A window opening or closing over a pointer resting on a cell sends the cell Leave, Enter
// and a move to where it already was; only a pointer that moves has its total read.
TEST(SpokenResults, AProvinceTotalIsReadWhenThePointerMovesNotWhenAWindowComesOrGoes)
{
    Harness h;  // ON twice in the log
    MainWindow &w = OpenLog(h);
    QLabel *ontario = w.provinceLabels[5][2];
    const QString total = "  Ontario    Total = 2";
    const QPointF inside(2, 2);
    const QPoint over = ontario->mapToGlobal(inside.toPoint());
    QCursor::setPos(over);
    ASSERT_EQ(QCursor::pos(), over);
    AccessibilityEvents a11y;
    for (QEvent::Type window : {QEvent::Show, QEvent::WindowBlocked, QEvent::WindowUnblocked}) {
        QEvent came(window);
        QCoreApplication::sendEvent(&w, &came);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(ontario, &leave);
        QEnterEvent enter(inside, inside, over);
        QCoreApplication::sendEvent(ontario, &enter);
        QMouseEvent still(QEvent::MouseMove, inside, over, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(ontario, &still);
        settle();
        EXPECT_EQ(w.dupeLine->text(), total);
    }
    EXPECT_EQ(a11y.spoken(w.dupeLine), QStringList());

    for (int move = 0; move < 2; ++move) {
        const QPointF at(3 + move, 3);
        QMouseEvent e(QEvent::MouseMove, at, ontario->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(ontario, &e);
        settle();
    }
    EXPECT_EQ(w.dupeLine->text(), total);
    EXPECT_EQ(a11y.spoken(w.dupeLine), QStringList{total});
}

// A blank message line is no message: shown with the window, or left blank while a call is
// typed, it must not reach the screen reader as an empty notification.
TEST(SpokenResults, NoEmptyNotificationAsTheWindowShowsOrWhileTyping)
{
    AccessibilityEvents a11y;
    Harness h;
    MainWindow &w = OpenLog(h);
    w.cmdLogOn_Click();
    typeKeys("VE");
    settle();
    int shown = 0;
    for (const AccessibilityEvents::Event &e : a11y.events)
        if (e.type == QAccessible::ObjectShow && e.role == QAccessible::Notification) {
            ++shown;
            EXPECT_FALSE(e.name.trimmed().isEmpty()) << (e.object ? e.object->objectName().toStdString() : "");
        }
    EXPECT_GT(shown, 0);

    // Once it has said something, the line stays a notification when it is emptied.
    QLabel *ontario = w.provinceLabels[5][2];
    const QPointF at(3, 3);
    QMouseEvent move(QEvent::MouseMove, at, ontario->mapToGlobal(at) + QPointF(1, 0), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(ontario, &move);
    settle();
    ASSERT_EQ(a11y.spoken(w.dupeLine), QStringList{"  Ontario    Total = 2"});
    w.cmdClear_Click();
    EXPECT_EQ(w.dupeLine->text(), "");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.dupeLine)->role(), QAccessible::Notification);
}

// A screen reader on a busy machine reads an announced message when it gets to it, which
// can be after the next keys have blanked the line ("VE3": a digit in third place).
TEST(SpokenResults, AMessageBlankedByTheNextKeysIsStillReadAsAnnouncedForAMoment)
{
    using namespace std::chrono_literals;
    struct Restore {
        ~Restore() { SetNotificationGrace(3000ms); }
    } restore;
    AccessibilityEvents a11y;
    Harness h;
    MainWindow &w = OpenLog(h);
    // No Time On yet: the first key asks for it.
    typeKeys("V");
    settle();
    const QString asked = QStringLiteral("Click Log \"Time On\"!");
    const QStringList heard = a11y.spoken(w.messageLine);
    ASSERT_FALSE(heard.isEmpty());
    ASSERT_EQ(heard.last(), asked);
    QAccessibleInterface *line = QAccessible::queryAccessibleInterface(w.messageLine);
    ASSERT_NE(line, nullptr);

    typeKeys("E3");
    ASSERT_EQ(w.messageLine->text().trimmed(), "");
    EXPECT_EQ(line->text(QAccessible::Name), asked);
    settle();
    EXPECT_EQ(line->text(QAccessible::Name), asked);
    EXPECT_EQ(a11y.spoken(w.messageLine), heard) << "a blank line is announced";

    // Past the moment, a blank line is blank to the screen reader too.
    SetNotificationGrace(0ms);
    EXPECT_EQ(line->text(QAccessible::Name).trimmed(), "");
    // And a line with a message always names that message.
    SetNotificationGrace(3000ms);
    typeKeys("Z");
    EXPECT_EQ(w.messageLine->text(), asked);
    EXPECT_EQ(line->text(QAccessible::Name), asked);
}
