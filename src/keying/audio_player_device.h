#pragma once
// The sound card: wave files played through a sound stream of their own.

#include "keying/audio_player.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

class QAudioSink;
class QBuffer;

namespace zev {

// Chooses the GStreamer media back-end unless the environment names one: Qt 6.4's
// FFmpeg back-end never reports the end of a file and crashes without a sound device.
// Takes effect when called before the first media object is made.
void PreferGStreamerMedia();

// Each file gets a sound stream opened for it and closed after it. Its progress is the
// time the sound server reports as played, so "started" means sound reaches the server
// and a stream that stops moving is reported as failed instead of claiming to play.
class AudioPlayerDevice : public AudioPlayer {
    Q_OBJECT
public:
    explicit AudioPlayerDevice(QObject *parent = nullptr);
    ~AudioPlayerDevice() override;

    void play(const QString &path) override;
    void stop() override;
    bool isPlaying() const override { return playing_; }

    // No progress for this long after the sound started counts as a stall.
    void setStallTime(int ms) { stallMs_ = ms; }
    // How long a stream may take to start sounding.
    void setStartTime(int ms) { startMs_ = ms; }

private:
    void end(bool ok, const QString &text);
    void failLater(const QString &text);
    void release();
    void checkProgress();

    QAudioSink *sink_ = nullptr;
    QBuffer *source_ = nullptr;
    QByteArray sound_;
    qint64 lengthUs_ = 0;
    qint64 bufferUs_ = 0;
    bool playing_ = false;
    bool started_ = false;
    quint64 play_ = 0;  // which play a queued failure belongs to
    qint64 lastPosition_ = 0;
    QElapsedTimer sinceProgress_;
    QTimer progress_;
    int stallMs_ = 1000;
    int startMs_ = 4000;
};

}  // namespace zev
