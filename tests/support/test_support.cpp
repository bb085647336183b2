#include "test_support.h"

#include <QTest>

#include <QFile>
#include <QGuiApplication>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <gtest/gtest.h>

namespace zevtest {

void ScriptedPrompter::message(const QString &text, const QString &title, zev::PromptIcon,
                               const QString &detail)
{
    asked.append({QStringLiteral("message"), text, title, detail});
}

bool ScriptedPrompter::askYesNo(const QString &text, const QString &title, zev::PromptIcon,
                                zev::DefaultAnswer defaultAnswer)
{
    asked.append({QStringLiteral("yesno"), text, title, {}, defaultAnswer});
    if (answers.empty())
        return false;
    Answer a = answers.front();
    answers.pop_front();
    if (const bool *b = std::get_if<bool>(&a))
        return *b;
    ADD_FAILURE() << "scripted answer for a Yes/No question is not a bool: " << text.toStdString();
    return false;
}

std::optional<QString> ScriptedPrompter::nextText()
{
    if (answers.empty())
        return std::nullopt;
    Answer a = answers.front();
    answers.pop_front();
    if (const QString *s = std::get_if<QString>(&a))
        return *s;
    if (std::holds_alternative<std::monostate>(a))
        return std::nullopt;
    ADD_FAILURE() << "scripted answer is not a text";
    return std::nullopt;
}

std::optional<QString> ScriptedPrompter::input(const QString &prompt, const QString &title,
                                               const QString &defaultText)
{
    asked.append({QStringLiteral("input"), prompt, title, defaultText});
    return nextText();
}

std::optional<QString> ScriptedPrompter::openFile(const QString &title, const QString &dir,
                                                  const QString &)
{
    asked.append({QStringLiteral("open"), dir, title, {}});
    return nextText();
}

std::optional<QString> ScriptedPrompter::saveFile(const QString &title, const QString &proposedPath,
                                                  const QString &, bool)
{
    asked.append({QStringLiteral("save"), proposedPath, title, {}});
    return nextText();
}

std::optional<quint32> ScriptedPrompter::chooseColour(quint32)
{
    asked.append({QStringLiteral("colour"), {}, {}, {}});
    std::optional<QString> t = nextText();
    if (!t)
        return std::nullopt;
    return t->toUInt();
}

void ScriptedPrompter::beep()
{
    asked.append({QStringLiteral("beep"), {}, {}, {}});
}

QStringList ScriptedPrompter::titles() const
{
    QStringList out;
    for (const Asked &a : asked)
        out << a.title;
    return out;
}

AccessibilityEvents *AccessibilityEvents::current_ = nullptr;

namespace {

void setAccessibilityActive(bool on)
{
    // The platform's switch, as Qt's own accessibility tests use it.
    if (QPlatformIntegration *platform = QGuiApplicationPrivate::platformIntegration())
        if (QPlatformAccessibility *a11y = platform->accessibility())
            a11y->setActive(on);
}

}  // namespace

AccessibilityEvents::AccessibilityEvents()
{
    current_ = this;
    previous_ = QAccessible::installUpdateHandler(&AccessibilityEvents::record);
    setAccessibilityActive(true);
}

AccessibilityEvents::~AccessibilityEvents()
{
    setAccessibilityActive(false);
    QAccessible::installUpdateHandler(previous_);
    current_ = nullptr;
}

void AccessibilityEvents::record(QAccessibleEvent *event)
{
    if (!current_)
        return;
    QAccessibleInterface *iface = event->accessibleInterface();
    current_->events.push_back({event->object(), event->type(), iface ? iface->role() : QAccessible::NoRole,
                                iface ? iface->text(QAccessible::Name) : QString()});
}

QStringList AccessibilityEvents::spoken(const QObject *object) const
{
    QStringList out;
    for (const Event &e : events)
        if (e.object == object && e.type == QAccessible::ObjectShow && e.role == QAccessible::Notification)
            out << e.name;
    return out;
}

int AccessibilityEvents::lastIndex(const QObject *object, QAccessible::Event type) const
{
    for (int i = int(events.size()) - 1; i >= 0; --i)
        if (events[size_t(i)].object == object && events[size_t(i)].type == type)
            return i;
    return -1;
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(content);
}

QString Fixture(const QString &name)
{
    return QStringLiteral(ZEV_FIXTURES "/") + name;
}

bool WaitFor(const std::function<bool()> &done, int limitMs)
{
    for (int waited = 0; !done(); waited += 10) {
        if (waited >= limitMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

}  // namespace zevtest
