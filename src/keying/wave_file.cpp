#include "keying/wave_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace zev {

namespace {

constexpr int kFormatPcm = 1;
constexpr int kFormatFloat = 3;
constexpr int kFormatExtensible = 0xFFFE;
// Enough for any header: chunks before "data" (LIST, fact, ...) are small.
constexpr qint64 kHeaderBytes = 64 * 1024;

quint32 U32(const char *p) { return qFromLittleEndian<quint32>(p); }
quint16 U16(const char *p) { return qFromLittleEndian<quint16>(p); }

WaveCheck Refuse(const QString &reason)
{
    WaveCheck c;
    c.reason = reason;
    return c;
}

}  // namespace

WaveCheck CheckWaveBytes(const QByteArray &bytes, qint64 fileSize)
{
    const char *d = bytes.constData();
    const qint64 have = bytes.size();
    if (have < 12 || fileSize < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE")
        return Refuse(QStringLiteral("it is not a wave file"));

    WaveCheck c;
    bool haveFormat = false;
    qint64 pos = 12;
    while (pos + 8 <= fileSize) {
        if (pos + 8 > have)
            break;
        const QByteArray id = bytes.mid(pos, 4);
        const qint64 size = U32(d + pos + 4);
        const qint64 body = pos + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > have)
                return Refuse(QStringLiteral("its format header is damaged"));
            int format = U16(d + body);
            c.channels = U16(d + body + 2);
            c.sampleRate = int(U32(d + body + 4));
            const int blockAlign = U16(d + body + 12);
            c.bitsPerSample = U16(d + body + 14);
            if (format == kFormatExtensible) {
                // The real format is the first two bytes of the sub-format GUID.
                if (size < 40 || body + 26 > have)
                    return Refuse(QStringLiteral("its format header is damaged"));
                format = U16(d + body + 24);
            }
            const bool pcm = format == kFormatPcm
                             && (c.bitsPerSample == 8 || c.bitsPerSample == 16 || c.bitsPerSample == 24
                                 || c.bitsPerSample == 32);
            const bool flt = format == kFormatFloat && (c.bitsPerSample == 32 || c.bitsPerSample == 64);
            if (!pcm && !flt)
                return Refuse(QStringLiteral("its sound format (code %1, %2 bits) cannot be played; "
                                             "record it as PCM, 8 or 16 bits")
                                  .arg(format)
                                  .arg(c.bitsPerSample));
            if (c.channels < 1 || c.channels > 8 || c.sampleRate < 1000 || c.sampleRate > 384000
                || blockAlign != c.channels * (c.bitsPerSample / 8))
                return Refuse(QStringLiteral("its format header is damaged"));
            c.isFloat = flt;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return Refuse(QStringLiteral("its sound comes before its format header"));
            // A header written while recording may claim more than the file holds.
            c.dataBytes = qMin(size, fileSize - body);
            c.dataOffset = body;
            const qint64 block = qint64(c.channels) * (c.bitsPerSample / 8);
            const qint64 frames = c.dataBytes / block;
            if (frames == 0)
                return Refuse(QStringLiteral("it holds no sound"));
            c.durationMs = (frames * 1000 + c.sampleRate - 1) / c.sampleRate;
            c.ok = true;
            return c;
        }
        // Chunks are padded to an even length.
        pos = body + size + (size & 1);
    }
    return Refuse(haveFormat ? QStringLiteral("it holds no sound") : QStringLiteral("its format header is missing"));
}

WaveCheck CheckWaveFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists())
        return Refuse(QStringLiteral("\"%1\" does not exist").arg(shown));
    if (!info.isFile())
        return Refuse(QStringLiteral("\"%1\" is not a file").arg(shown));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Refuse(QStringLiteral("\"%1\" cannot be read: %2").arg(shown, f.errorString()));
    const QByteArray head = f.read(kHeaderBytes);
    WaveCheck c = CheckWaveBytes(head, f.size());
    if (!c.ok)
        c.reason = QStringLiteral("\"%1\" cannot be played: %2").arg(shown, c.reason);
    return c;
}

}  // namespace zev
