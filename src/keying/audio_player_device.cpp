#include "keying/audio_player_device.h"

#include "keying/wave_file.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>
#include <QtEndian>

namespace zev {

void PreferGStreamerMedia()
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

namespace {

// The samples in a form the sound stream takes: 24-bit integers widen to 32 bits, 64-bit
// floats narrow to 32 bits.
QByteArray StreamSamples(const QByteArray &data, const WaveCheck &w, QAudioFormat &format)
{
    format.setSampleRate(w.sampleRate);
    format.setChannelCount(w.channels);
    if (w.isFloat) {
        format.setSampleFormat(QAudioFormat::Float);
        if (w.bitsPerSample == 32)
            return data;
        QByteArray out(data.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i + 8 <= data.size(); i += 8)
            qToLittleEndian(float(qFromLittleEndian<double>(data.constData() + i)), out.data() + i / 2);
        return out;
    }
    switch (w.bitsPerSample) {
    case 8: format.setSampleFormat(QAudioFormat::UInt8); return data;
    case 16: format.setSampleFormat(QAudioFormat::Int16); return data;
    case 32: format.setSampleFormat(QAudioFormat::Int32); return data;
    default: break;
    }
    format.setSampleFormat(QAudioFormat::Int32);
    const qsizetype samples = data.size() / 3;
    QByteArray out(samples * 4, Qt::Uninitialized);
    for (qsizetype i = 0; i < samples; ++i) {
        const auto *b = reinterpret_cast<const uchar *>(data.constData() + 3 * i);
        const quint32 v = (quint32(b[0]) << 8) | (quint32(b[1]) << 16) | (quint32(b[2]) << 24);
        qToLittleEndian(v, out.data() + 4 * i);
    }
    return out;
}

}  // namespace

AudioPlayerDevice::AudioPlayerDevice(QObject *parent) : AudioPlayer(parent)
{
    progress_.setInterval(50);
    connect(&progress_, &QTimer::timeout, this, &AudioPlayerDevice::checkProgress);
}

AudioPlayerDevice::~AudioPlayerDevice()
{
    playing_ = false;
    release();
}

namespace {
// The sound server's thread may still be delivering an event to a stream just stopped; a
// sink deleted at once can be called after it is gone. A stopped sink is deleted a while
// later, with the buffer it read, once nothing can reach it any more.
void RetireLater(QAudioSink *sink)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        QTimer::singleShot(3000, app, [sink] { delete sink; });
    else
        delete sink;
}
}  // namespace

void AudioPlayerDevice::release()
{
    progress_.stop();
    if (sink_) {
        // Its signals about being cut off are not this file's end.
        sink_->disconnect(this);
        if (!sink_->isNull())
            sink_->stop();
        RetireLater(sink_);
        sink_ = nullptr;
        source_ = nullptr;  // the sink's child, retired with it
    }
    delete source_;
    source_ = nullptr;
    sound_.clear();
}

void AudioPlayerDevice::failLater(const QString &text)
{
    // Callers are told after play() returns, as for any other end.
    const quint64 which = play_;
    QMetaObject::invokeMethod(
        this,
        [this, which, text] {
            if (which == play_)
                end(false, text);
        },
        Qt::QueuedConnection);
}

void AudioPlayerDevice::play(const QString &path)
{
    playing_ = false;
    release();
    ++play_;
    playing_ = true;
    started_ = false;
    lastPosition_ = 0;

    const WaveCheck wave = CheckWaveFile(path);
    if (!wave.ok)
        return failLater(wave.reason);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(wave.dataOffset))
        return failLater(QStringLiteral("the file cannot be read: %1").arg(file.errorString()));
    const QByteArray data = file.read(wave.dataBytes);
    if (data.size() != wave.dataBytes)
        return failLater(QStringLiteral("the file cannot be read: %1").arg(file.errorString()));
    QAudioFormat format;
    sound_ = StreamSamples(data, wave, format);
    lengthUs_ = format.durationForBytes(qint32(qMin<qint64>(sound_.size(), INT_MAX)));
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return failLater(QStringLiteral("there is no sound device"));
    if (!device.isFormatSupported(format))
        return failLater(QStringLiteral("the sound device cannot play its format"));

    sink_ = new QAudioSink(device, format);
    // The buffer holds its own copy of the samples, so a retired sink never reads freed data.
    source_ = new QBuffer(sink_);
    source_->setData(sound_);
    source_->open(QIODevice::ReadOnly);
    // A sound server lost since the device list was made leaves the stream unmade.
    if (sink_->isNull())
        return failLater(QStringLiteral("the sound device cannot be opened"));
    connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError)
            end(false, QStringLiteral("the sound device reported an error"));
    });
    sink_->start(source_);
    if (sink_->error() != QAudio::NoError && sink_->error() != QAudio::UnderrunError)
        return failLater(QStringLiteral("the sound device cannot be opened"));
    // The stream's buffer fills before the server plays anything: only what goes in beyond
    // it shows that the server is taking sound.
    bufferUs_ = format.durationForBytes(sink_->bufferSize());
    sinceProgress_.start();
    progress_.start();
}

void AudioPlayerDevice::stop()
{
    playing_ = false;
    release();
}

void AudioPlayerDevice::checkProgress()
{
    if (!playing_ || !sink_ || sink_->isNull())
        return;
    const qint64 position = sink_->processedUSecs();
    const bool drained = source_->atEnd() && sink_->state() == QAudio::IdleState;
    if (position > lastPosition_) {
        lastPosition_ = position;
        if (started_)
            sinceProgress_.start();
    }
    if (!started_ && (position > bufferUs_ || drained)) {
        started_ = true;
        sinceProgress_.start();
        emit started();
    }
    // All of it handed over; what the stream still buffers plays within the keyer's hang.
    if (started_ && source_->atEnd() && position >= lengthUs_)
        return end(true, {});
    if (sinceProgress_.elapsed() >= (started_ ? stallMs_ : startMs_))
        end(false, started_ ? QStringLiteral("the sound stopped flowing") : QStringLiteral("no sound started to flow"));
}

void AudioPlayerDevice::end(bool ok, const QString &text)
{
    if (!playing_)
        return;
    playing_ = false;
    release();
    if (ok)
        emit finished();
    else
        emit failed(text);
}

}  // namespace zev
