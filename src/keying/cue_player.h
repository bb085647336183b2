#pragma once
// Spoken cues for operators who cannot see the screen: short wave files named after the
// cue in the working folder. Cues never key the transmitter and never wait.

#include <QObject>
#include <QString>
#include <QTimer>

namespace zev {

class AudioPlayer;

class CuePlayer : public QObject {
    Q_OBJECT
public:
    // Plays "<folder>/<cue>.wav" on its own player.
    CuePlayer(AudioPlayer &player, QString folder, QObject *parent = nullptr);

    // Plays a cue, cutting off one still playing (and any cue waiting to follow it).
    // A missing or unplayable file is silent. Returns at once.
    void BlindKeyPhone(const QString &cue);
    // Plays `first`, then `second` once the first has ended, or once the first's length
    // plus a margin has passed when the player reports no end.
    void BlindKeyPhoneThen(const QString &first, const QString &second);
    void stop();

    QString cuePath(const QString &cue) const;
    bool waiting() const { return !next_.isEmpty(); }
    void setChainMargin(int ms) { chainMarginMs_ = ms; }

private:
    // The cue's length in ms, or -1 when it cannot be played.
    qint64 start(const QString &cue);
    void playNext();

    AudioPlayer &player_;
    QString folder_;
    QString next_;
    int chainMarginMs_ = 1000;
    QTimer chainTimeout_;
};

}  // namespace zev
