// The real input box: a pasted answer is one line of text the files can hold.

#include "frame/prompter_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zev;

TEST(InputBox, PastedAnswerIsOneLineOfStorableText)
{
    struct Case {
        QString pasted;
        QString answer;
    };
    const Case cases[] = {
        {"YES\r\n", "YES"},
        // A character no file can hold turns the paste away: the answer stays as it was.
        {QString::fromUtf8("100 W\t\u20ac"), "no"},
        {"100 W\t", "100 W"},
        {QString(400, QLatin1Char('z')), QString(250, QLatin1Char('z'))},
    };
    for (const Case &c : cases) {
        DialogPrompter prompter;
        QString shown;
        // The box is modal: act on it once it is up.
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            auto *edit = box->findChild<QLineEdit *>();
            ASSERT_NE(edit, nullptr);
            QGuiApplication::clipboard()->setText(c.pasted);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            shown = edit->text();
            box->accept();
        });
        // Never left hanging should the box not be found.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget *m = QApplication::activeModalWidget())
                m->close();
        });
        guard.start(5000);
        const std::optional<QString> answer = prompter.input("Type YES", "Question", "no");
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(*answer, c.answer);
        EXPECT_EQ(shown, c.answer);
    }
}
