#pragma once
// The station: every link and engine of the program (the radio's link, the spot links,
// the CW engine and its key line, the WinKeyer, the voice keyer, the cue player). It lives
// from start-up to the end, beside the Session, and works with every window closed. The
// windows read and change its settings and follow its signals; none of them owns a link.

#include <QObject>

namespace zev {

struct Session;
class RigLink;
class SpotService;
class StationKeying;
class StationNetwork;

class Station : public QObject {
    Q_OBJECT
public:
    explicit Station(Session &session, QObject *parent = nullptr);
    ~Station() override;

    Session &session() { return s_; }

    // The radio's link, made on first use; its frequency goes to the contact being entered.
    RigLink &rig();
    RigLink *rigIfMade() const { return rig_; }

    // The spot link with its intake, made on first use; it fills Session::spots.
    SpotService &spots();
    // The CW engine and key line, the WinKeyer, the voice keyer and the cues, made on first use.
    StationKeying &keying();
    // This computer as a position of a station of several, made on first use.
    StationNetwork &network();
    // At start-up, after the log is read: joins the station's shared log when the settings
    // say so, or notes that "log.txt" may now change without it. An empty text, or what went wrong.
    QString startNetwork();

    // Stops every link before the program ends.
    void stop();

private:
    Session &s_;
    RigLink *rig_ = nullptr;
    SpotService *spots_ = nullptr;
    StationKeying *keying_ = nullptr;
    StationNetwork *network_ = nullptr;
};

}  // namespace zev
