// Whatever ends the program, the key comes up: a helper holds a key line down and is
// ended by a signal; a preloaded library records the line's ioctls.

#include "test_support.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "pseudo_terminal.h"

namespace {

using zevtest::Pty;

// The helper, keyed and waiting; its recorded ioctls are in log().
class KeyedHelper {
public:
    KeyedHelper(const char *kind, const QString &device)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", ZEV_MODEM_SHIM);
        env.insert("ZEV_SHIM_LOG", dir_.filePath("ioctls"));
        env.insert("ZEV_SHIM_DEVICE", device);
        process_.setProcessEnvironment(env);
        process_.start(ZEV_KEY_LINE_HELPER, {kind, device});
    }
    ~KeyedHelper()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool keyed()
    {
        return process_.waitForReadyRead(10000) && process_.readAllStandardOutput().startsWith("down");
    }
    // Sends the signal; true when the helper then ended by that signal.
    bool endWith(int sig)
    {
        ::kill(pid_t(process_.processId()), sig);
        if (!process_.waitForFinished(10000))
            return false;
        return process_.exitStatus() == QProcess::CrashExit;
    }
    // Asks the helper to call exit(1); true when it ended so.
    bool exitOne()
    {
        process_.write("\n");
        return process_.waitForFinished(10000) && process_.exitStatus() == QProcess::NormalExit &&
               process_.exitCode() == 1;
    }
    QStringList log() const
    {
        QFile f(dir_.filePath("ioctls"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
};

const int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT};

TEST(KeyRelease, ASignalReleasesTheSerialKeyAndStillEndsTheProgram)
{
    for (int sig : kEndingSignals) {
        SCOPED_TRACE(strsignal(sig));
        Pty pty;
        ASSERT_FALSE(pty.slave.isEmpty());
        KeyedHelper helper("serial", pty.slave);
        ASSERT_TRUE(helper.keyed());
        ASSERT_EQ(helper.log().value(1), QStringLiteral("BIS %1").arg(TIOCM_RTS)) << helper.log().join(", ").toStdString();
        EXPECT_TRUE(helper.endWith(sig));
        EXPECT_EQ(helper.log().last(), QStringLiteral("BIC %1").arg(TIOCM_RTS)) << helper.log().join(", ").toStdString();
    }
}

TEST(KeyRelease, ASignalReleasesTheParallelKey)
{
    for (int sig : kEndingSignals) {
        SCOPED_TRACE(strsignal(sig));
        QTemporaryDir dir;
        const QString port = dir.filePath("parport");
        zevtest::WriteFile(port, QByteArray());
        KeyedHelper helper("parallel", port);
        ASSERT_TRUE(helper.keyed());
        EXPECT_TRUE(helper.endWith(sig));
        const QStringList log = helper.log();
        ASSERT_FALSE(log.isEmpty());
        EXPECT_EQ(log.first(), QStringLiteral("CTRL 3"));
        EXPECT_EQ(log.last(), QStringLiteral("CTRL 2"));
    }
}

// Qt ends the program with exit() when the connection to the X server is lost.
TEST(KeyRelease, ExitReleasesTheSerialKey)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    KeyedHelper helper("serial", pty.slave);
    ASSERT_TRUE(helper.keyed());
    EXPECT_TRUE(helper.exitOne());
    EXPECT_EQ(helper.log().last(), QStringLiteral("BIC %1").arg(TIOCM_RTS)) << helper.log().join(", ").toStdString();
}

// A death no handler sees (SIGKILL): the port hangs up on its last close, which on a real
// serial port drops RTS and DTR.
TEST(KeyRelease, TheSerialKeyPortHangsUpOnItsLastClose)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    KeyedHelper helper("serial", pty.slave);
    ASSERT_TRUE(helper.keyed());
    termios t{};
    ASSERT_EQ(tcgetattr(pty.master, &t), 0);
    EXPECT_NE(t.c_cflag & HUPCL, 0u);
    EXPECT_TRUE(helper.endWith(SIGKILL));
}

}  // namespace
