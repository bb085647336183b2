#include "frame/logo_window.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;

TEST(LogoWindow, BuiltInPictureOrSplashFileWithTheirTimings)
{
    {
        auto *logo = new LogoWindow(QString());
        EXPECT_FALSE(logo->usesSplashFile());
        EXPECT_EQ(logo->closeAfterMs(), 1900);
        EXPECT_FALSE(logo->size().isEmpty());
        logo->close();
    }
    QTemporaryDir dir;
    const QString splash = dir.filePath("splash.jpg");
    QImage img(120, 80, QImage::Format_RGB32);
    img.fill(Qt::darkRed);
    ASSERT_TRUE(img.save(splash, "JPG"));
    auto *logo = new LogoWindow(splash);
    EXPECT_TRUE(logo->usesSplashFile());
    EXPECT_EQ(logo->closeAfterMs(), 2700);
    EXPECT_EQ(logo->size(), QSize(120, 80));
    // A damaged picture falls back to the built-in one.
    QFile bad(dir.filePath("bad.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    auto *fallback = new LogoWindow(bad.fileName());
    EXPECT_FALSE(fallback->usesSplashFile());
    logo->close();
    fallback->close();
}

TEST(LogoWindow, ClosesItselfAndOnAClick)
{
    QPointer<LogoWindow> timed = new LogoWindow(QString());
    timed->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return timed.isNull(); }, 5000));

    QPointer<LogoWindow> clicked = new LogoWindow(QString());
    clicked->show();
    QTest::mouseClick(clicked, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicked.isNull(); }, 1000));
}
