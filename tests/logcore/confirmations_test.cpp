// Questions whose Yes destroys data are asked with No as the default answer.

#include "window_harness.h"

using namespace zevtest;

TEST(Confirmations, DestructiveQuestionsDefaultToNo)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    // The start-up question keeps the log on Yes: Enter keeps it.
    ASSERT_EQ(h.prompter.asked.first().title, "Open existing log?");
    EXPECT_EQ(h.prompter.asked.first().defaultAnswer, DefaultAnswer::Yes);

    const QString archived = h.dir.filePath("old.log");
    WriteFile(archived, kThreeContacts);
    struct Case {
        const char *title;
        std::function<void()> ask;
    };
    const Case cases[] = {
        {"Are you sure?", [&] { w.DeleteRecord(1); }},
        {"Are your sure?", [&] { w.mnuRestore_Click(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        h.prompter.asked.clear();
        h.prompter.answers = {false};
        c.ask();
        const auto question = std::find_if(h.prompter.asked.begin(), h.prompter.asked.end(),
                                           [](const Asked &a) { return a.kind == "yesno"; });
        ASSERT_NE(question, h.prompter.asked.end());
        EXPECT_EQ(question->title, c.title);
        EXPECT_EQ(question->defaultAnswer, DefaultAnswer::No);
        EXPECT_EQ(h.session->log.RecordCount(), 3);  // No kept everything
    }
}
