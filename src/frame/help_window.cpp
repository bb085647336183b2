#include "frame/help_window.h"

#include "frame/folders.h"
#include "frame/help_text.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zev {

HelpWindow::HelpWindow(const Folders &folders, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setAccessibleName(QStringLiteral("Help"));
    txtHelp->setReadOnly(true);
    // The caret stays, so a screen reader can walk the text line by line.
    txtHelp->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    txtHelp->setPlainText(HelpText(folders));
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtHelp);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);
    resize(760, 480);
    txtHelp->setFocus();
}

}  // namespace zev
