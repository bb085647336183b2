#include "frame/logo_window.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
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

TEST(LogoWindow, ASplashPictureLargerThanTheScreenIsShownWholeOnIt)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QTemporaryDir dir;
    const QString splash = dir.filePath("splash.png");
    QImage img(area.width() * 3, area.height() * 2, QImage::Format_RGB32);
    img.fill(Qt::darkBlue);
    ASSERT_TRUE(img.save(splash, "PNG"));
    auto *logo = new LogoWindow(splash);
    logo->show();
    EXPECT_TRUE(area.contains(logo->frameGeometry()))
        << logo->frameGeometry().x() << "," << logo->frameGeometry().y() << " " << logo->frameGeometry().width()
        << "x" << logo->frameGeometry().height();
    // The same shape, as large as the screen lets it be.
    EXPECT_EQ(logo->width(), area.width());
    EXPECT_NEAR(logo->height(), area.height() * 2 / 3, 1);
    logo->close();
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
