// Text grows with the screen: every window, menu and message box, not only the big labels.

#include "frame/prompter_ui.h"
#include "frame/window_scaling.h"
#include "frame/window_scaling_ui.h"
#include "logcore/edit_contact_window.h"
#include "outputs/summary_window.h"
#include "window_harness.h"

#include <QFontInfo>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableView>

using namespace zevtest;

namespace {

const char *const kProbeEnv = "ZEV_FONT_PROBE";

int pixels(const QWidget *w)
{
    return QFontInfo(w->font()).pixelSize();
}

}  // namespace

TEST(ScreenFonts, RuleFollowsTheScreenHeightAndFormSize)
{
    struct Case {
        int height;
        int percent;
        int pixels;
    };
    const Case cases[] = {
        {480, 100, kSmallestFontPixels},  // the design screen: the floor keeps it readable
        {768, 100, 13},  {1000, 100, 17}, {1440, 100, 24}, {2160, 100, 36},
        {1440, 50, 12},  {1440, 75, 18},
        {1440, 10, kSmallestFontPixels},   // form size below 30 % counts as 30 %
        {1440, 150, 24},                   // and above 100 % as 100 %
        {0, 100, kSmallestFontPixels},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ScreenFontPixels(c.height, c.percent), c.pixels) << c.height << " px at " << c.percent << " %";
}

// Runs inside a child process started by the next test with a screen of a given size:
// builds the windows as the program does and writes the pixel size of their text.
TEST(ScreenFontsProbe, WritesTheSizes)
{
    const QString out = qEnvironmentVariable(kProbeEnv);
    if (out.isEmpty())
        GTEST_SKIP() << "only runs in the child process of ScreenFonts.EveryWindowGrowsWithTheScreen";
    ScaleApplicationFont();  // as main() does
    Preferences prefs = Harness::basePrefs();
    prefs.FormSizePercent = qEnvironmentVariableIntValue("ZEV_FONT_PROBE_PERCENT");
    Harness h(prefs);
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    QJsonObject sizes;
    auto put = [&](const char *what, const QWidget *widget) {
        ASSERT_NE(widget, nullptr) << what;
        const_cast<QWidget *>(widget)->ensurePolished();
        sizes[QLatin1String(what)] = pixels(widget);
    };
    put("caption", w.findChild<QLabel *>("cap_txtCall"));
    put("entry", w.callBox);
    put("message", w.messageLine);
    put("button", w.clearButton);
    put("list", w.contactList);
    put("listHeader", w.contactList->horizontalHeader());
    put("menuBar", w.menuBar());
    put("menu", w.menuBar()->actions().first()->menu());
    put("grid", w.provinceLabels[0][0]);
    put("bigLabel", w.ownCallLabel);
    StationWindow station(*h.session, &w);
    put("stationCaption", station.findChild<QLabel *>());
    put("stationBox", station.Text1);
    put("stationButton", station.Command1);
    SummaryWindow summary(*h.session, "title", "0", &w);
    put("summaryButton", summary.Command4);
    EditContactWindow edit(*h.session, 1, {}, &w);
    put("editBox", edit.txtEditCall);
    std::unique_ptr<QMessageBox> box =
        MakeYesNoBox("Are you sure?", "Are you sure?", PromptIcon::Question, DefaultAnswer::No, &w);
    put("messageBox", box.get());
    put("messageBoxButton", box->button(QMessageBox::No));
    sizes["rowHeight"] = w.contactList->verticalHeader()->defaultSectionSize();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QJsonDocument(sizes).toJson());
}

TEST(ScreenFonts, EveryWindowGrowsWithTheScreen)
{
    if (!qEnvironmentVariableIsEmpty(kProbeEnv))
        GTEST_SKIP() << "this is the child process";
    QTemporaryDir dir;
    auto measure = [&](int width, int height, int formSize = 100) {
        const QString config = dir.filePath(QStringLiteral("screen%1.json").arg(height));
        WriteFile(config, QStringLiteral("{\"screens\": [{\"name\": \"S\", \"x\": 0, \"y\": 0, \"width\": %1, "
                                         "\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                              .arg(width)
                              .arg(height)
                              .toUtf8());
        const QString out = dir.filePath(QStringLiteral("sizes%1-%2.json").arg(height).arg(formSize));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
        env.insert(QString::fromLatin1(kProbeEnv), out);
        env.insert(QStringLiteral("ZEV_FONT_PROBE_PERCENT"), QString::number(formSize));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ScreenFontsProbe.*")});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString();
        return QJsonDocument::fromJson(ReadFile(out)).object();
    };
    const QJsonObject small = measure(1024, 768);
    const QJsonObject large = measure(2560, 1440);
    ASSERT_FALSE(small.isEmpty());
    ASSERT_EQ(small.keys(), large.keys());
    for (const QString &what : small.keys()) {
        SCOPED_TRACE(what.toStdString());
        const double s = small[what].toDouble();
        const double l = large[what].toDouble();
        EXPECT_GE(s, kSmallestFontPixels);
        // The same proportion of the screen: 1440 / 768 = 1.875, give or take rounding.
        EXPECT_NEAR(l / s, 1440.0 / 768.0, 0.2) << s << " px at 768, " << l << " px at 1440";
    }

    // At a form size of 75 % the main window's text is three quarters as big; the
    // other windows, menus and message boxes keep the screen's size.
    const QJsonObject reduced = measure(2560, 1440, 75);
    for (const char *what : {"caption", "entry", "message", "button", "list", "listHeader", "menuBar", "grid",
                             "bigLabel", "rowHeight"}) {
        SCOPED_TRACE(what);
        EXPECT_NEAR(reduced[what].toDouble() / large[what].toDouble(), 0.75, 0.08);
    }
    for (const char *what : {"menu", "stationCaption", "stationBox", "summaryButton", "editBox", "messageBox"})
        EXPECT_EQ(reduced[what].toDouble(), large[what].toDouble()) << what;
}
