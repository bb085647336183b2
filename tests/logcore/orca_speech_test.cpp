// The real program under the Orca screen reader on a virtual display: what an operator
// who cannot see the screen hears.

#include "test_support.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

TEST(OrcaSpeech, MessagesAndFocusMovesAreSpoken)
{
    const QString zevlog = QStringLiteral(ZEV_BUILD_DIR "/zevlog");
    ASSERT_TRUE(QFileInfo::exists(zevlog)) << "the zevlog program is not built";
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"), {QStringLiteral(ZEV_FIXTURES "/../support/orca/speech_check.sh"), zevlog});
    ASSERT_TRUE(p.waitForFinished(180000)) << "the Orca check did not finish";
    const std::string said = p.readAll().toStdString();
    if (p.exitCode() == 77)
        GTEST_SKIP() << "Orca, Xvfb, xdotool, dbus-daemon or at-spi2-core is not installed "
                        "(scripts/install-deps.sh --tests installs them): "
                     << said;
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << said;
}
