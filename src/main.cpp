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

int main(int argc, char **argv)
{
    // Before any media object exists: the back-end that reports the end of a file.
    zev::PreferGStreamerMedia();
    // A signal, a crash or the lost window system never leaves the transmitter keyed.
    zev::InstallKeyLineRelease();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zevlog"));
    app.setOrganizationName(QStringLiteral("Velko_Software"));
    zev::ScaleApplicationFont();

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
                         zev::InstallDataFiles(folders, QCoreApplication::applicationDirPath())};
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
    window.show();
    window.activateWindow();
    return app.exec();
}
