#include "station/station_keying.h"

#include "frame/session.h"
#include "keying/audio_player_device.h"
#include "keying/cue_player.h"
#include "keying/cw_engine.h"
#include "keying/cw_settings.h"
#include "keying/key_line_device.h"
#include "keying/keying_controller.h"
#include "keying/rtkit_device.h"
#include "keying/settings_ranges.h"
#include "keying/voice_keyer.h"
#include "keying/winkeyer.h"
#include "keying/wk_settings.h"
#include "rig/port_map.h"
#include "rig/serial_line_device.h"

namespace zev {

namespace {

// A player that makes the real one when it first plays: a station that never speaks
// never opens a sound stream, and a test can name its own player until then.
class PlayerOnFirstUse : public AudioPlayer {
public:
    explicit PlayerOnFirstUse(std::function<std::unique_ptr<AudioPlayer>()> make) : make_(std::move(make)) {}

    void play(const QString &path) override
    {
        if (!player_) {
            player_ = make_();
            connect(player_.get(), &AudioPlayer::started, this, &AudioPlayer::started);
            connect(player_.get(), &AudioPlayer::finished, this, &AudioPlayer::finished);
            connect(player_.get(), &AudioPlayer::failed, this, &AudioPlayer::failed);
        }
        player_->play(path);
    }
    void stop() override
    {
        if (player_)
            player_->stop();
    }
    bool isPlaying() const override { return player_ && player_->isPlaying(); }

private:
    std::function<std::unique_ptr<AudioPlayer>()> make_;
    std::unique_ptr<AudioPlayer> player_;
};

}  // namespace

QString EntryKeyingHost::callForMacros() const { return entry_.call(); }
QString EntryKeyingHost::exchangeForMacros() const { return entry_.exchangeSent(); }
QString EntryKeyingHost::reportForMacros() const { return entry_.reportSent(); }
QString EntryKeyingHost::currentMode() const { return entry_.mode(); }

StationKeying::StationKeying(Session &session, QObject *parent)
    : QObject(parent), s_(session), entryHost_(std::make_unique<EntryKeyingHost>(session.entry))
{
    engine_ = new CwEngine(s_.CWBuffer, nullptr, this, DesktopRealTimeSystem());
    const auto device = [this](int number) { return portDevice(number); };
    controller_ = new KeyingController(s_.CWBuffer, *engine_, keyLines(), device, s_.prompter, this);
    controller_->timing =
        CwTimingFromText(s_.registry.value(QStringLiteral("UserCWSelection"), QStringLiteral("Timer")));
    controller_->loopsPer60ms =
        s_.registry.value(QStringLiteral("UserCWLoopOffset"), QStringLiteral("0")).toDouble();
    controller_->apply();
    connect(controller_, &KeyingController::setupWanted, this, &StationKeying::cwSetupWanted);
    controller_->setHost(entryHost_.get());

    winKeyer_ = new WinKeyer(
        s_.CWBuffer,
        [this]() -> std::unique_ptr<SerialLine> {
            if (winKeyerLineFactory)
                return winKeyerLineFactory();
            return std::make_unique<QtSerialLine>();
        },
        this);

    voicePlayer_ = std::make_unique<PlayerOnFirstUse>(players());
    voiceKeyer_ = new VoiceKeyer(*voicePlayer_, keyLines(), device, s_.prompter, this);
    voiceKeyer_->invalidPort = [this] { emit voiceSetupWanted(); };

    // The CW line, the voice keyer's PTT and the WinKeyer may all sit on one device: each
    // lets go of it before it opens.
    winKeyer_->beforeOpen = [this] {
        controller_->releaseLine();
        voiceKeyer_->ClosePort();
    };
    voiceKeyer_->beforeOpen = [this] {
        controller_->releaseLine();
        if (winKeyer_->isOpen() || winKeyer_->isOpening())
            winKeyer_->close();
    };
    controller_->setWinKeyer(winKeyer_);
    controller_->setVoiceKeyer(voiceKeyer_);

    cuePlayer_ = std::make_unique<PlayerOnFirstUse>(players());
    cues_ = new CuePlayer(*cuePlayer_, s_.folders.StartDir, this);
}

StationKeying::~StationKeying()
{
    stop();
    // The keyers use the players, and the controller the keyers and the engine.
    delete cues_;
    delete voiceKeyer_;
    delete controller_;
    delete winKeyer_;
    delete engine_;
}

KeyLineFactory StationKeying::keyLines()
{
    return [this](KeyLineKind kind, const QString &where) {
        return keyLineFactory ? keyLineFactory(kind, where) : MakeKeyLine(kind, where);
    };
}

std::function<std::unique_ptr<AudioPlayer>()> StationKeying::players()
{
    return [this]() -> std::unique_ptr<AudioPlayer> {
        if (audioPlayerFactory)
            return audioPlayerFactory();
        return std::make_unique<AudioPlayerDevice>();
    };
}

QString StationKeying::portDevice(int number) const
{
    return PortMap(s_.registry).device(number);
}

void StationKeying::loadVoiceSettings()
{
    QStringList fallbacks;
    voiceKeyer_->setSettings(LoadVoiceSettings(s_.folders.work(kVoiceSettingsFile), &fallbacks));
    if (!fallbacks.isEmpty())
        s_.prompter.message(OutOfRangeNote(kVoiceSettingsFile, fallbacks), QStringLiteral("Settings Out of Range"),
                            PromptIcon::Information);
}

void StationKeying::loadCwSettings()
{
    const QString path = s_.folders.work(kCwSettingsFile);
    // A station that never saved CW settings starts from the defaults, without a message;
    // only a file that could not be made is worth telling.
    QString createError;
    if (!WriteDefaultCwSettingsIfMissing(path, &createError))
        s_.prompter.message(QStringLiteral("The CW settings file %1 could not be created (%2). The defaults are in "
                                           "use; CW Setup's Done will try again.")
                                .arg(path, createError),
                            QStringLiteral("CW Settings Not Created"), PromptIcon::Exclamation);
    QStringList fallbacks;
    const QString error = controller_->LoadCWSettings(path, &fallbacks);
    if (!error.isEmpty())
        s_.prompter.message(QStringLiteral("The CW messages and settings in %1 could not be read (%2). The defaults "
                                           "are in use; pressing Done in CW Setup would replace the file.")
                                .arg(path, error),
                            QStringLiteral("CW Settings Not Read"), PromptIcon::Exclamation);
    else if (!fallbacks.isEmpty())
        s_.prompter.message(OutOfRangeNote(kCwSettingsFile, fallbacks), QStringLiteral("Settings Out of Range"),
                            PromptIcon::Information);
    // Choosing the WinKey line loads the keyer's settings; nothing opens yet.
    if (controller_->settings.keyingLine == kKeyWinKey)
        loadWinKeySettings();
}

void StationKeying::loadWinKeySettings()
{
    if (winKeySettingsLoaded_)
        return;
    winKeySettingsLoaded_ = true;
    QStringList fallbacks;
    WkSettings s = LoadWkSettings(WkSettingsPath(s_.folders), &fallbacks);
    if (!fallbacks.isEmpty())
        s_.prompter.message(OutOfRangeNote(QStringLiteral("WK.txt"), fallbacks),
                            QStringLiteral("Settings Out of Range"), PromptIcon::Information);
    // The keyer keys at the CW speed, whatever the file held.
    s.txtWKWPM = QString::number(controller_->speed());
    winKeyer_->setDevice(portDevice(s.WinKeyPort));
    // The keyer keeps what it is told and sends it all as soon as it opens.
    winKeyer_->useSettings(s);
}

void StationKeying::stop()
{
    // The engine ends the character on the air with the key up.
    s_.CWBuffer.clear();
    voiceKeyer_->stop();
    voiceKeyer_->ClosePort();
    cues_->stop();
    // Leaving the keyer with nothing to send and back in its own hands.
    winKeyer_->clearBuffer();
    winKeyer_->close();
}

}  // namespace zev
