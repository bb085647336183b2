#include "rig/port_errors.h"

#include <QFile>

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

QString PermissionAdvice(const QString &device, int openErrno, PortKind kind)
{
    if (openErrno != EACCES && openErrno != EPERM)
        return {};
    QString groupName = kind == PortKind::Serial ? QStringLiteral("dialout") : QStringLiteral("lp");
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) == 0) {
        // A device left to root alone says nothing of the group to join.
        if (const struct group *g = ::getgrgid(st.st_gid); g && st.st_gid != 0)
            groupName = QString::fromLocal8Bit(g->gr_name);
    }
    QString user;
    if (const passwd *pw = ::getpwuid(::geteuid()))
        user = QString::fromLocal8Bit(pw->pw_name);
    return PermissionAdvice(device, openErrno, groupName, user);
}

QString PermissionAdvice(const QString &device, int openErrno, const QString &group,
                         const QString &user)
{
    if (openErrno != EACCES && openErrno != EPERM)
        return {};
    const QString who = user.isEmpty() ? QStringLiteral("$USER") : user;
    return QStringLiteral("You are not allowed to use %1: add your user to the group \"%2\" "
                          "(sudo usermod -aG %2 %3), then log out and in again.")
        .arg(device, group, who);
}

}  // namespace zev
