#pragma once
// What arrives over a spot link becomes monitor text and spots: lines are assembled,
// repeated lines dropped, spot lines stored and listed, the operator's own call raised.

#include "spotting/spot_text.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace zev {

class Clock;
class SpotStore;
struct PrefixTable;

// One row of the spot list, in its column order.
struct SpotRow {
    QString Call, Frequency, QTH, Status, Comments, Prefix, Time, From;
};

class SpotIntake : public QObject {
    Q_OBJECT
public:
    SpotIntake(SpotStore &store, const PrefixTable &prefixes, const Clock &clock, QObject *parent = nullptr);

    // The operator's call, for the "You've been spotted!" alert.
    std::function<QString()> myCall;
    // "List DX Only": only spot lines reach the monitor.
    bool dxOnly = false;
    // Poll ticks since the last spot or the last periodic band-map refresh.
    int LabelUpdateTimeCounter = 0;

    // The monitor text as received, line ends CR LF; repeated lines are looked for here,
    // not in the pane, which shows line ends its own way.
    const QString &monitor() const { return monitor_; }
    void replaceMonitor(const QString &text);
    void appendMonitor(const QString &text);

    // A link opens: no half line of an earlier link is kept.
    void startLink();
    // Cluster text with the Telnet commands already taken out.
    void takeTelnet(const QByteArray &bytes);
    // The cluster hung up: a last line without its line end still counts.
    void endTelnet();
    // How long a cluster's text without a line end (a prompt) waits for more before it is
    // taken as a line of its own.
    int tailWaitMs = 300;
    void takeTnc(const QByteArray &bytes);
    void takeAgw(const AgwFrame &frame);

    const QString &agwConnectedCall() const { return agwConnectedCall_; }
    void clearAgwConnection();

    void PostSpot(const ParsedSpot &spot);
    void BandMapSpots(const ParsedSpot &spot);

    // One poll tick: after 360 ticks without a spot the maps are redrawn so labels age.
    void tick();

signals:
    // `text` was added at the end of monitor(), line ends CR LF.
    void monitorAppended(const QString &text);
    // monitor() was replaced or cut.
    void monitorReplaced();
    // A spot was stored: the new top row of the spot list.
    void spotAdded(const zev::SpotRow &row);
    // The operator's own call was spotted: the message line text and the duplicate box text.
    void ownCallSpotted(const QString &dialogText, const QString &dupeText);
    void beep();
    // The packet engine connected to a station, or the station went away.
    void agwConnected(const QString &call);
    void agwDisconnected(const QString &call);
    // Time to redraw the band map so spots age without new traffic.
    void labelsDue();

private:
    void takeLine(const QString &line, bool duplicateTest);
    void takeTelnetTail();

    SpotStore &store_;
    const PrefixTable &prefixes_;
    const Clock &clock_;
    QString monitor_;
    LineAssembler telnetLines_, tncLines_, agwLines_;
    QTimer telnetTail_;
    QString agwConnectedCall_;
};

}  // namespace zev
