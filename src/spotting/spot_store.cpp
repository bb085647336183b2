#include "spotting/spot_store.h"

namespace zev {

void SpotStore::add(const QString &call, float mhz, const QDateTime &utc, const QString &label)
{
    for (int i = 1; i < kSlots; ++i)
        slots_[size_t(i - 1)] = slots_[size_t(i)];
    slots_[kSlots - 1] = SpotSlot{call, mhz, utc, label};
    for (int i = kSlots - 2; i >= 1; --i) {
        if (slots_[size_t(i)].SpotCall.compare(call, Qt::CaseInsensitive) == 0) {
            slots_[size_t(i)].SpotFreq = 0;
            break;
        }
    }
    ++generation_;
    emit changed();
}

bool SpotStore::remove(int slot, const QString &call)
{
    if (slot < 0 || slot >= kSlots)
        return false;
    SpotSlot &s = slots_[size_t(slot)];
    if (s.SpotFreq == 0 || s.SpotCall != call)
        return false;
    s.SpotFreq = 0;
    ++generation_;
    emit changed();
    return true;
}

}  // namespace zev
