#pragma once
// A session on a temporary working folder with a scripted prompter, for the exports.

#include "frame/session.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace zevtest {

struct ExportHarness {
    QTemporaryDir dir;
    zev::Folders folders;
    ScriptedPrompter prompter;
    FakeClock clock;
    std::unique_ptr<zev::Registry> registry;
    std::unique_ptr<zev::Session> session;

    ExportHarness()
    {
        folders.StartDir = dir.filePath(QStringLiteral("start"));
        folders.MakerFolder = dir.filePath(QStringLiteral("docs/Velko Software"));
        folders.ProgramDataFolder = folders.MakerFolder + QStringLiteral("/ZEV");
        folders.SharedFolder = folders.MakerFolder + QStringLiteral("/Shared");
        for (const QString &d : {folders.StartDir, folders.BackupFolder(), folders.SharedFolder})
            QDir().mkpath(d);
        registry = std::make_unique<zev::Registry>(dir.filePath(QStringLiteral("registry.ini")));
        session = std::make_unique<zev::Session>(folders, prompter, clock, *registry);
        session->shared.LoadSharedPrefs(folders.SharedFolder + QStringLiteral("/SharedUserPreferences.xml"));
        session->prefs.MyCall = QStringLiteral("VE3XYZ");
        session->prefs.MyProvince = QStringLiteral("ON");
        session->prefs.InCanada = 1;
    }

    zev::Session &s() { return *session; }
    QString path(const QString &name) const { return dir.filePath(name); }
};

// A contact with the fields the exports read; the rest as a logged contact has them.
inline zev::ContactRecord Contact(const QString &call, const QString &exchange, const QString &band = QStringLiteral("20"),
                                  const QString &mode = QStringLiteral("CW"))
{
    zev::ContactRecord r;
    r.Call = call;
    r.ReportRcvd = QStringLiteral("599");
    r.ReportSent = QStringLiteral("599");
    r.ExchangeRcvd = exchange;
    r.QsoDate = QStringLiteral("2013/07/01");
    r.QsoTime = QStringLiteral("18:05:00");
    r.Mode = mode;
    r.Band = band;
    r.Points = 10;
    r.Frequency = QStringLiteral("14.025");
    r.Country = QStringLiteral("Canada");
    return r;
}

inline QList<QByteArray> Lines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray &l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

}  // namespace zevtest
