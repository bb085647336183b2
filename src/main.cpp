#include "frame/logo_window.h"
#include "keying/audio_player_device.h"
#include "keying/key_release_device.h"
#include "frame/prompter_ui.h"
#include "frame/session.h"
#include "frame/startup.h"
#include "frame/window_scaling_ui.h"
#include "logcore/main_window.h"
#include "station/station.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <cstdio>

int main(int argc, char **argv)
{
    // Before any media object exists: the back-end that reports the end of a file.
    zev::PreferGStreamerMedia();
    // A signal, a crash or the lost window system never leaves the transmitter keyed.
    zev::InstallKeyLineRelease();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zevlog"));
    app.setOrganizationName(QStringLiteral("Velko_Software"));
    app.setDesktopFileName(QStringLiteral(ZEV_APP_ID));
    app.setWindowIcon(QIcon::fromTheme(QStringLiteral(ZEV_APP_ID)));
    zev::ScaleApplicationFont();

    // Installed, the program is started from a menu in no particular folder: it works in
    // the operator's contest folder instead. The build tree's program keeps the current one.
    const zev::ProgramData data =
        zev::LocateProgramData(QCoreApplication::applicationDirPath(), QStringLiteral(ZEV_INSTALLED_DATA_DIR));
    if (data.installed) {
        const QString failure =
            zev::EnterWorkFolder(zev::InstalledWorkFolder(qEnvironmentVariable("ZEV_WORKDIR"), QDir::homePath()));
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "zevlog: %s\n", qPrintable(failure));
            zev::DialogPrompter prompter;
            prompter.message(failure, QStringLiteral("Unable to create directory."), zev::PromptIcon::Critical,
                             QString());
            return 1;
        }
    }

    const QString startDir = QDir::currentPath();
    zev::DialogPrompter prompter;
    zev::SystemClock clock;
    zev::Registry registry;

    auto *logo = new zev::LogoWindow(zev::UserSplashPath());
    logo->show();

    zev::Folders folders = zev::ResolveUserFolders(startDir, &prompter);
    zev::Session session(folders, prompter, clock, registry);
    session.shared.LoadSharedPrefs(folders.SharedFolder + QStringLiteral("/SharedUserPreferences.xml"));
    zev::MakeBackupFolder(folders);
    QStringList failures{zev::CreateMissingWorkingFiles(folders, clock),
                         zev::InstallDataFiles(folders, data.dir)};
    failures.removeAll(QString());
    if (!failures.isEmpty())
        prompter.message(zev::StartupFailureText(failures.join(QLatin1Char('\n'))),
                         QStringLiteral("Files Not Created"), zev::PromptIcon::Exclamation, QString());
    QDir::setCurrent(folders.StartDir);

    int exitCode = 0;
    session.endProgram = [&exitCode](int code) {
        exitCode = code;
        QCoreApplication::exit(code);
    };

    zev::Station station(session);
    zev::MainWindow window(session, station);
    prompter.setParent(&window);
    window.Form_Load();
    if (session.ended)
        return exitCode;
    // The log is read: now it may be joined to the station's shared log.
    if (const QString network = station.startNetwork(); !network.isEmpty())
        prompter.message(network, QStringLiteral("Network"), zev::PromptIcon::Exclamation, QString());
    window.show();
    window.activateWindow();
    return app.exec();
}
