// What the operator hears of the results of their own actions: a contact logged, a
// province total under the pointer.

#include "window_harness.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

using namespace zevtest;

namespace {

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
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

// A window opening or closing over a pointer resting on a cell sends the cell Leave and
// Enter; only a pointer that moves onto a cell has its total read.
TEST(SpokenResults, AProvinceTotalIsReadWhenThePointerMovesNotWhenAWindowUncoversIt)
{
    Harness h;  // ON twice in the log
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    settle();
    QLabel *ontario = w.provinceLabels[5][2];
    const QString total = "  Ontario    Total = 2";
    const QPointF inside(2, 2);
    AccessibilityEvents a11y;
    for (int window = 0; window < 2; ++window) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(ontario, &leave);
        QEnterEvent enter(inside, inside, ontario->mapToGlobal(inside));
        QCoreApplication::sendEvent(ontario, &enter);
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
