#include "station/station.h"

#include "frame/session.h"
#include "rig/rig_link.h"
#include "spotting/spot_service_device.h"
#include "station/station_keying.h"

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

void Station::stop()
{
    if (rig_)
        rig_->Stop();
    if (spots_)
        spots_->stop();
    if (keying_)
        keying_->stop();
}

}  // namespace zev
