#pragma once
// The real dialogs behind Prompter.

#include "common/prompter.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace zev {

class DialogPrompter : public Prompter {
public:
    // Dialogs are centred over `parent` once one is set.
    void setParent(QWidget *parent) { parent_ = parent; }

    void message(const QString &text, const QString &title, PromptIcon icon, const QString &detail) override;
    bool askYesNo(const QString &text, const QString &title, PromptIcon icon, DefaultAnswer defaultAnswer) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFile(const QString &title, const QString &dir, const QString &filter) override;
    std::optional<QString> saveFile(const QString &title, const QString &proposedPath, const QString &filter,
                                    bool confirmOverwrite) override;
    std::optional<quint32> chooseColour(quint32 current) override;
    void beep() override;

private:
    QWidget *parent_ = nullptr;
};

// The box askYesNo shows: Yes and No, Enter answering `defaultAnswer`, Esc answering No.
std::unique_ptr<QMessageBox> MakeYesNoBox(const QString &text, const QString &title, PromptIcon icon,
                                          DefaultAnswer defaultAnswer, QWidget *parent);

}  // namespace zev
