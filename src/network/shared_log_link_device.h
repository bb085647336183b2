#pragma once
// A position's shared log joined to the station's broker: its changes go out once they
// are on disk, the others' come in, and after every (re)connection this position sends
// its own changes again (the broker may have missed some; the others drop what they have).
// A broker that forgot this position gets every change this position knows, so that a
// computer joining later still finds the whole log there.

#include "network/mqtt_link_device.h"
#include "network/shared_log.h"

namespace zev {

class SharedLogLink : public QObject {
    Q_OBJECT
public:
    SharedLogLink(SharedLog &log, MqttLink &link, QObject *parent = nullptr);

private:
    void resend(bool sessionKept);

    SharedLog &log_;
    MqttLink &link_;
};

}  // namespace zev
