#include "frame/prompter_ui.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;

// The box the operator really gets: which answer a hurried Enter (or Esc) gives.
TEST(YesNoBox, EnterGivesTheDefaultAnswerAndEscapeSaysNo)
{
    struct Case {
        DefaultAnswer defaultAnswer;
        Qt::Key key;
        QMessageBox::StandardButton answer;
    };
    const Case cases[] = {
        {DefaultAnswer::No, Qt::Key_Return, QMessageBox::No},
        {DefaultAnswer::No, Qt::Key_Enter, QMessageBox::No},
        {DefaultAnswer::Yes, Qt::Key_Return, QMessageBox::Yes},
        {DefaultAnswer::No, Qt::Key_Escape, QMessageBox::No},
        {DefaultAnswer::Yes, Qt::Key_Escape, QMessageBox::No},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.defaultAnswer) * 100 + int(c.key));
        std::unique_ptr<QMessageBox> box =
            MakeYesNoBox("Are you sure?", "Are you sure?", PromptIcon::Question, c.defaultAnswer, nullptr);
        const QMessageBox::StandardButton expectedDefault =
            c.defaultAnswer == DefaultAnswer::No ? QMessageBox::No : QMessageBox::Yes;
        EXPECT_EQ(box->defaultButton(), box->button(expectedDefault));
        EXPECT_EQ(box->text(), "Are you sure?");
        box->show();
        QApplication::setActiveWindow(box.get());
        QCoreApplication::processEvents();
        // The default button has the focus, so the screen reader names it first.
        EXPECT_EQ(QApplication::focusWidget(), box->button(expectedDefault));
        QTest::keyClick(QApplication::focusWidget(), c.key);
        EXPECT_EQ(box->clickedButton(), box->button(c.answer));
        EXPECT_EQ(box->standardButton(box->clickedButton()), c.answer);
    }
}
