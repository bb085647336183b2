#pragma once
// The radio's frequency on the main window, beside the band and the mode.

#include <QLabel>

namespace zev {

// "No rig" without a radio, the link's state while it has one ("No Response",
// "Stopped"), else the frequency in MHz with five decimals ("14.02500"); empty before
// the first reading.
QString FrequencyReadoutText(bool rigChosen, const QString &linkState, qint64 hz);

// A value label: its text is what a screen reader reads, its caption the description.
// It is not a notification: a radio being tuned would talk over the operator; the
// link's state is announced by the rig state beside it.
class FrequencyReadout : public QLabel {
    Q_OBJECT
public:
    explicit FrequencyReadout(QWidget *parent = nullptr);
    void display(bool rigChosen, const QString &linkState, qint64 hz);
};

}  // namespace zev
