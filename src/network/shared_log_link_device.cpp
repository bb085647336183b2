#include "network/shared_log_link_device.h"

namespace zev {

SharedLogLink::SharedLogLink(SharedLog &log, MqttLink &link, QObject *parent)
    : QObject(parent), log_(log), link_(link)
{
    connect(&log_, &SharedLog::publish, &link_, &MqttLink::publishEvent);
    connect(&link_, &MqttLink::eventsArrived, &log_, &SharedLog::receive);
    connect(&link_, &MqttLink::connected, this, &SharedLogLink::resend);
}

void SharedLogLink::resend(bool sessionKept)
{
    const MergedLog &merged = log_.merged();
    if (sessionKept) {
        for (const LogEvent &e : merged.eventsOf(log_.station()))
            link_.publishEvent(e);
        return;
    }
    for (const QString &station : merged.stations())
        for (const LogEvent &e : merged.eventsOf(station))
            link_.publishEvent(e);
}

}  // namespace zev
