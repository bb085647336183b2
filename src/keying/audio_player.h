#pragma once
// Plays one wave file at a time through the sound card.

#include <QObject>
#include <QString>

namespace zev {

class AudioPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts playing and returns at once; a file still playing is cut off without a signal.
    virtual void play(const QString &path) = 0;
    // Stops playing; no signal follows.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

signals:
    // Sound of the file is flowing to the sound device.
    void started();
    // The file played to its end.
    void finished();
    // The file could not be played, or playing broke off; nothing is playing now.
    void failed(const QString &text);
};

}  // namespace zev
