#pragma once
// Checks a wave file before the transmitter is keyed for it: a file the player cannot
// play must never leave the transmitter on the air with nothing to say.

#include <QByteArray>
#include <QString>

namespace zev {

struct WaveCheck {
    bool ok = false;
    QString reason;          // why the file cannot be played, for the operator
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qint64 dataBytes = 0;    // sound bytes, as far as the file really holds them
    qint64 durationMs = 0;   // from the header: dataBytes / bytes per second
    qint64 dataOffset = 0;   // where the sound starts in the file
    bool isFloat = false;    // floating-point samples rather than integers
};

// Checks the RIFF/WAVE structure of `bytes` (a file of `fileSize` bytes whose first bytes
// are `bytes`; chunks past the bytes given are taken on the header's word). Accepts PCM
// of 8, 16, 24 or 32 bits and 32- or 64-bit float, also in the extensible form.
WaveCheck CheckWaveBytes(const QByteArray &bytes, qint64 fileSize);

// The same for a file on disk: it must exist, be a readable file and pass the check.
WaveCheck CheckWaveFile(const QString &path);

}  // namespace zev
