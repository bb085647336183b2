#pragma once
// The sound card through QtMultimedia.

#include "keying/audio_player.h"

class QAudioOutput;
class QMediaPlayer;

namespace zev {

// Chooses the GStreamer media back-end unless the environment names one: Qt 6.4's
// FFmpeg back-end never reports the end of a file and crashes without a sound device.
// Takes effect when called before the first media object is made.
void PreferGStreamerMedia();

class AudioPlayerDevice : public AudioPlayer {
    Q_OBJECT
public:
    explicit AudioPlayerDevice(QObject *parent = nullptr);
    ~AudioPlayerDevice() override;

    void play(const QString &path) override;
    void stop() override;
    bool isPlaying() const override { return playing_; }

private:
    void end(bool ok, const QString &text);

    QMediaPlayer *player_ = nullptr;
    QAudioOutput *output_ = nullptr;
    bool playing_ = false;
};

}  // namespace zev
