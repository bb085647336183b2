#pragma once
// Small helpers the radio-family tests share.

#include "rig/rig_family.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace zevtest {

// "FE FE 64" -> the bytes.
inline QByteArray Hex(const char *pairs)
{
    return QByteArray::fromHex(QByteArray(pairs).replace(' ', ""));
}

// The rig-list entry of that name; a failure (and an empty entry) when there is none.
inline const zev::rig::RigDescriptor &Rig(const char *name)
{
    const zev::rig::RigDescriptor *rig = zev::rig::FindRig(QLatin1String(name));
    EXPECT_NE(rig, nullptr) << name;
    static const zev::rig::RigDescriptor none;
    return rig ? *rig : none;
}

}  // namespace zevtest
