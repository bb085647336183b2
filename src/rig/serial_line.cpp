#include "rig/serial_line.h"

#include <QStringList>

namespace zev {

std::optional<Handshake> HandshakeFromNumber(int number)
{
    if (number < 0 || number > 3)
        return std::nullopt;
    return static_cast<Handshake>(number);
}

int SerialSettings::lineBaud() const
{
    return baud == 56000 ? 57600 : baud;
}

namespace {

bool Fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

bool WholeNumber(const QString &text, int *value)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

}  // namespace

std::optional<SerialSettings> ParseSerialSettings(const QString &text, QString *error)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) {
        Fail(error, QStringLiteral("The serial settings \"%1\" must be the baud rate, parity, "
                                   "data bits and stop bits joined by commas, like 4800,N,8,2.")
                        .arg(text));
        return std::nullopt;
    }
    SerialSettings s;
    s.baudText = parts[0].trimmed();
    if (!WholeNumber(s.baudText, &s.baud) || s.baud < 50 || s.baud > 4000000) {
        Fail(error, QStringLiteral("The baud rate \"%1\" is not a rate a serial port can run at.")
                        .arg(parts[0]));
        return std::nullopt;
    }
    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("NOEMS").contains(parity)) {
        Fail(error, QStringLiteral("The parity \"%1\" must be N, O, E, M or S.").arg(parts[1]));
        return std::nullopt;
    }
    s.parity = parity.at(0).toLatin1();
    if (!WholeNumber(parts[2].trimmed(), &s.dataBits) || s.dataBits < 5 || s.dataBits > 8) {
        Fail(error, QStringLiteral("The data bits \"%1\" must be 5, 6, 7 or 8.").arg(parts[2]));
        return std::nullopt;
    }
    if (!WholeNumber(parts[3].trimmed(), &s.stopBits) || s.stopBits < 1 || s.stopBits > 2) {
        Fail(error, QStringLiteral("The stop bits \"%1\" must be 1 or 2.").arg(parts[3]));
        return std::nullopt;
    }
    return s;
}

}  // namespace zev
