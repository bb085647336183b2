#pragma once
// The rig link: one radio's port, its poll timer and its command queue. The rig window
// configures it; the main window follows its frequency and mode and calls its commands.
// Nothing here blocks or runs a nested event loop: pauses and drain waits are timed steps.

#include "rig/band_plan.h"
#include "rig/hamlib_rig_device.h"
#include "rig/rig_family.h"
#include "rig/rig_settings.h"
#include "rig/serial_line.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace zev {

class PortMap;

// The mode a frequency's segment is used in ("CW" or "PH"); `current` outside them.
QString ModeByFrequency(float mhz, const QString &current);

// The link's timers and clock. The real one runs on Qt timers; tests step a manual one.
class LinkTimers {
public:
    virtual ~LinkTimers() = default;
    virtual qint64 nowMs() const = 0;
    // The repeating poll timer.
    virtual void startPoll(int intervalMs, std::function<void()> tick) = 0;
    virtual void stopPoll() = 0;
    virtual bool pollActive() const = 0;
    // One pending single shot at a time; a new one replaces the old.
    virtual void singleShot(int ms, std::function<void()> fire) = 0;
    virtual void cancelSingleShot() = 0;
};

class QtLinkTimers : public LinkTimers {
public:
    QtLinkTimers();
    ~QtLinkTimers() override;
    qint64 nowMs() const override { return clock_.elapsed(); }
    void startPoll(int intervalMs, std::function<void()> tick) override;
    void stopPoll() override;
    bool pollActive() const override;
    void singleShot(int ms, std::function<void()> fire) override;
    void cancelSingleShot() override;

private:
    QElapsedTimer clock_;
    std::unique_ptr<QTimer> poll_, shot_;
    std::function<void()> tick_, fire_;
};

inline const QString kNoResponse = QStringLiteral("No Response");
inline const QString kLinkStopped = QStringLiteral("Stopped");
inline const QString kInvalidCommTitle = QStringLiteral("Invalid Comm Settings.");
inline const QString kInvalidCommText = QStringLiteral(
    "The comm port that you selected for rig interface is either in use, invalid or the settings that you "
    "have selected are invalid.  Please select another combination or choose None for your rig selection.");
inline const QString kFrequencyErrorTitle = QStringLiteral("Error Changing Frequency");
inline const QString kModeErrorTitle = QStringLiteral("Error Changing Mode");
inline const QString kLinkLostTitle = QStringLiteral("Rig Link Stopped");

class RigLink : public QObject {
    Q_OBJECT
public:
    // The real serial line and Qt timers when none are given.
    explicit RigLink(std::unique_ptr<SerialLine> line = {}, std::unique_ptr<LinkTimers> timers = {},
                     QObject *parent = nullptr);
    ~RigLink() override;

    // Test: opens the port of `settings` (unless the radio talks through files), sends the
    // radio's opening bytes, polls once at once and then at the poll rate. False, after an
    // error() with the reason, when the link could not start; the link is then idle.
    bool Start(const RigLinkSettings &settings, const PortMap &ports);
    // End Test: polling off, closing bytes sent where the radio needs them, port closed.
    void Stop();
    // True while the link polls, counting the pauses of a running command sequence.
    bool polling() const { return running_; }
    // The link as the operator should know it: empty while the radio answers (or before a
    // first reply had its chance), kNoResponse once several polls went unanswered,
    // kLinkStopped when the link stopped (End Test, a failed start, a vanished port).
    QString state() const { return state_; }

    // Tunes the radio to `hz`, exactly; the mode comes from the band plan when `mode` is
    // empty. Does nothing while the link is not polling. Queued behind a running sequence.
    void ChangeFrequency(qint64 hz, const QString &mode = {});
    // A spot's frequency from the band or spectrum map, held in single precision: taken to
    // the nearest 100 Hz, the step clusters report in.
    void ChangeFrequency(float mhz);
    // A mode goes only with exact hertz.
    void ChangeFrequency(float mhz, const QString &mode) = delete;
    // Sets the radio's mode; an empty mode is taken from the band plan for `hz`.
    void ChangeMode(qint64 hz, const QString &mode);
    // Writes the bytes as they are, after any running command; nothing when the port is
    // closed. Errors are ignored: this is for trying out commands by hand.
    void SendRaw(const QByteArray &bytes);
    // Whether a command sequence is running or waiting.
    bool commandsPending() const { return !ops_.empty(); }

    // The Extra-class rows that choose a mode for a frequency.
    void setExtraPlanRows(std::vector<BandPlanRow> rows) { extraRows_ = std::move(rows); }
    // The folder of the external control program's status and command files.
    void setPegasusFolder(const QString &folder) { pegasusFolder_ = folder; }
    QString pegasusFolder() const { return pegasusFolder_; }
    // The Hamlib model and rigctld address used when RigName is "Hamlib"; read at Start.
    void setHamlibChoice(const HamlibChoice &choice) { hamlibChoice_ = choice; }
    const HamlibChoice &hamlibChoice() const { return hamlibChoice_; }

    const RigLinkSettings &settings() const { return settings_; }
    // The last frequency read, in hertz (0 before the first reading), and in MHz.
    qint64 RigFrequencyHz() const { return rigFrequency_; }
    float RigFrequency() const { return float(double(rigFrequency_) / 1e6); }
    QString RigMode() const { return rigMode_; }
    SerialLine &line() { return *line_; }

    // One poll tick: a send tick, or the receive tick that follows it.
    void tick();

signals:
    void frequencyRead(qint64 hz);
    void modeRead(const QString &mode);
    // What the radio sent on a receive tick, as received.
    void unprocessed(const QByteArray &bytes);
    // "No Response" until a reply decodes, and again when the radio falls silent.
    void responseState(const QString &state);
    // A message for the operator: the text and the title of its box.
    void error(const QString &text, const QString &title);
    // The port went away while polling (adapter pulled, far end closed): the link has
    // stopped. `reason` names the device and what the system said.
    void linkLost(const QString &reason);
    // state() changed.
    void stateChanged(const QString &state);

private:
    struct Op {
        enum Kind { Pause, Drain, Write, Resume, Raw } kind = Pause;
        int ms = 0;
        QByteArray bytes;
        QString errorTitle, errorSuffix;
    };
    void receive();
    void decoded(const rig::RigReading &reading);
    void setResponding(bool responding);
    void setState(const QString &state);
    void halt();
    void lost(const QString &reason);
    void unanswered();
    bool queueMode(qint64 hz, const QString &mode);
    void queuePlan(const rig::CommandPlan &plan, const QString &errorTitle, const QString &errorSuffix);
    void runOps();
    void drainStep(qint64 deadline);
    void fail(const QString &text, const QString &title);
    bool sendBytes(const QByteArray &bytes, QString *why);
    rig::RigQueries queries() const;
    rig::CommandContext context() const;
    QString pegasusPath(const char *name) const;
    bool startHamlib(const PortMap &ports);
    void hamlibTick();
    void hamlibSilent();
    void hamlibCommand(qint64 hz, const QString &mode, bool frequency);

    std::unique_ptr<SerialLine> line_;
    std::unique_ptr<LinkTimers> timers_;
    RigLinkSettings settings_;
    const rig::RigDescriptor *rig_ = nullptr;
    std::vector<BandPlanRow> extraRows_;
    QString pegasusFolder_;
    HamlibChoice hamlibChoice_;
    // Deleted later, never waited for: its worker may be stuck in a Hamlib call.
    HamlibRig *hamlib_ = nullptr;
    bool hamlibBusy_ = false;  // a poll is with the worker and not answered yet

    bool running_ = false;
    bool awaitingReply_ = false;
    int queryToggle_ = 0;
    rig::ReplyKind expect_ = rig::ReplyKind::FrequencyAndMode;
    rig::RxBuffer rx_;
    int kenwood2Vfo_ = 10;
    qint64 rigFrequency_ = 0;
    QString rigMode_;
    bool responding_ = false;
    int silentTicks_ = 0;
    int unansweredTicks_ = 0;
    QString state_;

    std::deque<Op> ops_;
    bool opRunning_ = false;
};

}  // namespace zev
