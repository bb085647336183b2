#pragma once
// Shared helpers for the tests: a scripted Prompter, a settable Clock, temporary folders.

#include "common/clock.h"
#include "common/prompter.h"

#include <QAccessible>
#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <ostream>
#include <variant>

// Readable QString values in test failures.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace zevtest {

// What a window asked, in order.
struct Asked {
    QString kind;  // "message", "yesno", "input", "open", "save", "colour", "beep"
    QString text;
    QString title;
    QString detail;
    // For a Yes/No question: the answer Enter would give.
    zev::DefaultAnswer defaultAnswer = zev::DefaultAnswer::Yes;
};

// Answers come from a queue; an empty queue answers "No" / Cancel.
class ScriptedPrompter : public zev::Prompter {
public:
    using Answer = std::variant<bool, QString, std::monostate>;  // monostate = Cancel
    std::deque<Answer> answers;
    QList<Asked> asked;

    void message(const QString &text, const QString &title, zev::PromptIcon,
                 const QString &detail) override;
    bool askYesNo(const QString &text, const QString &title, zev::PromptIcon,
                  zev::DefaultAnswer defaultAnswer) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    std::optional<QString> openFile(const QString &title, const QString &dir,
                                    const QString &filter) override;
    std::optional<QString> saveFile(const QString &title, const QString &proposedPath,
                                    const QString &filter, bool confirmOverwrite) override;
    std::optional<quint32> chooseColour(quint32 current) override;
    void beep() override;

    QStringList titles() const;

private:
    std::optional<QString> nextText();
};

class FakeClock : public zev::Clock {
public:
    QDateTime local = QDateTime(QDate(2009, 7, 1), QTime(14, 4, 27));
    int utcOffsetSeconds = 4 * 3600;  // UTC = local + 4 h
    QDateTime localNow() const override { return local; }
    QDateTime utcNow() const override
    {
        return QDateTime(local.date(), local.time(), Qt::UTC).addSecs(utcOffsetSeconds);
    }
};

// The accessibility events the windows send, in order, as a screen reader gets them,
// with the role and name the object had at that moment. Accessibility is switched on
// (the offscreen platform has it off) while one of these lives.
class AccessibilityEvents {
public:
    struct Event {
        QPointer<QObject> object;
        QAccessible::Event type;
        QAccessible::Role role;
        QString name;
    };
    AccessibilityEvents();
    ~AccessibilityEvents();
    AccessibilityEvents(const AccessibilityEvents &) = delete;
    AccessibilityEvents &operator=(const AccessibilityEvents &) = delete;

    std::vector<Event> events;
    // Names of the notifications shown (read) for `object`, oldest first.
    QStringList spoken(const QObject *object) const;
    // Position of the last event of `type` for `object` in `events`, -1 when none.
    int lastIndex(const QObject *object, QAccessible::Event type) const;

private:
    static void record(QAccessibleEvent *event);
    static AccessibilityEvents *current_;
    QAccessible::UpdateHandler previous_;
};

QByteArray ReadFile(const QString &path);
void WriteFile(const QString &path, const QByteArray &content);
QString Fixture(const QString &name);

// Runs the event loop until `done` holds or `limitMs` passes; whether it held. For peers
// that run beside the test (a broker, rigctld), whose answers come when they come.
bool WaitFor(const std::function<bool()> &done, int limitMs = 20000);

}  // namespace zevtest
