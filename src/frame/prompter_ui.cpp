#include "frame/prompter_ui.h"

#include "frame/text_rules_ui.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace zev {

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Exclamation: return QMessageBox::Warning;
    case PromptIcon::Critical: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void DialogPrompter::message(const QString &text, const QString &title, PromptIcon icon, const QString &detail)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    box.exec();
}

std::unique_ptr<QMessageBox> MakeYesNoBox(const QString &text, const QString &title, PromptIcon icon,
                                          DefaultAnswer defaultAnswer, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(boxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(defaultAnswer == DefaultAnswer::No ? QMessageBox::No : QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

bool DialogPrompter::askYesNo(const QString &text, const QString &title, PromptIcon icon,
                              DefaultAnswer defaultAnswer)
{
    return MakeYesNoBox(text, title, icon, defaultAnswer, parent_)->exec() == QMessageBox::Yes;
}

std::optional<QString> DialogPrompter::input(const QString &prompt, const QString &title,
                                             const QString &defaultText)
{
    QInputDialog box(parent_);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(defaultText);
    // An answer is one line of text the files can hold, typed or pasted.
    if (auto *edit = box.findChild<QLineEdit *>())
        FollowTextRules(edit, TextKind::Answer, [this] { beep(); });
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

std::optional<QString> DialogPrompter::openFile(const QString &title, const QString &dir, const QString &filter)
{
    const QString path = QFileDialog::getOpenFileName(parent_, title, dir, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> DialogPrompter::saveFile(const QString &title, const QString &proposedPath,
                                                const QString &filter, bool confirmOverwrite)
{
    const QString path = QFileDialog::getSaveFileName(
        parent_, title, proposedPath, filter, nullptr,
        confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<quint32> DialogPrompter::chooseColour(quint32 current)
{
    const QColor start(int(current & 0xFF), int((current >> 8) & 0xFF), int((current >> 16) & 0xFF));
    const QColor c = QColorDialog::getColor(start, parent_);
    if (!c.isValid())
        return std::nullopt;
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

void DialogPrompter::beep()
{
    QApplication::beep();
}

}  // namespace zev
