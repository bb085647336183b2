#include "keying/winkeyer.h"

#include "keying/cw_buffer.h"

#include <algorithm>

namespace zev {

namespace {

// Host protocol bytes.
constexpr char kAdmin = 0x00;
constexpr char kAdminOpen = 0x02;
constexpr char kAdminClose = 0x03;
constexpr char kBackspace = 0x08;
constexpr char kSpeed = 0x02;
constexpr char kWeight = 0x03;
constexpr char kLeadTail = 0x04;
constexpr char kPinConfig = 0x09;
constexpr char kClearBuffer = 0x0A;
constexpr char kMode = 0x0E;
constexpr char kRequestStatus = 0x15;
constexpr char kRatio = 0x17;
constexpr char kMergeLetters = 0x1B;

// Mode register bits we own: every character sent is echoed so we know how many the
// keyer still holds; paddle characters are not, so they do not upset that count.
constexpr int kModeSerialEcho = 0x04;
constexpr int kModePaddleEcho = 0x40;

// Status byte: 110x xxxx. A speed-pot byte is 10xx xxxx; anything below 0x80 is an echo.
constexpr quint8 kStatusTag = 0xC0;
constexpr quint8 kStatusXoff = 0x01;
constexpr quint8 kStatusBusy = 0x04;

constexpr int kPollMs = 10;
const QString kLineSettings = QStringLiteral("1200,N,8,2");

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(quint8(v)));
    return out;
}

QByteArray ModeBytes(int mode)
{
    return Bytes({kMode, (mode & ~kModePaddleEcho) | kModeSerialEcho});
}

}  // namespace

QString WinKeyerCodeText(int code)
{
    switch (code) {
    case kWkSuccess: return QStringLiteral("WK Success!");
    case kWkNoEchoResponse: return QStringLiteral("No Echo Response");
    case kWkEchoMismatch: return QStringLiteral("Echo Mismatch");
    case kWkNoOpenResponse: return QStringLiteral("No Open Response");
    case kWkComOpenFailed: return QStringLiteral("Com Open Failed");
    case kWkGetComFailed: return QStringLiteral("Get Com ST Failed");
    case kWkSetComFailed: return QStringLiteral("Set Com ST Failed");
    case kWkAlreadyOpen: return QStringLiteral("WK Already Open");
    case kWkNotOpen: return QStringLiteral("WK Not Open");
    default: return {};
    }
}

QByteArray WinKeyerTextBytes(QChar c)
{
    const char16_t u = c.unicode();
    switch (u) {
    case u'[': return QByteArray(1, kMergeLetters) + "AR";
    case u']': return QByteArray(1, kMergeLetters) + "SK";
    case u';': return QByteArray(1, kMergeLetters) + "KN";
    case u'\\': return QByteArray(1, kMergeLetters) + "CL";
    case u'-': return QByteArrayLiteral("=");  // the key line sends BT for both
    case u' ': case u'.': case u',': case u'?': case u'/': case u'=':
        return QByteArray(1, char(u));
    default: break;
    }
    if (u >= u'a' && u <= u'z')
        return QByteArray(1, char(u - u'a' + u'A'));
    if ((u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9'))
        return QByteArray(1, char(u));
    // Anything else has no Morse on the key line either. Bytes below 0x20 would be keyer
    // commands, and "!" logs the contact, which is the owner's business.
    return {};
}

WinKeyer::WinKeyer(CwBuffer &buffer, LineFactory makeLine, QObject *parent)
    : QObject(parent), buffer_(buffer), makeLine_(std::move(makeLine))
{
    pollTimer_.setInterval(kPollMs);
    connect(&pollTimer_, &QTimer::timeout, this, &WinKeyer::poll);
    silenceTimer_.setSingleShot(true);
    connect(&silenceTimer_, &QTimer::timeout, this, [this] {
        if (state_ == State::Opening) {
            dropLine();
            finishOpen(kWkNoOpenResponse);
        } else if (state_ == State::Open) {
            fail(QStringLiteral("The WinKeyer on %1 stopped answering; it was closed and the CW "
                                "message was dropped.")
                     .arg(device_));
        }
    });
    // A slow keyer may take seconds over one character: ask how it is doing meanwhile, so
    // only a keyer that is gone stays silent.
    connect(&askTimer_, &QTimer::timeout, this, [this] { send(Bytes({kRequestStatus})); });
}

WinKeyer::~WinKeyer()
{
    // Leaving the keyer with nothing to send and back in its own hands.
    if (state_ == State::Open && line_->write(Bytes({kClearBuffer})))
        line_->write(Bytes({kAdmin, kAdminClose}));
    if (line_)
        line_->close();
}

void WinKeyer::open(const QString &device)
{
    if (state_ == State::Open) {
        emit statusText(WinKeyerCodeText(kWkAlreadyOpen));
        emit openFinished(kWkAlreadyOpen, version_);
        return;
    }
    if (state_ == State::Opening)
        return;  // the answer to the first open is on its way
    device_ = device;
    if (beforeOpen)
        beforeOpen();
    line_ = makeLine_ ? makeLine_() : nullptr;
    if (!line_ || device.isEmpty()
        || !line_->open(device, kLineSettings, Handshake::None, true, true)) {
        line_.reset();
        finishOpen(kWkComOpenFailed);
        return;
    }
    line_->readAll();  // whatever the keyer said before we asked is stale
    state_ = State::Opening;
    if (!line_->write(Bytes({kAdmin, kAdminOpen}))) {
        dropLine();
        finishOpen(kWkComOpenFailed);
        return;
    }
    pollTimer_.start();
    silenceTimer_.start(answerTimeoutMs_);
}

void WinKeyer::close()
{
    if (state_ == State::Closed)
        return;
    if (state_ == State::Open)
        line_->write(Bytes({kAdmin, kAdminClose}));
    dropLine();
    emit closed();
}

void WinKeyer::dropLine()
{
    pollTimer_.stop();
    stopWaiting();
    if (line_)
        line_->close();
    line_.reset();
    state_ = State::Closed;
    version_ = 0;
    pending_ = 0;
    xoff_ = busy_ = outstanding_ = heardSinceGiven_ = false;
}

void WinKeyer::finishOpen(int code)
{
    emit statusText(WinKeyerCodeText(code));
    emit openFinished(code, version());
    const bool transmitNow = transmitWhenOpen_;
    transmitWhenOpen_ = false;
    if (code == kWkSuccess) {
        emit opened(version_);
        if (transmitNow)
            feed();
    } else if (transmitNow) {
        buffer_.clear();  // nowhere to send it
    }
}

void WinKeyer::fail(const QString &why)
{
    if (state_ == State::Closed)
        return;
    dropLine();
    transmitWhenOpen_ = false;
    buffer_.clear();
    emit closed();
    emit failed(why);
}

bool WinKeyer::send(const QByteArray &bytes)
{
    if (!line_)
        return false;
    if (line_->write(bytes))
        return true;
    fail(QStringLiteral("The WinKeyer's port %1 failed: %2").arg(device_, line_->errorText()));
    return false;
}

void WinKeyer::applySettings()
{
    QList<QByteArray> all;
    if (wpm_ >= 0)
        all << Bytes({kSpeed, wpm_});
    if (weight_ >= 0)
        all << Bytes({kWeight, weight_});
    if (lead_ >= 0 && tail_ >= 0)
        all << Bytes({kLeadTail, lead_, tail_});
    if (ratio_ >= 0)
        all << Bytes({kRatio, ratio_});
    all << Bytes({kPinConfig, pins_}) << ModeBytes(mode_);
    for (const QByteArray &bytes : all)
        if (!send(bytes))
            return;
}

void WinKeyer::useSettings(const WkSettings &settings)
{
    WkSettings s = settings;
    const BoxOutcome speed = LeaveSpeedBox(s.txtWKWPM);
    s.txtWKWPM = speed.text;
    if (speed.send)
        setWpm(*speed.send);
    const BoxOutcome weight = LeaveWeightBox(s.txtWeight);
    s.txtWeight = weight.text;
    if (weight.send)
        setWeight(*weight.send);
    const LeadTailOutcome leadTail = LeaveLeadTailBoxes(s.txtLeadIn, s.txtTail, true);
    s.txtLeadIn = leadTail.leadText;
    s.txtTail = leadTail.tailText;
    if (leadTail.send)
        setLeadTail(leadTail.send->first, leadTail.send->second);
    const BoxOutcome ratio = LeaveRatioBox(s.txtRatio);
    s.txtRatio = ratio.text;
    if (ratio.send)
        setRatio(*ratio.send);
    setPinConfig(s.WinKeyPinConfig);
    setMode(s.WinKeyMode);
    settings_ = s;
}

void WinKeyer::setWpm(int wpm)
{
    wpm_ = wpm;
    if (state_ == State::Open)
        send(Bytes({kSpeed, wpm}));
}

void WinKeyer::setWeight(int weight)
{
    weight_ = weight;
    if (state_ == State::Open)
        send(Bytes({kWeight, weight}));
}

void WinKeyer::setLeadTail(int leadIn, int tail)
{
    lead_ = leadIn;
    tail_ = tail;
    if (state_ == State::Open)
        send(Bytes({kLeadTail, leadIn, tail}));
}

void WinKeyer::setRatio(int ratio)
{
    ratio_ = ratio;
    if (state_ == State::Open)
        send(Bytes({kRatio, ratio}));
}

void WinKeyer::setPinConfig(int pins)
{
    pins_ = pins;
    if (state_ == State::Open)
        send(Bytes({kPinConfig, pins}));
}

void WinKeyer::setMode(int mode)
{
    mode_ = mode;
    if (state_ == State::Open)
        send(ModeBytes(mode));
}

void WinKeyer::transmit()
{
    switch (state_) {
    case State::Open:
        feed();
        return;
    case State::Opening:
        transmitWhenOpen_ = true;
        return;
    case State::Closed:
        if (device_.isEmpty()) {
            // Said once for the message, as for a CW line without a port.
            buffer_.clear();
            emit failed(QStringLiteral("No WinKey port set"));
            return;
        }
        transmitWhenOpen_ = true;
        open(device_);
        return;
    }
}

void WinKeyer::clearBuffer()
{
    if (state_ != State::Open)
        return;
    // Nothing given before this is ours to wait for any more.
    pending_ = 0;
    outstanding_ = false;
    send(Bytes({kClearBuffer}));
}

void WinKeyer::backspace()
{
    if (state_ != State::Open)
        return;
    if (pending_ > 0)
        --pending_;
    send(Bytes({kBackspace}));
}

int WinKeyer::status() const
{
    if (state_ != State::Open)
        return 0;
    if (pending_ > 0)
        return pending_;
    return busy_ || outstanding_ ? 1 : 0;
}

bool WinKeyer::waitingForRoom() const
{
    return state_ == State::Open && (pending_ >= kMaxPending || xoff_) && !buffer_.isEmpty();
}

void WinKeyer::poll()
{
    if (!line_)
        return;
    if (!line_->isOpen()) {
        const QString why = line_->errorText();
        if (state_ == State::Opening) {
            dropLine();
            finishOpen(kWkNoOpenResponse);
        } else {
            fail(why.isEmpty() ? QStringLiteral("The WinKeyer's port %1 closed.").arg(device_) : why);
        }
        return;
    }
    const QByteArray bytes = line_->readAll();
    for (char b : bytes) {
        handle(quint8(b));
        if (!line_)
            return;
    }
    if (state_ != State::Open)
        return;
    feed();
    if (!line_)
        return;
    if (waitingForRoom()) {
        if (!bytes.isEmpty() || !silenceTimer_.isActive())
            silenceTimer_.start(answerTimeoutMs_);
        if (!askTimer_.isActive())
            askTimer_.start(std::max(answerTimeoutMs_ / 4, kPollMs));
    } else {
        stopWaiting();
    }
}

void WinKeyer::stopWaiting()
{
    silenceTimer_.stop();
    askTimer_.stop();
}

void WinKeyer::handle(quint8 b)
{
    if (state_ == State::Opening) {
        if (b == 0)
            return;
        version_ = b;
        state_ = State::Open;
        stopWaiting();
        applySettings();
        if (state_ == State::Open)
            finishOpen(kWkSuccess);
        return;
    }
    if ((b & kStatusTag) == kStatusTag) {
        xoff_ = b & kStatusXoff;
        busy_ = b & kStatusBusy;
        if (busy_) {
            heardSinceGiven_ = true;
        } else if (heardSinceGiven_) {
            // The keyer has sent all it held, whatever the echo count says.
            pending_ = 0;
            if (outstanding_ && buffer_.isEmpty()) {
                outstanding_ = false;
                emit idle();
            }
        }
        return;
    }
    if ((b & kStatusTag) == 0x80)
        return;  // the speed pot moved: not a character, not a status
    pending_ = std::max(0, pending_ - 1);
    heardSinceGiven_ = true;
}

void WinKeyer::feed()
{
    while (state_ == State::Open && pending_ < kMaxPending && !xoff_) {
        const std::optional<QChar> c = buffer_.takeFirst();
        if (!c)
            return;
        const QByteArray bytes = WinKeyerTextBytes(*c);
        if (bytes.isEmpty())
            continue;
        if (!send(bytes))
            return;
        ++pending_;
        outstanding_ = true;
        heardSinceGiven_ = false;
    }
}

}  // namespace zev
