#pragma once
// The real dialogs behind Prompter.

#include "common/prompter.h"

class QWidget;

namespace zev {

class DialogPrompter : public Prompter {
public:
    // Dialogs are centred over `parent` once one is set.
    void setParent(QWidget *parent) { parent_ = parent; }

    void message(const QString &text, const QString &title, PromptIcon icon, const QString &detail) override;
    bool askYesNo(const QString &text, const QString &title, PromptIcon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFile(const QString &title, const QString &dir, const QString &filter) override;
    std::optional<QString> saveFile(const QString &title, const QString &proposedPath, const QString &filter,
                                    bool confirmOverwrite) override;
    std::optional<quint32> chooseColour(quint32 current) override;
    void beep() override;

private:
    QWidget *parent_ = nullptr;
};

}  // namespace zev
