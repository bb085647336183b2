#pragma once
// Puts the text rules of common/text_rules.h on a window's text boxes.

#include "common/text_rules.h"

#include <functional>

class QLineEdit;

namespace zev {

// From now on `box` keeps only what the rules of `kind` allow of every change made to
// it, typed, pasted, dropped or set. `refused` runs when a character no working file
// can hold was taken out; `maxLength`, when given, is asked for the limit at each change.
void FollowTextRules(QLineEdit *box, TextKind kind, std::function<void()> refused = {},
                     std::function<int()> maxLength = {});

// Shows a stored value as it is, outside the typing rules (a record's "2.5" points).
void ShowAsIs(QLineEdit *box, const QString &text);

}  // namespace zev
