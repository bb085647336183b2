#pragma once
// frmVelkoLogo: the start-up picture; closes itself or on a click.

#include <QPixmap>
#include <QWidget>

namespace zev {

class LogoWindow : public QWidget {
    Q_OBJECT
public:
    // Shows `splashPath` for 2700 ms when it is a picture, else the built-in one after
    // 1100 ms, closing at 1900 ms.
    explicit LogoWindow(const QString &splashPath, QWidget *parent = nullptr);

    static QPixmap builtInPicture(const QSize &size);
    bool usesSplashFile() const { return fromFile_; }
    int closeAfterMs() const { return fromFile_ ? 2700 : 1900; }

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;

private:
    QPixmap picture_;
    bool fromFile_ = false;
    bool pictureVisible_ = false;
};

}  // namespace zev
