#pragma once
// The last fifty spots, oldest in slot 0, newest in slot 49, for the band map and the
// spectrum map. Kept in memory only; never saved.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>

namespace zev {

struct SpotSlot {
    QString SpotCall;
    float SpotFreq = 0;   // MHz; 0: not drawn (empty, superseded or removed)
    QDateTime SpotTime;   // when the spot was taken in, in UTC; invalid while empty
    QString SpotLabel;    // label on the maps
};

class SpotStore : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlots = 50;

    explicit SpotStore(QObject *parent = nullptr) : QObject(parent) {}

    const SpotSlot &slot(int i) const { return slots_[size_t(i)]; }
    // A new spot: every slot moves one down (slot 0 is lost), the spot goes into slot 49,
    // and the newest older slot of the same call (49..1, slot 0 not examined) stops being
    // drawn.
    void add(const QString &call, float mhz, const QDateTime &utc, const QString &label);
    // The operator removed the spot of `call` in `slot` from the maps; a slot that meanwhile
    // holds another call is left alone. True when a spot was removed.
    bool remove(int slot, const QString &call);
    // Counts every change, so a map can tell it is out of date.
    quint64 generation() const { return generation_; }

signals:
    void changed();

private:
    std::array<SpotSlot, kSlots> slots_{};
    quint64 generation_ = 0;
};

}  // namespace zev
