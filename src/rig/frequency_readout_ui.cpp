#include "rig/frequency_readout_ui.h"

#include "rig/band_conversion.h"

namespace zev {

QString FrequencyReadoutText(bool rigChosen, const QString &linkState, qint64 hz)
{
    if (!rigChosen)
        return QStringLiteral("No rig");
    if (!linkState.isEmpty())
        return linkState;
    return hz > 0 ? RigWindowFrequencyText(hz) : QString();
}

FrequencyReadout::FrequencyReadout(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("lblRigFreq"));
    setTextFormat(Qt::PlainText);
    setAccessibleDescription(QStringLiteral("Frequency"));
    setText(QStringLiteral("No rig"));
}

void FrequencyReadout::display(bool rigChosen, const QString &linkState, qint64 hz)
{
    const QString text = FrequencyReadoutText(rigChosen, linkState, hz);
    if (text != this->text())
        setText(text);
}

}  // namespace zev
