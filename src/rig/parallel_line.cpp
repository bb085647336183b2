#include "rig/parallel_line.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace zev {

namespace {

QString HexText(quint32 address)
{
    return QStringLiteral("&H") + QString::number(address, 16).toUpper();
}

}  // namespace

std::optional<quint32> ParseBaseAddress(const QString &text, QString *error)
{
    const QString t = text.trimmed();
    bool ok = false;
    quint32 value = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
        if (hex.match(t.mid(2)).hasMatch())
            value = t.mid(2).toUInt(&ok, 16);
    } else {
        static const QRegularExpression dec(QStringLiteral("^[0-9]{1,10}$"));
        if (dec.match(t).hasMatch())
            value = t.toUInt(&ok, 10);
    }
    // I/O port addresses end at FFFF.
    if (!ok || value == 0 || value > 0xFFFF) {
        if (error)
            *error = QStringLiteral("The parallel port address \"%1\" must be a number such as "
                                    "&H378 (hexadecimal) or 888 (decimal).")
                         .arg(text);
        return std::nullopt;
    }
    return value;
}

QString ParportForAddress(const QString &baseText, const QString &procRoot,
                          const QString &devFolder, QString *error)
{
    const std::optional<quint32> base = ParseBaseAddress(baseText, error);
    if (!base)
        return {};
    const QDir ports(procRoot + QStringLiteral("/sys/dev/parport"));
    QStringList present;
    for (const QString &name : ports.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        QFile f(ports.filePath(name) + QStringLiteral("/base-addr"));
        if (!f.open(QIODevice::ReadOnly))
            continue;  // "default" holds no port
        // "888\t1912": the base, then the ECP registers' base.
        const QList<QByteArray> fields = f.readAll().simplified().split(' ');
        bool ok = false;
        const quint32 at = fields.value(0).toUInt(&ok);
        if (!ok)
            continue;
        const QString device = devFolder + u'/' + name;
        if (at == *base)
            return device;
        present << QStringLiteral("%1 (%2)").arg(HexText(at), device);
    }
    if (error) {
        *error = QStringLiteral("No parallel port of this computer is at address %1.")
                     .arg(HexText(*base));
        if (present.isEmpty())
            *error += QStringLiteral(" This computer shows no parallel port: the parport_pc "
                                     "and ppdev drivers may not be loaded.");
        else
            *error += QStringLiteral(" Its parallel ports are at: %1.")
                          .arg(present.join(QStringLiteral(", ")));
    }
    return {};
}

bool RecordingParallelLine::open(const QString &baseText)
{
    open_ = false;
    const std::optional<quint32> base = ParseBaseAddress(baseText, &error_);
    if (!base)
        return false;
    if (!presentBases.contains(*base)) {
        error_ = QStringLiteral("No parallel port of this computer is at address %1.")
                     .arg(HexText(*base));
        return false;
    }
    openedBase = *base;
    open_ = true;
    error_.clear();
    return true;
}

bool RecordingParallelLine::writeControl(quint8 value)
{
    if (!open_) {
        error_ = QStringLiteral("The parallel port is not open.");
        return false;
    }
    controlWrites.append(value);
    return true;
}

}  // namespace zev
