#include "keying/audio_player_device.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace zev {

void PreferGStreamerMedia()
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

AudioPlayerDevice::AudioPlayerDevice(QObject *parent) : AudioPlayer(parent)
{
    PreferGStreamerMedia();
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia)
            end(true, {});
        else if (status == QMediaPlayer::InvalidMedia)
            end(false, QStringLiteral("the file cannot be played"));
    });
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error, const QString &text) {
        if (error != QMediaPlayer::NoError)
            end(false, text.isEmpty() ? QStringLiteral("the sound device reported an error") : text);
    });
}

AudioPlayerDevice::~AudioPlayerDevice()
{
    playing_ = false;
    player_->stop();
}

void AudioPlayerDevice::play(const QString &path)
{
    // Signals of the file being cut off are not this file's end.
    playing_ = false;
    player_->stop();
    player_->setSource(QUrl::fromLocalFile(path));
    playing_ = true;
    player_->play();
}

void AudioPlayerDevice::stop()
{
    playing_ = false;
    player_->stop();
}

void AudioPlayerDevice::end(bool ok, const QString &text)
{
    if (!playing_)
        return;
    playing_ = false;
    player_->stop();
    if (ok)
        emit finished();
    else
        emit failed(text);
}

}  // namespace zev
