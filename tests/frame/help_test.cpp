#include "frame/help_text.h"
#include "frame/help_window.h"
#include "keying/keying_keys_ui.h"
#include "window_harness.h"

#include <QAction>
#include <QDir>
#include <QFile>
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

// An operator learns the keys from the README's table or from Help: every Ctrl key the
// logging window answers, and the two meanings of Up and Down, are in both.
TEST(Help, TheReadmeKeyTableAndHelpNameEveryWindowKey)
{
    QFile readme(QStringLiteral(ZEV_FIXTURES "/../../README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    QString table;
    bool inTable = false;
    for (const QString &line : QString::fromUtf8(readme.readAll()).split('\n')) {
        if (line.startsWith(QLatin1String("Keys of a contest")))
            inTable = true;
        else if (inTable && line.startsWith(QLatin1String("|")))
            table += line + '\n';
        else if (inTable && !table.isEmpty() && line.trimmed().isEmpty())
            break;
    }
    ASSERT_FALSE(table.isEmpty()) << "no key table after \"Keys of a contest\"";
    const QString help = HelpText(Folders{});
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) {
        if (CtrlKeyWindow(key) == KeyWindow::None)
            continue;
        const QString name = QStringLiteral("Ctrl+") + QChar(key);
        EXPECT_TRUE(table.contains(name)) << name.toStdString() << " is not in the README's key table";
        EXPECT_TRUE(help.contains(name)) << name.toStdString() << " is not in Help";
    }
    EXPECT_FALSE(table.contains(QLatin1String("not yet"), Qt::CaseInsensitive));
    // Up and Down: the speed in the entry boxes, a row in a list.
    const QString upDown = table.section(QLatin1String("| Up, Down |"), 1).section('\n', 0, 0);
    EXPECT_TRUE(upDown.contains(QLatin1String("speed")) && upDown.contains(QLatin1String("entry boxes")) &&
                upDown.contains(QLatin1String("contact list")))
        << upDown.toStdString();
}
