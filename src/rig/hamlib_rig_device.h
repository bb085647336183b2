#pragma once
// Radios driven through the Hamlib library. Hamlib calls block (a serial timeout, a
// rigctld that stops answering), so they run on a worker thread of their own; the link
// on the window's thread asks by queued calls and hears back by queued signals.

#include <QList>
#include <QObject>
#include <QString>

class QThread;
struct s_rig;  // Hamlib's RIG

namespace zev {

class Registry;

// Hamlib's dummy radio and its network model, which talks to a rigctld.
constexpr int kHamlibDummyModel = 1;
constexpr int kHamlibNetModel = 2;

// The operator's Hamlib choice, kept in the registry beside the port map.
struct HamlibChoice {
    int model = kHamlibDummyModel;
    QString netAddress = QStringLiteral("localhost:4532");  // host:port of a rigctld

    bool operator==(const HamlibChoice &) const = default;
};
HamlibChoice LoadHamlibChoice(const Registry &registry);
// False, with the reason in `error`, when the store could not be written.
bool SaveHamlibChoice(Registry &registry, const HamlibChoice &choice, QString *error = nullptr);

// One entry of Hamlib's radio list.
struct HamlibModel {
    int model = 0;
    QString text;  // "maker model"
};
// Every radio Hamlib knows, in model number order.
QList<HamlibModel> HamlibModels();

// What the worker opens: a serial device and its rate, or for the network model a
// "host:port".
struct HamlibPort {
    int model = kHamlibDummyModel;
    QString path;
    int rate = 0;  // 0: Hamlib's default for the model
};

// The radio's mode as the logger knows it: "CW" or "PH"; empty for data modes.
QString HamlibModeText(quint64 hamlibMode);
// The Hamlib mode for one of the link's mode names ("CW", "USB", "RTTY", ...); "PH" takes
// the sideband of the frequency. 0 when there is none.
quint64 HamlibModeFor(const QString &mode, qint64 hz);

// Lives on the worker thread; every slot may block for as long as Hamlib does.
class HamlibRigWorker : public QObject {
    Q_OBJECT
public:
    explicit HamlibRigWorker(HamlibPort port);
    ~HamlibRigWorker() override;

public slots:
    void open();
    void poll();
    void setFrequency(qint64 hz);
    void setMode(const QString &mode, qint64 hz);

signals:
    void opened(bool ok, const QString &why);
    void reading(qint64 hz, const QString &mode);
    void unanswered(const QString &why);
    void commandFailed(const QString &why, const QString &title);

private:
    void close();
    HamlibPort port_;
    ::s_rig *rig_ = nullptr;
};

// The worker and its thread. Stopping never waits: a worker stuck in a Hamlib call ends
// with its thread once the call returns.
class HamlibRig : public QObject {
    Q_OBJECT
public:
    explicit HamlibRig(const HamlibPort &port, QObject *parent = nullptr);
    ~HamlibRig() override;
    // At the program's end: lets the worker close the radio, waiting at most `ms`.
    void finish(int ms);

    // Each ask is queued behind the worker's current call.
    void open();
    void poll();
    void setFrequency(qint64 hz);
    void setMode(const QString &mode, qint64 hz);

signals:
    void opened(bool ok, const QString &why);
    void reading(qint64 hz, const QString &mode);
    void unanswered(const QString &why);
    void commandFailed(const QString &why, const QString &title);

private:
    QThread *thread_ = nullptr;
    HamlibRigWorker *worker_ = nullptr;  // gone with its thread once told to quit
    bool quitting_ = false;
};

}  // namespace zev
