#include "station/station.h"

#include "frame/session.h"
#include "rig/rig_link.h"

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

void Station::stop()
{
    if (rig_)
        rig_->Stop();
}

}  // namespace zev
