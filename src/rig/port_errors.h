#pragma once
// Opening a port the user may not use gets its own sentence beside the caller's message.

#include <QString>

namespace zev {

enum class PortKind { Serial, Parallel };

// The sentence for an open of `device` that failed with `openErrno`: empty unless the
// failure was a missing permission. Names the group owning the device (dialout for a
// serial port, lp for a parallel one when the device cannot be asked).
QString PermissionAdvice(const QString &device, int openErrno, PortKind kind);
// The same with the group and user given.
QString PermissionAdvice(const QString &device, int openErrno, const QString &group,
                         const QString &user);

}  // namespace zev
