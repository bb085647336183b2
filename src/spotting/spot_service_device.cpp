#include "spotting/spot_service_device.h"

#include "common/file_io.h"
#include "frame/session.h"
#include "rig/port_map.h"
#include "rig/serial_line_device.h"

namespace zev {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTwoBreaks = QStringLiteral("\r\n\r\n");
const char *const kUnableAgw =
    "Unable to connect to the AGW Packet Engine.  To use the AGW Packet Engine to send and receive packet with "
    "your soundcard or devices such a Baypac:";

}  // namespace

SpotService::SpotService(Session &session, QObject *parent)
    : QObject(parent), s_(session), intake_(session.spots, session.prefixes, session.clock)
{
    settingsPath = session.folders.work(QStringLiteral("PackSpot.txt"));
    agwSettingsPath = session.folders.work(QStringLiteral("AgwEngine.txt"));
    loginSettingsPath = session.folders.work(QStringLiteral("ClusterLogin.txt"));
    makeSerialLine = [] { return std::make_unique<QtSerialLine>(); };
    intake_.myCall = [this] { return s_.prefs.MyCall; };
    agwHostText_ = agwHost;
    agwPortText_ = QString::number(agwPort);
    timer_.setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(333);
    connect(&timer_, &QTimer::timeout, this, &SpotService::tick);

    connect(&intake_, &SpotIntake::beep, this, [this] { s_.prompter.beep(); });
    connect(&intake_, &SpotIntake::agwConnected, this, [this](const QString &call) {
        emit agwStationChanged(call);
        setStateText(QStringLiteral("Connected to ") + call);
    });
    connect(&intake_, &SpotIntake::agwDisconnected, this, [this](const QString &call) {
        emit agwStationChanged(QString());
        setStateText(QStringLiteral("Disconnected from ") + call);
    });

    connect(&telnet_, &SpotLink::received, &intake_, &SpotIntake::takeTelnet);
    connect(&telnet_, &SpotLink::received, this, &SpotService::telnetData);
    connect(&telnet_, &SpotLink::opened, this, [this] {
        promptTail_.clear();
        loginSent_ = false;
        probing_ = false;
        silenceTimer_.start(probeAfterMs);
        telnetWasUp_ = true;
        upSince_.start();
        linkOpened();
    });
    // A spot line cut by the hang-up still counts, before "** Port Closed **".
    connect(&telnet_, &SpotLink::failed, &intake_, &SpotIntake::endTelnet);
    connect(&telnet_, &SpotLink::failed, this, &SpotService::telnetFailed);
    reconnectTimer_.setSingleShot(true);
    connect(&reconnectTimer_, &QTimer::timeout, this, &SpotService::reconnectTelnet);
    silenceTimer_.setSingleShot(true);
    connect(&silenceTimer_, &QTimer::timeout, this, &SpotService::silenceElapsed);
    connect(&agw_, &SpotLink::opened, this, [this] {
        timer_.start();
        intake_.appendMonitor(kCrLf + QStringLiteral("** Successfully connected to AGW Packet Engine **") + kTwoBreaks);
        linkOpened();
    });
    connect(&agw_, &SpotLink::failed, this, &SpotService::agwLinkFailed);
    connect(&agw_, &AgwLink::framesDropped, this, [this](int count) {
        intake_.appendMonitor(QStringLiteral("** %1 packet frames were dropped: the engine sent them faster than "
                                             "they could be taken in. **")
                                  .arg(count) +
                              kTwoBreaks);
    });
}

SpotService::~SpotService()
{
    stop();
}

void SpotService::stop()
{
    // At exit the connected station is told goodbye.
    if (!intake_.agwConnectedCall().isEmpty())
        agw_.putData(intake_.agwConnectedCall().toLatin1(), {}, 'd');
    agw_.close();
    reconnectTimer_.stop();
    silenceTimer_.stop();
    telnet_.close();
    if (tnc_)
        tnc_->close();
    timer_.stop();
    intake_.clearAgwConnection();
    linkStarted_ = false;
    open_ = false;
}

bool SpotService::linkChosen() const
{
    const QString &type = settings_.SpotConnectionType;
    return !type.isEmpty() && type.compare(QLatin1String(kSpotLinkNone), Qt::CaseInsensitive) != 0;
}

void SpotService::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    notes_.clear();
    QString agwNote;
    if (const auto data = ReadWholeFile(agwSettingsPath)) {
        const AgwEngineRead r = ParseAgwEngine(*data);
        agwHost = r.address.host;
        agwPort = quint16(r.address.port);
        if (!r.fallbacks.isEmpty())
            agwNote = QStringLiteral("AgwEngine.txt had values missing or out of range; these were set back to "
                                     "their defaults: ") +
                      r.fallbacks.join(QStringLiteral(", "));
    }
    loadedAgw_ = {agwHost, agwPort};
    agwHostText_ = agwHost;
    agwPortText_ = QString::number(agwPort);

    if (const auto login = ReadWholeFile(loginSettingsPath))
        login_ = ParseClusterLogin(*login);
    loadedLogin_ = login_;

    const auto data = ReadWholeFile(settingsPath);
    if (data) {
        fileRead_ = true;
        // A short file, or one of another version, keeps every value it holds: Done must
        // not write the defaults over the operator's settings.
        const PackSpotRead r = ParsePackSpot(*data);
        settings_ = r.settings;
        if (!r.fallbacks.isEmpty())
            notes_ << QStringLiteral("PackSpot.txt had values out of range; these were set back to their defaults: ") +
                          r.fallbacks.join(QStringLiteral(", "));
        if (!r.missing.isEmpty())
            notes_ << QStringLiteral("PackSpot.txt ended early; these values were missing and keep their defaults: ") +
                          r.missing.join(QStringLiteral(", "));
    }
    if (!agwNote.isEmpty())
        notes_ << agwNote;
}

void SpotService::start()
{
    if (started_)
        return;
    load();
    started_ = true;
    if (fileRead_ && linkChosen())
        Open();
    for (const QString &n : notes_)
        intake_.appendMonitor(n + kTwoBreaks);
    if (!notes_.isEmpty())
        setStateText(notes_.join(QLatin1Char(' ')));
}

void SpotService::chooseLink(const QString &type)
{
    Close();
    settings_.SpotConnectionType = type;
}

void SpotService::setTelnetAddress(const QString &host, const QString &port)
{
    settings_.TelnetHost = host;
    settings_.TelnetPort = port;
}

void SpotService::setCommandCharacter(const QString &hex) { settings_.Hex = hex; }
void SpotService::setListChosen(bool list) { settings_.OptList = list; }
void SpotService::setDxOnly(bool on) { intake_.dxOnly = on; }
void SpotService::setConvToHex(bool on) { settings_.ConvToHex = on ? 1 : 0; }

void SpotService::setAgwAddress(const QString &host, const QString &port)
{
    agwHostText_ = host;
    agwPortText_ = port;
}

void SpotService::applySerialOptions(const PackSpotSettings &from)
{
    settings_.SerialPort = from.SerialPort;
    settings_.SerialBaud = from.SerialBaud;
    settings_.SerialParity = from.SerialParity;
    settings_.SerialDataBits = from.SerialDataBits;
    settings_.SerialStopBits = from.SerialStopBits;
    settings_.SerialPower = from.SerialPower;
    settings_.SerialHandshake = from.SerialHandshake;
}

AgwEngineAddress SpotService::typedAgwAddress() const
{
    AgwEngineAddress a;
    const QString host = agwHostText_.trimmed();
    if (!host.isEmpty())
        a.host = host;
    if (const int port = TcpPortNumber(agwPortText_))
        a.port = port;
    return a;
}

bool SpotService::SaveSpotSettings()
{
    PackSpotSettings out = settings_;
    out.DxOnly = intake_.dxOnly ? 1 : 0;
    QString error;
    if (!WriteFileAtomic(settingsPath, FormatPackSpot(out), &error)) {
        s_.prompter.message(QStringLiteral("The spotting settings could not be saved in PackSpot.txt: ") + error,
                            QStringLiteral("DX Spotting Setup"), PromptIcon::Exclamation);
        return false;
    }
    // The engine's address is written only once the operator has changed it.
    const AgwEngineAddress agw = typedAgwAddress();
    if (agw != loadedAgw_) {
        if (!WriteFileAtomic(agwSettingsPath, FormatAgwEngine(agw), &error)) {
            s_.prompter.message(QStringLiteral("The packet engine's address could not be saved in AgwEngine.txt: ") +
                                    error,
                                QStringLiteral("DX Spotting Setup"), PromptIcon::Exclamation);
            return false;
        }
        loadedAgw_ = agw;
    }
    if (login_ != loadedLogin_) {
        if (!WriteFileAtomic(loginSettingsPath, FormatClusterLogin(login_), &error)) {
            s_.prompter.message(QStringLiteral("The cluster log-in could not be saved in ClusterLogin.txt: ") + error,
                                QStringLiteral("DX Spotting Setup"), PromptIcon::Exclamation);
            return false;
        }
        loadedLogin_ = login_;
    }
    return true;
}

void SpotService::setStateText(const QString &text)
{
    stateText_ = text;
    emit stateTextChanged(text);
}

void SpotService::Open()
{
    // A link already running is closed first: "Listening" waits for the new one, and a
    // packet station's session does not outlive its engine link.
    if (linkStarted_)
        Close();
    intake_.replaceMonitor(QStringLiteral("** Attempting to Open Port **") + kTwoBreaks);
    if (tnc_ && tnc_->isOpen())
        tnc_->close();
    const QString &type = settings_.SpotConnectionType;
    if (!linkChosen())
        return;
    linkStarted_ = true;
    intake_.startLink();
    if (type == QLatin1String(kSpotLinkTnc))
        OpenTncPort();
    else if (type == QLatin1String(kSpotLinkAgw))
        StartAgw();
    else if (type == QLatin1String(kSpotLinkTelnet))
        ConnectTelnet();
}

void SpotService::OpenTncPort()
{
    if (!tnc_) {
        tnc_ = std::make_unique<TncLink>(makeSerialLine());
        connect(tnc_.get(), &SpotLink::received, &intake_, &SpotIntake::takeTnc);
        connect(tnc_.get(), &SpotLink::failed, this, &SpotService::linkFailed);
    }
    const QString device = PortMap(s_.registry).device(settings_.SerialPort);
    QString error;
    if (tnc_->open(device, settings_.SerialSettings(), settings_.SerialHandshake, settings_.SerialPower, &error)) {
        timer_.start();
        intake_.appendMonitor(QStringLiteral("** TNC Serial Port Open **") + kTwoBreaks);
        linkOpened();
        return;
    }
    s_.prompter.beep();
    intake_.appendMonitor(QStringLiteral("** Unable to open TNC Serial Port **") + kTwoBreaks);
    s_.prompter.message(QStringLiteral("The comm port that you selected for DX Spotting is either in use, invalid or "
                                       "the settings that you have selected are invalid.  Please select another "
                                       "combination or choose None for your DX Spot selection."),
                        QStringLiteral("Invalid Comm Settings."), PromptIcon::Exclamation,
                        device + QStringLiteral(": ") + error);
    Close();
    timer_.stop();
}

QString SpotService::loginCall() const
{
    const QString call = login_.call.trimmed();
    return (call.isEmpty() ? s_.prefs.MyCall.trimmed() : call).toUpper();
}

void SpotService::ConnectTelnet()
{
    reconnectDelayMs_ = reconnectFirstMs;
    telnetWasUp_ = false;
    QString error;
    if (!telnet_.connectTo(settings_.TelnetHost, settings_.TelnetPort, &error)) {
        intake_.appendMonitor(error + kTwoBreaks);
        setStateText(error);
        Close();
        return;
    }
    intake_.replaceMonitor(QStringLiteral("Attempting connection to: ") + telnet_.host() + QLatin1Char(':') +
                           QString::number(telnet_.port()) + kTwoBreaks);
    timer_.start();
}

void SpotService::StartAgw()
{
    const QString call = s_.prefs.MyCall.trimmed();
    if (call.isEmpty()) {
        s_.prompter.beep();
        s_.prompter.message(QStringLiteral("Please enter your call sign on the setup form to transmit!"),
                            QStringLiteral("Call Sign Required!"), PromptIcon::Exclamation);
        linkStarted_ = false;
        return;
    }
    if (TcpPortNumber(agwPortText_) == 0) {
        const QString error = QStringLiteral("The AGW port must be a number from 1 to 65535.");
        intake_.appendMonitor(error + kTwoBreaks);
        Close();
        setStateText(error);
        return;
    }
    const AgwEngineAddress a = typedAgwAddress();
    agwHost = a.host;
    agwPort = quint16(a.port);
    agw_.start(call, agwHost, agwPort);
}

void SpotService::linkOpened()
{
    open_ = true;
    stateText_.clear();
    emit linkStateChanged(true);
}

void SpotService::linkFailed(const QString &message)
{
    intake_.appendMonitor(message);
    Close();
    setStateText(message);
    s_.prompter.beep();
}

void SpotService::telnetFailed(const QString &message)
{
    silenceTimer_.stop();
    // A cluster never reached (a mistyped host) is the operator's to mend.
    if (!linkStarted_ || !login_.reconnect || !telnetWasUp_) {
        linkFailed(message);
        return;
    }
    // The operator did not close it: the link comes back by itself, each pause longer.
    const bool wasOpen = open_;
    open_ = false;
    // A link that stayed up a while starts again from the shortest pause; one that a
    // cluster drops at once (full, refusing this call) keeps the pauses growing.
    if (wasOpen && upSince_.isValid() && upSince_.elapsed() >= steadyAfterMs)
        reconnectDelayMs_ = reconnectFirstMs;
    const int delay = qMax(0, reconnectDelayMs_);
    reconnectDelayMs_ = qMin(qMax(1, delay) * 2, qMax(reconnectLongestMs, reconnectFirstMs));
    const QString note =
        QStringLiteral("Connection lost; reconnecting in %1 s").arg((delay + 999) / 1000);
    intake_.appendMonitor(message + kTwoBreaks + QStringLiteral("** ") + note + QStringLiteral(" **") + kTwoBreaks);
    reconnectTimer_.start(delay);
    setStateText(note);
    if (wasOpen) {
        s_.prompter.beep();
        emit linkStateChanged(false);
    }
}

void SpotService::reconnectTelnet()
{
    if (!linkStarted_ || settings_.SpotConnectionType != QLatin1String(kSpotLinkTelnet))
        return;
    QString error;
    intake_.startLink();
    if (!telnet_.connectTo(settings_.TelnetHost, settings_.TelnetPort, &error)) {
        linkFailed(error);
        return;
    }
    intake_.appendMonitor(QStringLiteral("Attempting connection to: ") + telnet_.host() + QLatin1Char(':') +
                          QString::number(telnet_.port()) + kTwoBreaks);
}

void SpotService::telnetData(const QByteArray &bytes)
{
    probing_ = false;
    if (telnet_.isOpen())
        silenceTimer_.start(probeAfterMs);
    if (loginSent_)
        return;
    promptTail_ += bytes;
    const qsizetype end = qMax(promptTail_.lastIndexOf('\n'), promptTail_.lastIndexOf('\r'));
    if (end >= 0)
        promptTail_.remove(0, end + 1);
    // A prompt is short; a long run without a line end is not one.
    if (promptTail_.size() > 200)
        promptTail_.remove(0, promptTail_.size() - 200);
    if (!IsLoginPrompt(QString::fromLatin1(promptTail_)))
        return;
    const QString call = loginCall();
    if (call.isEmpty())
        return;
    loginSent_ = true;
    promptTail_.clear();
    bool sent = telnet_.send(call.toLatin1() + "\r\n");
    for (const QString &command : login_.commands)
        sent = sent && telnet_.send(command.toLatin1() + "\r\n");
    if (!sent)
        intake_.appendMonitor(QStringLiteral("** The log-in could not be sent to the cluster. **") + kTwoBreaks);
}

void SpotService::silenceElapsed()
{
    if (!telnet_.isOpen())
        return;
    if (probing_) {
        telnet_.drop(QStringLiteral("** The cluster has not answered for a long time; the link is taken as lost. **"));
        return;
    }
    // A line end is harmless to every cluster and makes it answer with its prompt.
    probing_ = true;
    if (!telnet_.send("\r\n")) {
        telnet_.drop(QStringLiteral("** The link to the cluster is dead. **"));
        return;
    }
    silenceTimer_.start(probeWaitMs);
}

void SpotService::agwLinkFailed(const QString &message)
{
    if (message != QLatin1String("Unable to connect to the AGW Packet Engine.")) {
        linkFailed(message);
        return;
    }
    const QString download =
        QStringLiteral("- Download the freely available software from ") + QLatin1String(kAgwEngineSource);
    s_.prompter.message(QLatin1String(kUnableAgw) + kTwoBreaks + download + kTwoBreaks +
                            QStringLiteral("- Make sure the AGW Packet Engine software is running and configure it "
                                           "as described on the AGW Packet Engine website."),
                        QStringLiteral("Unable to connect to the AGW Packet Engine."), PromptIcon::Exclamation);
    open_ = false;
    intake_.appendMonitor(QLatin1String(kUnableAgw) + kTwoBreaks + download + kTwoBreaks +
                          QStringLiteral("- Run the Packet Engine software and configure it as described on the AGW "
                                         "Packet Engine website for your sound card or TNC.") +
                          kTwoBreaks + QStringLiteral("- Click Open from this program.") + kTwoBreaks);
    emit setupWanted();
    Close();
    timer_.stop();
    setStateText(QStringLiteral("Unable to connect to the AGW Packet Engine."));
}

void SpotService::Close()
{
    if (!linkStarted_)
        return;
    linkStarted_ = false;
    open_ = false;
    reconnectTimer_.stop();
    silenceTimer_.stop();
    intake_.appendMonitor(kTwoBreaks + QStringLiteral("** Port Closed **"));
    if (tnc_)
        tnc_->close();
    telnet_.close();
    if (settings_.SpotConnectionType == QLatin1String(kSpotLinkAgw)) {
        if (!intake_.agwConnectedCall().isEmpty()) {
            agw_.putData(intake_.agwConnectedCall().toLatin1(), {}, 'd');
            intake_.clearAgwConnection();
            emit agwStationChanged(QString());
        }
        agw_.close();
    }
    timer_.stop();
    setStateText(QStringLiteral("** Port Closed **"));
    emit linkStateChanged(false);
}

bool SpotService::send(const QString &text)
{
    const QString &type = settings_.SpotConnectionType;
    if (type == QLatin1String(kSpotLinkTnc)) {
        if (tnc_ && tnc_->isOpen() && tnc_->write(text.toLatin1() + '\r'))
            return true;
        intake_.appendMonitor(QStringLiteral("** The TNC port is not open; nothing was sent. **") + kTwoBreaks);
        return false;
    }
    if (type == QLatin1String(kSpotLinkTelnet))
        return SendTelnetText(text);
    if (type == QLatin1String(kSpotLinkAgw) && timer_.isActive())
        return SendAgwText(text);
    return false;
}

bool SpotService::SendTelnetText(const QString &text)
{
    if (telnet_.isOpen())
        return telnet_.send(text.toLatin1() + "\r\n");
    intake_.appendMonitor(QStringLiteral("**  Connection not yet established.  Please wait a moment and try again.") +
                          kTwoBreaks);
    return false;
}

bool SpotService::SendAgwText(const QString &text)
{
    const QString connected = intake_.agwConnectedCall();
    if (text.startsWith(QLatin1Char(':'))) {
        const QString letter = text.mid(1, 1).toUpper();
        const QString argument = text.mid(2).trimmed();
        if (letter == QLatin1String("D")) {
            if (!connected.isEmpty())
                agw_.putData(connected.toLatin1(), {}, 'd');
            return true;
        }
        if (letter == QLatin1String("C")) {
            const QString destination = argument.toUpper();
            if (!IsPacketCall(destination)) {
                s_.prompter.message(QStringLiteral("You must enter a call sign to connect to such as :C Velko"),
                                    QStringLiteral("Call sign Required"), PromptIcon::Exclamation);
                return false;
            }
            // The engine's TCP port asks for a connection with "C".
            return agw_.putData(destination.toLatin1(), {}, 'C');
        }
        // Any other command is not one of ours: it is dropped, as typed text that was
        // handled.
        return true;
    }
    if (connected.isEmpty()) {
        intake_.appendMonitor(QStringLiteral("** No station connected: type :C and a call to connect. **") + kTwoBreaks);
        return false;
    }
    return agw_.putData(connected.toLatin1(), text.toLatin1() + '\r', 'D');
}

bool SpotService::sendCommandCharacter(const QString &hex)
{
    if (settings_.SpotConnectionType != QLatin1String(kSpotLinkTnc) || !tnc_ || !tnc_->isOpen())
        return false;
    bool ok = false;
    const uint code = hex.toUInt(&ok, 16);
    if (ok && code <= 0xFF)
        tnc_->write(QByteArray(1, char(code)));
    return true;
}

void SpotService::tick()
{
    const QString &type = settings_.SpotConnectionType;
    if (type == QLatin1String(kSpotLinkTnc) && tnc_)
        tnc_->poll();
    else if (type == QLatin1String(kSpotLinkAgw))
        // Every frame waiting is taken, so spots never fall behind.
        for (const AgwFrame &f : agw_.takeFrames())
            intake_.takeAgw(f);
    intake_.tick();
}

}  // namespace zev
