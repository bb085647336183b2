// The operator's hot path with a full log: a key in the call box, a band change and
// logging one contact, measured through the real main window (offscreen). Keys in the
// call box include the super check partial search of the full master call list.

#include "bench_support.h"
#include "common/file_io.h"
#include "frame/session.h"
#include "logcore/dupes.h"
#include "logcore/main_window.h"
#include "logcore/master_calls.h"
#include "station/station.h"
#include "outputs/station_window.h"

#include "bench_gui_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

// Answers "Yes" to the log question and stays silent otherwise.
class QuietPrompter : public zev::Prompter {
public:
    void message(const QString &, const QString &, zev::PromptIcon, const QString &) override {}
    bool askYesNo(const QString &, const QString &, zev::PromptIcon, zev::DefaultAnswer) override { return true; }
    std::optional<QString> input(const QString &, const QString &, const QString &) override { return std::nullopt; }
    std::optional<QString> openFile(const QString &, const QString &, const QString &) override { return std::nullopt; }
    std::optional<QString> saveFile(const QString &, const QString &, const QString &, bool) override
    {
        return std::nullopt;
    }
    std::optional<quint32> chooseColour(quint32) override { return std::nullopt; }
    void beep() override {}
};

struct LoggingDesk {
    QTemporaryDir dir;
    QuietPrompter prompter;
    zev::SystemClock clock;
    std::unique_ptr<zev::Registry> registry;
    std::unique_ptr<zev::Session> session;
    std::unique_ptr<zev::Station> links;
    std::unique_ptr<zev::MainWindow> window;

    explicit LoggingDesk(int contacts)
    {
        zev::Folders f;
        f.StartDir = dir.filePath("start");
        f.ProgramDataFolder = dir.filePath("zev");
        f.SharedFolder = dir.filePath("shared");
        for (const QString &d : {f.StartDir, f.BackupFolder(), f.SharedFolder})
            QDir().mkpath(d);
        zev::Preferences p = zev::DefaultPreferences(zev::MachineUtcOffsetHours(clock));
        p.MyCall = "VE3XYZ";
        p.MyProvince = "ON";
        p.CurrentMode = "CW";
        zev::WriteFileAtomic(f.work("zevpref.txt"), zev::FormatPreferences(p));
        zev::WriteFileAtomic(f.work("log.txt"), zevbench::ContestLog(contacts));
        QFile::copy(QStringLiteral(ZEV_BUILD_DIR "/arrlpre2.txt"), f.SharedFolder + "/arrlpre2.txt");
        registry = std::make_unique<zev::Registry>(dir.filePath("registry.ini"));
        session = std::make_unique<zev::Session>(f, prompter, clock, *registry);
        links = std::make_unique<zev::Station>(*session);
        window = std::make_unique<zev::MainWindow>(*session, *links);
        window->runModal = [](QDialog &d) { static_cast<zev::StationWindow &>(d).Done(); };
        window->Form_Load();
        window->show();
        QApplication::setActiveWindow(window.get());
        window->callBox->setFocus();
        window->cmdLogOn_Click();
        // The master call list is read off the window's thread; keys are timed with it.
        if (!QTest::qWaitFor([this] { return session->entry.masterCalls() != nullptr; }, 30000))
            qWarning("the master call list did not load: keys are timed without it");
    }
};

// A real call of the list, typed key by key.
const QString kTypedCall = QStringLiteral("VE3AXC");

void BM_KeyInCallBox(benchmark::State &state)
{
    LoggingDesk st(zev::kLogCapacity);
    zev::MainWindow &w = *st.window;
    w.callBox->setText("VE3XY");
    for (auto _ : state) {
        // One character typed and taken back: two keys, each with its partial-dupe
        // search and prefix lookup.
        QTest::keyClick(w.callBox, 'Z');
        QTest::keyClick(w.callBox, Qt::Key_Backspace);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_KeyInCallBox)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PartialDupeAndLookup(benchmark::State &state)
{
    LoggingDesk st(zev::kLogCapacity);
    const zev::Session &s = *st.session;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zev::PartialDupeList(s.log, "VE3XYZ", "20", "CW"));
        benchmark::DoNotOptimize(zev::LookupPrefix(s.prefixes, "VE3XYZ", 44, 78));
    }
}
BENCHMARK(BM_PartialDupeAndLookup)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TypeCallWithSuperCheck(benchmark::State &state)
{
    LoggingDesk st(zev::kLogCapacity);
    zev::MainWindow &w = *st.window;
    if (!st.session->entry.masterCalls()) {
        state.SkipWithError("no master call list");
        return;
    }
    w.callBox->clear();
    for (auto _ : state) {
        // The call typed and taken back: each key with its partial-dupe search, prefix
        // lookup, master-list search, marks and list update.
        for (QChar c : kTypedCall)
            QTest::keyClick(w.callBox, c.toLatin1());
        for (int i = 0; i < kTypedCall.size(); ++i)
            QTest::keyClick(w.callBox, Qt::Key_Backspace);
    }
    if (!w.callBox->text().isEmpty())
        state.SkipWithError("the call box was not emptied");
    state.SetItemsProcessed(state.iterations() * kTypedCall.size() * 2);
}
BENCHMARK(BM_TypeCallWithSuperCheck)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SuperCheckSearch(benchmark::State &state)
{
    const zev::MasterCallsLoad load = zev::LoadMasterCalls(zev::kSystemMasterCalls);
    if (!load.calls) {
        state.SkipWithError("no master call list");
        return;
    }
    for (auto _ : state)
        for (int n = zev::kSuperCheckMinLength; n <= kTypedCall.size(); ++n)
            benchmark::DoNotOptimize(load.calls->find(QStringView(kTypedCall).left(n), zev::kSuperCheckCap));
    state.SetItemsProcessed(state.iterations() * (kTypedCall.size() - zev::kSuperCheckMinLength + 1));
}
BENCHMARK(BM_SuperCheckSearch)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The two characters found inside the most calls of the list (not at their start).
void BM_SuperCheckWorstFragment(benchmark::State &state)
{
    const zev::MasterCallsLoad load = zev::LoadMasterCalls(zev::kSystemMasterCalls);
    if (!load.calls) {
        state.SkipWithError("no master call list");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(load.calls->find(u"A3", zev::kSuperCheckCap));
}
BENCHMARK(BM_SuperCheckWorstFragment)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SuperCheckLoad(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(zev::LoadMasterCalls(zev::kSystemMasterCalls));
}
BENCHMARK(BM_SuperCheckLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_BandChange(benchmark::State &state)
{
    LoggingDesk st(zev::kLogCapacity);
    int band = 0;
    for (auto _ : state) {
        st.window->SelectBand(band);
        band = (band + 1) % 8;
    }
}
BENCHMARK(BM_BandChange)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LogOneContact(benchmark::State &state)
{
    LoggingDesk st(5000);
    zev::MainWindow &w = *st.window;
    int n = 0;
    for (auto _ : state) {
        w.powerBox->setFocus();
        w.callBox->setText(QStringLiteral("K%1ZZ").arg(n++));
        w.reportRcvdBox->setText("599");
        w.exchangeBox->setText("12");
        w.reportSentBox->setText("599");
        w.Mains();
        if (st.session->log.RecordCount() != 5000 + n)
            state.SkipWithError("contact not logged");
    }
}
BENCHMARK(BM_LogOneContact)->Unit(benchmark::kMillisecond)->Iterations(300)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char **argv)
{
    return zevbench::RunWindowBenchmarks(argc, argv);
}
