#include "station/station.h"

#include "frame/session.h"
#include "rig/rig_link.h"
#include "spotting/spot_service_device.h"
#include "network/shared_log.h"
#include "station/station_keying.h"
#include "station/station_network.h"

namespace zev {

Station::Station(Session &session, QObject *parent) : QObject(parent), s_(session) {}

Station::~Station()
{
    stop();
}

RigLink &Station::rig()
{
    if (!rig_) {
        rig_ = new RigLink({}, {}, this);
        // The next contact carries the radio's frequency, window or not.
        connect(rig_, &RigLink::frequencyRead, this, [this](qint64 hz) {
            if (rig_->settings().UseFrequency == 1)
                s_.entry.setFrequencyHz(hz);
        });
    }
    return *rig_;
}

SpotService &Station::spots()
{
    if (!spots_)
        spots_ = new SpotService(s_, this);
    return *spots_;
}

StationKeying &Station::keying()
{
    if (!keying_)
        keying_ = new StationKeying(s_, this);
    return *keying_;
}

StationNetwork &Station::network()
{
    if (!network_)
        network_ = new StationNetwork(s_, this);
    return *network_;
}

QString Station::startNetwork()
{
    const NetworkSettings settings = LoadNetworkSettings(s_.registry);
    QString error;
    if (!settings.on) {
        if (!SharedLog::LeaveStep(s_.log, s_.folders.StartDir, &error))
            return QStringLiteral("The mark that log.txt matches the shared log could not be removed (%1).").arg(error);
        return {};
    }
    if (!network().start(settings, &error))
        return QStringLiteral("The log is not shared with the station's other computers: %1").arg(error);
    return {};
}

void Station::stop()
{
    if (network_)
        network_->stop();
    if (rig_)
        rig_->Stop();
    if (spots_)
        spots_->stop();
    if (keying_)
        keying_->stop();
}

}  // namespace zev
