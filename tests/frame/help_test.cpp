#include "frame/help_text.h"
#include "frame/help_window.h"
#include "window_harness.h"

#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace zev;
using namespace zevtest;

TEST(Help, NamesThisRunsFoldersAndTheKeysOfAContest)
{
    Folders f;
    f.StartDir = "/home/op/ZEVLog";
    f.ProgramDataFolder = "/home/op/Documents/Velko Software/ZEV";
    f.SharedFolder = "/home/op/Documents/Velko Software/Shared";
    const QString text = HelpText(f);
    for (const char *expected : {"/home/op/ZEVLog", "/home/op/Documents/Velko Software/ZEV/BACKUP",
                                 "/home/op/Documents/Velko Software/Shared", "Alt+L", "F12", "Ctrl+G", "Alt+Down", "log.txt"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
}

TEST(Help, TheMenuShowsTheWorkingFolderInANamedTextBox)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    auto *help = w.findChild<QAction *>("mnuHelp");
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(help->isEnabled());
    QString shown, name;
    h.otherModal = [&](QDialog &d) {
        if (auto *hw = qobject_cast<HelpWindow *>(&d)) {
            shown = hw->txtHelp->toPlainText();
            name = hw->txtHelp->accessibleName();
            hw->cmdClose->click();
        }
    };
    help->trigger();
    EXPECT_TRUE(shown.contains(QDir::toNativeSeparators(h.folders.StartDir))) << shown.toStdString();
    EXPECT_EQ(name, "Help");
}
