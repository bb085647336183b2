#include "frame/colours_window.h"

#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "frame/window_scaling_ui.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zev {

ColoursWindow::ColoursWindow(Session &session, QWidget *parent) : QDialog(parent), s_(session)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral(" Modify Multiplier Color Selections"));
    lblWorked = new QLabel(QStringLiteral("Appearance of multiplier worked"));
    lblWorked->setObjectName(QStringLiteral("lblWorked"));
    lblRemaining = new QLabel(QStringLiteral("Appearance of multiplier remaining"));
    lblRemaining->setObjectName(QStringLiteral("lblRemaining"));
    for (QLabel *l : {lblWorked, lblRemaining}) {
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignCenter);
    }
    cmdWorked = new QPushButton(QStringLiteral("Change \"Worked\" Color"));
    cmdWorked->setObjectName(QStringLiteral("cmdWorked"));
    cmdWorked->setAccessibleName(QStringLiteral("Change Worked Color"));
    cmdRemaining = new QPushButton(QStringLiteral("Change \"Remaining\" Color"));
    cmdRemaining->setObjectName(QStringLiteral("cmdRemaining"));
    cmdRemaining->setAccessibleName(QStringLiteral("Change Remaining Color"));
    cmdDone = new QPushButton(QStringLiteral("Done"));
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setAccessibleName(QStringLiteral("Done"));
    connect(cmdWorked, &QPushButton::clicked, this, &ColoursWindow::ChangeWorked);
    connect(cmdRemaining, &QPushButton::clicked, this, &ColoursWindow::ChangeRemaining);
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);

    auto *v = new QVBoxLayout(this);
    auto row = [&](QLabel *sample, QPushButton *b) {
        auto *h = new QHBoxLayout;
        h->addWidget(sample, 1);
        h->addWidget(b);
        v->addLayout(h);
    };
    row(lblWorked, cmdWorked);
    row(lblRemaining, cmdRemaining);
    v->addStretch(1);
    v->addWidget(cmdDone, 0, Qt::AlignRight);
    paintSamples();
    FitToScreen(this, 4800, 1800, false);
}

void ColoursWindow::paintSamples()
{
    lblWorked->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(ColourName(s_.prefs.WorkedMultColour)));
    lblRemaining->setStyleSheet(
        QStringLiteral("color: %1; font-weight: bold;").arg(ColourName(s_.prefs.UnworkedMultColour)));
}

void ColoursWindow::ChangeWorked()
{
    if (const std::optional<quint32> c = s_.prompter.chooseColour(s_.prefs.WorkedMultColour)) {
        s_.prefs.WorkedMultColour = *c;
        paintSamples();
    }
}

void ColoursWindow::ChangeRemaining()
{
    if (const std::optional<quint32> c = s_.prompter.chooseColour(s_.prefs.UnworkedMultColour)) {
        s_.prefs.UnworkedMultColour = *c;
        paintSamples();
    }
}

}  // namespace zev
