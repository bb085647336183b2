#include "rig/hamlib_rig_device.h"

#include "frame/registry.h"

#include <QThread>

#include <hamlib/rig.h>

#include <algorithm>
#include <mutex>

namespace zev {

namespace {

const QString kModelKey = QStringLiteral("HamlibModel");
const QString kNetAddressKey = QStringLiteral("HamlibNetAddress");

void QuietHamlib()
{
    static std::once_flag once;
    std::call_once(once, [] { rig_set_debug(RIG_DEBUG_NONE); });
}

// Hamlib's open and close touch state shared by every radio in the process; a worker
// left closing a dead link must not overlap the next one opening.
std::mutex &HamlibLifecycle()
{
    static std::mutex m;
    return m;
}

QString HamlibError(int code)
{
    return QString::fromLocal8Bit(rigerror(code)).trimmed();
}

bool SetConf(RIG *rig, const char *name, const QByteArray &value)
{
    const token_t token = rig_token_lookup(rig, name);
    return token != RIG_CONF_END && rig_set_conf(rig, token, value.constData()) == RIG_OK;
}

}  // namespace

HamlibChoice LoadHamlibChoice(const Registry &registry)
{
    HamlibChoice choice;
    bool ok = false;
    const int model = registry.value(kModelKey).toInt(&ok);
    if (ok && model > 0)
        choice.model = model;
    const QString address = registry.value(kNetAddressKey).trimmed();
    if (!address.isEmpty())
        choice.netAddress = address;
    return choice;
}

bool SaveHamlibChoice(Registry &registry, const HamlibChoice &choice, QString *error)
{
    return registry.setValue(kModelKey, QString::number(choice.model), error)
        && registry.setValue(kNetAddressKey, choice.netAddress.trimmed(), error);
}

QList<HamlibModel> HamlibModels()
{
    QuietHamlib();
    static const QList<HamlibModel> models = [] {
        const std::lock_guard<std::mutex> lock(HamlibLifecycle());
        rig_load_all_backends();
        QList<HamlibModel> list;
        rig_list_foreach(
            [](const struct rig_caps *caps, rig_ptr_t data) -> int {
                auto *out = static_cast<QList<HamlibModel> *>(data);
                out->append({int(caps->rig_model), QStringLiteral("%1 %2").arg(QString::fromLatin1(caps->mfg_name),
                                                                             QString::fromLatin1(caps->model_name))});
                return 1;  // go on
            },
            &list);
        std::sort(list.begin(), list.end(), [](const HamlibModel &a, const HamlibModel &b) { return a.model < b.model; });
        return list;
    }();
    return models;
}

QString HamlibModeText(quint64 mode)
{
    if (mode & (RIG_MODE_CW | RIG_MODE_CWR))
        return QStringLiteral("CW");
    if (mode & (RIG_MODE_USB | RIG_MODE_LSB | RIG_MODE_AM | RIG_MODE_FM | RIG_MODE_WFM | RIG_MODE_SAM | RIG_MODE_AMS
                | RIG_MODE_DSB))
        return QStringLiteral("PH");
    return {};
}

quint64 HamlibModeFor(const QString &mode, qint64 hz)
{
    const QString m = mode.trimmed().toUpper();
    if (m == QLatin1String("CW"))
        return RIG_MODE_CW;
    if (m == QLatin1String("CW-R"))
        return RIG_MODE_CWR;
    if (m == QLatin1String("LSB"))
        return RIG_MODE_LSB;
    if (m == QLatin1String("USB"))
        return RIG_MODE_USB;
    // Phone follows the usual sideband: lower below 10 MHz.
    if (m == QLatin1String("PH") || m == QLatin1String("SSB"))
        return hz > 0 && hz < 10'000'000 ? RIG_MODE_LSB : RIG_MODE_USB;
    if (m == QLatin1String("AM"))
        return RIG_MODE_AM;
    if (m == QLatin1String("FM"))
        return RIG_MODE_FM;
    if (m == QLatin1String("RTTY") || m == QLatin1String("FSK"))
        return RIG_MODE_RTTY;
    if (m == QLatin1String("RTTY-R"))
        return RIG_MODE_RTTYR;
    if (m == QLatin1String("DIG") || m == QLatin1String("PKT"))
        return RIG_MODE_PKTUSB;
    return 0;
}

HamlibRigWorker::HamlibRigWorker(HamlibPort port) : port_(std::move(port)) {}

HamlibRigWorker::~HamlibRigWorker()
{
    close();
}

void HamlibRigWorker::close()
{
    if (!rig_)
        return;
    const std::lock_guard<std::mutex> lock(HamlibLifecycle());
    rig_close(rig_);
    rig_cleanup(rig_);
    rig_ = nullptr;
}

void HamlibRigWorker::open()
{
    close();
    QuietHamlib();
    const std::lock_guard<std::mutex> lock(HamlibLifecycle());
    rig_load_all_backends();
    RIG *rig = rig_init(rig_model_t(port_.model));
    if (!rig) {
        emit opened(false, QStringLiteral("Hamlib does not know radio model %1.").arg(port_.model));
        return;
    }
    if (!port_.path.isEmpty() && !SetConf(rig, "rig_pathname", port_.path.toLocal8Bit())) {
        rig_cleanup(rig);
        emit opened(false, QStringLiteral("Hamlib refused the port \"%1\".").arg(port_.path));
        return;
    }
    if (port_.rate > 0 && port_.model != kHamlibNetModel)
        SetConf(rig, "serial_speed", QByteArray::number(port_.rate));
    // A silent radio costs one short wait per call, not Hamlib's default retries.
    SetConf(rig, "timeout", "1000");
    SetConf(rig, "retry", "0");
    const int rc = rig_open(rig);
    if (rc != RIG_OK) {
        rig_cleanup(rig);
        emit opened(false, QStringLiteral("Hamlib could not open the radio on \"%1\": %2")
                               .arg(port_.path.isEmpty() ? QStringLiteral("its default port") : port_.path,
                                    HamlibError(rc)));
        return;
    }
    // Every poll asks the radio: a reading from Hamlib's cache would hide a radio gone silent
    // and a dial turned by another program sharing it.
    rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);
    rig_ = rig;
    emit opened(true, {});
}

void HamlibRigWorker::poll()
{
    if (!rig_) {
        emit unanswered(QStringLiteral("The radio is not open."));
        return;
    }
    freq_t freq = 0;
    int rc = rig_get_freq(rig_, RIG_VFO_CURR, &freq);
    if (rc != RIG_OK) {
        emit unanswered(HamlibError(rc));
        return;
    }
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    rc = rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width);
    emit reading(qint64(freq + 0.5), rc == RIG_OK ? HamlibModeText(mode) : QString());
}

void HamlibRigWorker::setFrequency(qint64 hz)
{
    if (!rig_)
        return;
    const int rc = rig_set_freq(rig_, RIG_VFO_CURR, freq_t(hz));
    if (rc != RIG_OK)
        emit commandFailed(HamlibError(rc), QStringLiteral("Error Changing Frequency"));
}

void HamlibRigWorker::setMode(const QString &mode, qint64 hz)
{
    const quint64 m = HamlibModeFor(mode, hz);
    if (!rig_ || m == 0)
        return;
    const int rc = rig_set_mode(rig_, RIG_VFO_CURR, rmode_t(m), RIG_PASSBAND_NOCHANGE);
    if (rc != RIG_OK)
        emit commandFailed(HamlibError(rc) + QLatin1Char(' ') + mode, QStringLiteral("Error Changing Mode"));
}

HamlibRig::HamlibRig(const HamlibPort &port, QObject *parent)
    : QObject(parent), thread_(new QThread), worker_(new HamlibRigWorker(port))
{
    thread_->setObjectName(QStringLiteral("hamlib"));
    worker_->moveToThread(thread_);
    // The worker is closed and deleted on its own thread, the thread object after it.
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
    connect(worker_, &HamlibRigWorker::opened, this, &HamlibRig::opened, Qt::QueuedConnection);
    connect(worker_, &HamlibRigWorker::reading, this, &HamlibRig::reading, Qt::QueuedConnection);
    connect(worker_, &HamlibRigWorker::unanswered, this, &HamlibRig::unanswered, Qt::QueuedConnection);
    connect(worker_, &HamlibRigWorker::commandFailed, this, &HamlibRig::commandFailed, Qt::QueuedConnection);
    thread_->start();
}

HamlibRig::~HamlibRig()
{
    if (quitting_)
        return;
    // Whatever the worker still reports goes nowhere; the thread ends after its call.
    worker_->disconnect(this);
    thread_->quit();
}

void HamlibRig::finish(int ms)
{
    if (quitting_)
        return;
    quitting_ = true;
    worker_->disconnect(this);
    thread_->quit();
    thread_->wait(QDeadlineTimer(ms));
}

void HamlibRig::open()
{
    QMetaObject::invokeMethod(worker_, &HamlibRigWorker::open, Qt::QueuedConnection);
}

void HamlibRig::poll()
{
    QMetaObject::invokeMethod(worker_, &HamlibRigWorker::poll, Qt::QueuedConnection);
}

void HamlibRig::setFrequency(qint64 hz)
{
    QMetaObject::invokeMethod(worker_, [w = worker_, hz] { w->setFrequency(hz); }, Qt::QueuedConnection);
}

void HamlibRig::setMode(const QString &mode, qint64 hz)
{
    QMetaObject::invokeMethod(worker_, [w = worker_, mode, hz] { w->setMode(mode, hz); }, Qt::QueuedConnection);
}

}  // namespace zev
