#pragma once
// Random practice groups for the code practice window.

#include <QString>

class QRandomGenerator;

namespace zev {

// The characters groups are drawn from: A-Z, 0-9, then . , ? / -
inline constexpr char kPracticeCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/-";
inline constexpr int kLettersOnly = 26;
inline constexpr int kAllCharacters = 41;

// Bounds of the generator, so a stray number never builds a text of gigabytes.
inline constexpr int kMaxGroups = 1000;
inline constexpr int kMaxGroupSize = 50;

struct PracticeShape {
    int groups = 10;
    int size = 5;
    QString groupsText;  // what the boxes show afterwards
    QString sizeText;
};

// The boxes' numbers: a text that is not a whole number becomes the default (10 groups,
// 5 characters); a number outside 1..1000 or 1..50 is brought to the nearest bound.
PracticeShape CheckPracticeShape(const QString &groupsText, const QString &sizeText);

// `groups` groups of `size` characters, each followed by one space; letters only or all
// 41 characters, each chosen uniformly.
QString RandomGroups(int groups, int size, bool lettersOnly, QRandomGenerator &random);

}  // namespace zev
