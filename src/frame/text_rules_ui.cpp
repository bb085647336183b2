#include "frame/text_rules_ui.h"

#include <QLineEdit>
#include <QValidator>

namespace zev {

namespace {

// A validator may rewrite the text it is shown, and the line edit then reports one
// change with the cleaned text; so every listener of the box sees only clean text.
class TextRuleValidator : public QValidator {
public:
    TextRuleValidator(QLineEdit *box, TextKind kind, std::function<void()> refused, std::function<int()> maxLength)
        : QValidator(box), kind_(kind), refused_(std::move(refused)), maxLength_(std::move(maxLength)),
          previous_(box->text())
    {
        // The box's text before a change, to tell what the change added.
        QObject::connect(box, &QLineEdit::textChanged, this, [this](const QString &t) { previous_ = t; });
    }

    State validate(QString &input, int &pos) const override
    {
        if (asIs_)
            return Acceptable;
        const EditedText e = ApplyTextRule(kind_, previous_, input, maxLength_ ? maxLength_() : -1, pos);
        if (e.changed) {
            input = e.text;
            pos = e.cursor;
        }
        if (e.refused && refused_)
            refused_();
        return Acceptable;
    }

    bool asIs_ = false;

private:
    TextKind kind_;
    std::function<void()> refused_;
    std::function<int()> maxLength_;
    QString previous_;
};

}  // namespace

void FollowTextRules(QLineEdit *box, TextKind kind, std::function<void()> refused, std::function<int()> maxLength)
{
    box->setValidator(new TextRuleValidator(box, kind, std::move(refused), std::move(maxLength)));
}

void ShowAsIs(QLineEdit *box, const QString &text)
{
    auto *v = dynamic_cast<TextRuleValidator *>(const_cast<QValidator *>(box->validator()));
    if (v)
        v->asIs_ = true;
    box->setText(text);
    if (v)
        v->asIs_ = false;
}

}  // namespace zev
