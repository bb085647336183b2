#pragma once
// Every message box, question, input box and file or colour dialog goes through this,
// so window logic runs the same under a script in tests.

#include <QString>
#include <optional>

namespace zev {

enum class PromptIcon { None, Information, Exclamation, Critical, Question };

// The answer Enter gives to a Yes/No question. A question whose Yes destroys data
// defaults to No, so a hurried Enter keeps the data.
enum class DefaultAnswer { Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    // An OK box. `detail` is extra text the operator can expand; it never replaces `text`.
    virtual void message(const QString &text, const QString &title,
                         PromptIcon icon = PromptIcon::None, const QString &detail = {}) = 0;
    // Yes/No question; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title,
                          PromptIcon icon = PromptIcon::Question,
                          DefaultAnswer defaultAnswer = DefaultAnswer::Yes) = 0;
    // Input box; nothing when cancelled.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText = {}) = 0;
    // File dialogs; nothing when cancelled.
    virtual std::optional<QString> openFile(const QString &title, const QString &dir,
                                            const QString &filter) = 0;
    virtual std::optional<QString> saveFile(const QString &title, const QString &proposedPath,
                                            const QString &filter, bool confirmOverwrite) = 0;
    // Colour chooser, colours as 0x00BBGGRR; nothing when cancelled.
    virtual std::optional<quint32> chooseColour(quint32 current) = 0;
    virtual void beep() = 0;
};

}  // namespace zev
