#pragma once
// Test doubles for the voice keyer and the cue player: a player that plays nothing until
// told, key lines that write what they do into a shared event list, and small wave files.

#include "keying/audio_player.h"
#include "keying/key_line.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <functional>
#include <memory>

namespace zevtest {

// "play <path>", "stop" in the shared list; the sound starts at once unless told
// otherwise (then start()); the end comes from finish() or fail().
class FakePlayer : public zev::AudioPlayer {
public:
    explicit FakePlayer(QStringList &events) : events_(events) {}
    QStringList played;
    // Run inside play(), e.g. to fail at once as a broken device does.
    std::function<void()> onPlay;
    bool startsAtOnce = true;

    void play(const QString &path) override
    {
        played << path;
        events_ << QStringLiteral("play ") + path;
        playing_ = true;
        if (onPlay)
            onPlay();
        if (startsAtOnce && playing_)
            emit started();
    }
    void start()
    {
        if (playing_)
            emit started();
    }
    void stop() override
    {
        if (playing_)
            events_ << QStringLiteral("stop");
        playing_ = false;
    }
    bool isPlaying() const override { return playing_; }

    void finish()
    {
        playing_ = false;
        emit finished();
    }
    void fail(const QString &text)
    {
        playing_ = false;
        emit failed(text);
    }

private:
    QStringList &events_;
    bool playing_ = false;
};

inline QString KindName(zev::KeyLineKind kind)
{
    switch (kind) {
    case zev::KeyLineKind::Rts: return QStringLiteral("RTS");
    case zev::KeyLineKind::Dtr: return QStringLiteral("DTR");
    case zev::KeyLineKind::Parallel: return QStringLiteral("Parallel");
    }
    return {};
}

// Writes "<kind> open|down|up|close" into the shared list.
class RecordingKeyLine : public zev::KeyLine {
public:
    RecordingKeyLine(QStringList &events, zev::KeyLineKind kind, bool opens)
        : events_(events), name_(KindName(kind)), opens_(opens) {}
    bool open() override
    {
        if (!opens_)
            return false;
        open_ = true;
        events_ << name_ + QStringLiteral(" open");
        return true;
    }
    void close() override
    {
        if (!open_)
            return;
        if (down_)
            events_ << name_ + QStringLiteral(" up");
        down_ = false;
        open_ = false;
        events_ << name_ + QStringLiteral(" close");
    }
    bool isOpen() const override { return open_; }
    bool set(bool down) override
    {
        if (!open_)
            return false;
        down_ = down;
        events_ << name_ + (down ? QStringLiteral(" down") : QStringLiteral(" up"));
        return true;
    }
    QString errorText() const override { return opens_ ? QString() : QStringLiteral("No such device"); }

private:
    QStringList &events_;
    QString name_;
    bool opens_;
    bool open_ = false;
    bool down_ = false;
};

// Makes recording lines; "make <kind> <where>" in the list. Devices in `refused` do not open.
struct RecordingLineFactory {
    QStringList &events;
    QStringList refused;

    zev::KeyLineFactory factory()
    {
        return [this](zev::KeyLineKind kind, const QString &where) {
            events << QStringLiteral("make %1 %2").arg(KindName(kind), where);
            return std::make_unique<RecordingKeyLine>(events, kind, !refused.contains(where));
        };
    }
};

// A PCM wave file: header and `frames` frames of silence.
inline QByteArray PcmWave(int frames, int rate = 8000, int bits = 16, int channels = 1, int format = 1)
{
    const int block = channels * bits / 8;
    const quint32 dataBytes = quint32(frames * block);
    QByteArray w;
    auto u32 = [&w](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        w.append(b, 4);
    };
    auto u16 = [&w](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        w.append(b, 2);
    };
    w += "RIFF";
    u32(36 + dataBytes);
    w += "WAVEfmt ";
    u32(16);
    u16(quint16(format));
    u16(quint16(channels));
    u32(quint32(rate));
    u32(quint32(rate * block));
    u16(quint16(block));
    u16(quint16(bits));
    w += "data";
    u32(dataBytes);
    w += QByteArray(int(dataBytes), '\0');
    return w;
}

inline QString WriteWave(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

}  // namespace zevtest
