#include "keying/wave_file.h"

#include "test_support.h"
#include "voice_test_fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zev;
using namespace zevtest;

namespace {

QByteArray WithChunkBeforeFmt(const QByteArray &wave, const QByteArray &id, const QByteArray &body)
{
    QByteArray chunk = id;
    char size[4];
    qToLittleEndian(quint32(body.size()), size);
    chunk.append(size, 4);
    chunk += body;
    if (body.size() & 1)
        chunk += '\0';
    return wave.left(12) + chunk + wave.mid(12);
}

QByteArray Extensible(int subFormat, int bits)
{
    QByteArray w = PcmWave(800, 8000, bits);
    // Widen "fmt " to 40 bytes with the sub-format GUID's first two bytes.
    QByteArray fmt = w.mid(20, 16);
    qToLittleEndian(quint16(0xFFFE), fmt.data());
    fmt += QByteArray::fromHex("1600") + QByteArray(2, 0) + QByteArray(4, 0);
    QByteArray guid(16, 0);
    qToLittleEndian(quint16(subFormat), guid.data());
    fmt += guid;
    QByteArray out = w.left(12) + "fmt " + QByteArray::fromHex("28000000") + fmt + w.mid(36);
    return out;
}

TEST(WaveFileCheck, HeadersTheSoundCardCanAndCannotPlay)
{
    QByteArray zeroChannels = PcmWave(800);
    zeroChannels[22] = 0;
    QByteArray lyingSize = PcmWave(800);  // the data chunk claims twice what is there
    qToLittleEndian(quint32(3200), lyingSize.data() + 40);
    QByteArray dataFirst = "RIFF" + QByteArray(4, 0) + "WAVE" + PcmWave(800).mid(36) + PcmWave(800).mid(12, 24);

    const struct {
        const char *name;
        QByteArray bytes;
        bool ok;
        qint64 durationMs;
        const char *reasonPart;
    } cases[] = {
        {"16-bit PCM", PcmWave(8000), true, 1000, ""},
        {"8-bit stereo", PcmWave(4000, 8000, 8, 2), true, 500, ""},
        {"22050 Hz as espeak-ng writes", PcmWave(22050, 22050), true, 1000, ""},
        {"32-bit float", PcmWave(800, 8000, 32, 1, 3), true, 100, ""},
        {"chunk before fmt", WithChunkBeforeFmt(PcmWave(800), "LIST", "odd"), true, 100, ""},
        {"extensible PCM", Extensible(1, 16), true, 100, ""},
        {"header longer than the data", lyingSize, true, 100, ""},
        {"empty", QByteArray(), false, 0, "not a wave file"},
        {"text", "RIFF is a word in this text file, not a header", false, 0, "not a wave file"},
        {"AVI", "RIFF" + QByteArray(4, 0) + "AVI LIST", false, 0, "not a wave file"},
        {"ADPCM", PcmWave(800, 8000, 4, 1, 2), false, 0, "cannot be played"},
        {"extensible ADPCM", Extensible(2, 16), false, 0, "cannot be played"},
        {"12-bit PCM", PcmWave(800, 8000, 12), false, 0, "cannot be played"},
        {"no channels", zeroChannels, false, 0, "damaged"},
        {"no sound", PcmWave(0), false, 0, "no sound"},
        {"no data chunk", PcmWave(800).left(36), false, 0, "no sound"},
        {"no fmt chunk", "RIFF" + QByteArray(4, 0) + "WAVE", false, 0, "missing"},
        {"data before fmt", dataFirst, false, 0, "before its format"},
        {"cut inside fmt", PcmWave(800).left(28), false, 0, "damaged"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const WaveCheck w = CheckWaveBytes(c.bytes, c.bytes.size());
        EXPECT_EQ(w.ok, c.ok) << w.reason.toStdString();
        if (c.ok)
            EXPECT_EQ(w.durationMs, c.durationMs);
        else
            EXPECT_TRUE(w.reason.contains(c.reasonPart)) << w.reason.toStdString();
    }
}

// Every cut of a real file and every byte of its header changed: never a read past the
// bytes given, and a cut header is never taken for a playable file.
TEST(WaveFileCheck, CutAndDamagedHeadersAreHandled)
{
    const QByteArray wave = ReadFile(QStringLiteral(ZEV_BUILD_DIR "/Call.wav"));
    ASSERT_GT(wave.size(), 1000);
    for (int n = 0; n <= 64; ++n) {
        const WaveCheck w = CheckWaveBytes(wave.left(n), n);
        EXPECT_EQ(w.ok, n >= 46) << n;  // 44 bytes of header, then 16-bit frames
    }
    for (int i = 0; i < 44; ++i)
        for (char v : {'\0', '\x7f', '\xff'}) {
            QByteArray damaged = wave.left(64);
            damaged[i] = v;
            const WaveCheck w = CheckWaveBytes(damaged, wave.size());
            if (w.ok)
                EXPECT_GT(w.durationMs, 0) << i;
            else
                EXPECT_FALSE(w.reason.isEmpty()) << i;
        }
}

TEST(WaveFileCheck, FilesOnDiskNameTheFileInTheReason)
{
    QTemporaryDir dir;
    const QString good = WriteWave(dir.filePath("cq.wav"), PcmWave(8000));
    EXPECT_TRUE(CheckWaveFile(good).ok);

    const WaveCheck missing = CheckWaveFile(dir.filePath("none.wav"));
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.reason.contains(dir.filePath("none.wav")));
}

TEST(WaveFileCheck, AnUnreadableFileIsRefused)
{
    QTemporaryDir dir;
    struct Case {
        QString path;
        QString reasonStart;
    };
    // What nobody reads as a wave file, root included: a folder, and a named pipe (opening
    // it would wait for a writer that never comes).
    const QString folder = dir.filePath("folder.wav");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString pipe = dir.filePath("pipe.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    QList<Case> cases = {
        {folder, "\"" + QDir::toNativeSeparators(folder) + "\" is not a file"},
        {pipe, "\"" + QDir::toNativeSeparators(pipe) + "\" is not a file"},
    };
    // A file without read rights, where the rights hold (not for root).
    const QString locked = WriteWave(dir.filePath("locked.wav"), PcmWave(8000));
    QFile::setPermissions(locked, QFileDevice::Permissions());
    if (::geteuid() != 0)
        cases.append({locked, "\"" + QDir::toNativeSeparators(locked) + "\" cannot be read: "});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const WaveCheck check = CheckWaveFile(c.path);
        EXPECT_FALSE(check.ok);
        EXPECT_TRUE(check.reason.startsWith(c.reasonStart)) << check.reason.toStdString();
    }
}

TEST(WaveFileCheck, TheRecordedCuesPass)
{
    const WaveCheck w = CheckWaveFile(QStringLiteral(ZEV_BUILD_DIR "/NavEn.wav"));
    ASSERT_TRUE(w.ok) << w.reason.toStdString();
    EXPECT_EQ(w.sampleRate, 22050);
    EXPECT_GT(w.durationMs, 300);
    EXPECT_LT(w.durationMs, 5000);
}

}  // namespace
