#include "station/station.h"

#include "frame/session.h"
#include "rig/rig_link.h"
#include "station/station_keying.h"

namespace zev {

Station::Station(Session &session, QObject *parent) : QObject(parent), s_(session) {}

Station::~Station()
{
    stop();
}

RigLink &Station::rig()
{
    if (!rig_)
        rig_ = new RigLink({}, {}, this);
    return *rig_;
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
    if (keying_)
        keying_->stop();
}

}  // namespace zev
