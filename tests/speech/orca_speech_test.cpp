// The real program under the Orca screen reader on a virtual display: what an operator
// who cannot see the screen hears. One test per scene in tests/support/orca/scenes.

#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString kOrcaKit = QStringLiteral(ZEV_FIXTURES "/../support/orca");

std::vector<std::string> Scenes()
{
    std::vector<std::string> names;
    for (const QString &f : QDir(kOrcaKit + QStringLiteral("/scenes")).entryList({QStringLiteral("*.sh")}, QDir::Files, QDir::Name))
        names.push_back(QFileInfo(f).completeBaseName().toStdString());
    return names;
}

class OrcaSpeech : public testing::TestWithParam<std::string> {};

TEST_P(OrcaSpeech, SaysWhatTheSceneExpects)
{
    const QString zevlog = QStringLiteral(ZEV_BUILD_DIR "/zevlog");
    ASSERT_TRUE(QFileInfo::exists(zevlog)) << "the zevlog program is not built";
    const QString scene = kOrcaKit + QStringLiteral("/scenes/%1.sh").arg(QString::fromStdString(GetParam()));
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"), {kOrcaKit + QStringLiteral("/speech_check.sh"), zevlog, scene});
    ASSERT_TRUE(p.waitForFinished(240000)) << "the Orca check did not finish";
    const std::string said = p.readAll().toStdString();
    if (p.exitCode() == 77)
        GTEST_SKIP() << "Orca, Xvfb, xdotool, dbus-daemon or at-spi2-core is not installed "
                        "(scripts/install-deps.sh --tests installs them): "
                     << said;
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << said;
}

INSTANTIATE_TEST_SUITE_P(Scenes, OrcaSpeech, testing::ValuesIn(Scenes()),
                         [](const testing::TestParamInfo<std::string> &i) { return i.param; });

}  // namespace
