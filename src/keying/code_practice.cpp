#include "keying/code_practice.h"

#include <QRandomGenerator>
#include <algorithm>

namespace zev {

namespace {

int wholeNumber(const QString &text, int fallback, int low, int high)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok)
        return fallback;
    return int(std::clamp<qlonglong>(v, low, high));
}

}  // namespace

PracticeShape CheckPracticeShape(const QString &groupsText, const QString &sizeText)
{
    PracticeShape shape;
    shape.groups = wholeNumber(groupsText, 10, 1, kMaxGroups);
    shape.size = wholeNumber(sizeText, 5, 1, kMaxGroupSize);
    shape.groupsText = QString::number(shape.groups);
    shape.sizeText = QString::number(shape.size);
    return shape;
}

QString RandomGroups(int groups, int size, bool lettersOnly, QRandomGenerator &random)
{
    groups = std::clamp(groups, 0, kMaxGroups);
    size = std::clamp(size, 0, kMaxGroupSize);
    const int n = lettersOnly ? kLettersOnly : kAllCharacters;
    QString text;
    text.reserve(groups * (size + 1));
    for (int g = 0; g < groups; ++g) {
        for (int c = 0; c < size; ++c)
            text += QLatin1Char(kPracticeCharacters[random.bounded(n)]);
        text += QLatin1Char(' ');
    }
    return text;
}

}  // namespace zev
