#include "frame/logo_window.h"
#include "frame/prompter_ui.h"
#include "frame/session.h"
#include "frame/startup.h"
#include "logcore/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zevlog"));
    app.setOrganizationName(QStringLiteral("Velko_Software"));

    const QString startDir = QDir::currentPath();
    zev::DialogPrompter prompter;
    zev::SystemClock clock;
    zev::Registry registry;

    zev::Folders folders = zev::ResolveUserFolders(startDir, &prompter);

    const QString splash = folders.SharedFolder + QStringLiteral("/splash.jpg");
    auto *logo = new zev::LogoWindow(QFileInfo::exists(splash) ? splash : QString());
    logo->show();

    zev::Session session(folders, prompter, clock, registry);
    session.shared.LoadSharedPrefs(folders.SharedFolder + QStringLiteral("/SharedUserPreferences.xml"));
    zev::CreateMissingWorkingFiles(folders, clock);
    zev::InstallDataFiles(folders, QCoreApplication::applicationDirPath());
    QDir::setCurrent(folders.StartDir);

    int exitCode = 0;
    session.endProgram = [&exitCode](int code) {
        exitCode = code;
        QCoreApplication::exit(code);
    };

    zev::MainWindow window(session);
    prompter.setParent(&window);
    window.Form_Load();
    if (session.ended)
        return exitCode;
    window.show();
    window.activateWindow();
    return app.exec();
}
