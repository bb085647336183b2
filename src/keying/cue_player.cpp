#include "keying/cue_player.h"

#include "keying/audio_player.h"
#include "keying/wave_file.h"

namespace zev {

CuePlayer::CuePlayer(AudioPlayer &player, QString folder, QObject *parent)
    : QObject(parent), player_(player), folder_(std::move(folder))
{
    chainTimeout_.setSingleShot(true);
    connect(&chainTimeout_, &QTimer::timeout, this, &CuePlayer::playNext);
    connect(&player_, &AudioPlayer::finished, this, &CuePlayer::playNext);
    connect(&player_, &AudioPlayer::failed, this, &CuePlayer::playNext);
}

QString CuePlayer::cuePath(const QString &cue) const
{
    return folder_ + QLatin1Char('/') + cue + QStringLiteral(".wav");
}

void CuePlayer::BlindKeyPhone(const QString &cue)
{
    next_.clear();
    chainTimeout_.stop();
    start(cue);
}

void CuePlayer::BlindKeyPhoneThen(const QString &first, const QString &second)
{
    next_.clear();
    chainTimeout_.stop();
    next_ = second;
    const qint64 length = start(first);
    if (next_.isEmpty())
        return;  // the first already ended (a player that failed at once)
    if (length < 0)
        playNext();
    else
        chainTimeout_.start(int(qMin<qint64>(length + chainMarginMs_, 60000)));
}

void CuePlayer::stop()
{
    next_.clear();
    chainTimeout_.stop();
    player_.stop();
}

qint64 CuePlayer::start(const QString &cue)
{
    player_.stop();
    const WaveCheck check = CheckWaveFile(cuePath(cue));
    if (!check.ok)
        return -1;
    player_.play(cuePath(cue));
    return check.durationMs;
}

void CuePlayer::playNext()
{
    chainTimeout_.stop();
    if (next_.isEmpty())
        return;
    const QString cue = next_;
    next_.clear();
    start(cue);
}

}  // namespace zev
