#include "frame/widget_helpers_ui.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPainter>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace zev {

QChar TypedKey(const QKeyEvent *k)
{
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kEnterKey;
    case Qt::Key_Backspace: return kBackspaceKey;
    default: break;
    }
    const QString t = k->text();
    if (t.size() != 1 || t[0].unicode() < 32 || t[0].unicode() == 127)
        return {};
    return t[0];
}

QString ColourName(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)).name();
}

// ---- notifications ----

namespace {

// Order of creation: a burst of messages is read top to bottom, as the window shows them.
const char *const kNotificationOrder = "zevNotificationOrder";
// The text last read to the screen reader, so an unchanged message is not repeated.
const char *const kAnnouncedText = "zevAnnouncedText";
// A message has been read: from then on the label is a Notification even when blank.
const char *const kHeardOnce = "zevHeardOnce";
// The message last announced and when, on the clock below.
const char *const kLastHeard = "zevLastHeard";
const char *const kLastHeardAt = "zevLastHeardAt";

std::chrono::milliseconds notificationGrace{3000};

qint64 sinceStart()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

QString shownText(const QWidget *w)
{
    if (!w->accessibleName().isEmpty())
        return w->accessibleName();
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    return {};
}

class NotificationAccessible : public QAccessibleWidget {
public:
    explicit NotificationAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification) {}
    // A blank line is no message: shown with its window, a screen reader would read it as
    // an empty "notification" whenever it got to it, even while the operator types.
    // Screen readers keep the role they first saw, so the first message gets a new
    // interface (see Announcer::flush).
    QAccessible::Role role() const override
    {
        if (!widget()->property(kHeardOnce).toBool() && shownText(widget()).trimmed().isEmpty())
            return QAccessible::StaticText;
        return QAccessible::Notification;
    }
    // A screen reader reads the text when it gets to the announcement, which on a busy
    // machine is after the next keys: one that blanks the line ("VE3" does) would make it
    // say an empty "notification". For a moment a blank line still names what was said.
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString shown = shownText(widget());
        const QVariant at = widget()->property(kLastHeardAt);
        if (shown.trimmed().isEmpty() && at.isValid() && sinceStart() - at.toLongLong() < notificationGrace.count())
            return widget()->property(kLastHeard).toString();
        return shown;
    }
};

QAccessibleInterface *notificationFactory(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->property(kNotificationOrder).isValid())
        return new NotificationAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

class Announcer : public QObject {
public:
    using QObject::QObject;

    void add(QWidget *w, bool again)
    {
        auto it = std::find_if(pending_.begin(), pending_.end(), [w](const Pending &p) { return p.widget == w; });
        if (it != pending_.end())
            it->again = it->again || again;
        else
            pending_.push_back({w, again});
        if (!scheduled_) {
            scheduled_ = true;
            QMetaObject::invokeMethod(this, &Announcer::flush, Qt::QueuedConnection);
        }
    }

private:
    struct Pending {
        QPointer<QWidget> widget;
        bool again;
    };

    void flush()
    {
        scheduled_ = false;
        std::vector<Pending> batch;
        batch.swap(pending_);
        std::stable_sort(batch.begin(), batch.end(), [](const Pending &a, const Pending &b) {
            const int ka = a.widget ? a.widget->property(kNotificationOrder).toInt() : 0;
            const int kb = b.widget ? b.widget->property(kNotificationOrder).toInt() : 0;
            return ka < kb;
        });
        for (const Pending &p : batch) {
            QWidget *w = p.widget;
            if (!w)
                continue;
            const QString text = shownText(w);
            if (text.trimmed().isEmpty()) {
                w->setProperty(kAnnouncedText, QString());
                continue;
            }
            if (!w->isVisible() || (!p.again && w->property(kAnnouncedText).toString() == text))
                continue;
            w->setProperty(kAnnouncedText, text);
            w->setProperty(kLastHeard, text);
            w->setProperty(kLastHeardAt, sinceStart());
            if (!w->property(kHeardOnce).toBool()) {
                w->setProperty(kHeardOnce, true);
                if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w))
                    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
            }
            // Screen readers read a Notification when it is shown.
            QAccessibleEvent event(w, QAccessible::ObjectShow);
            QAccessible::updateAccessibility(&event);
        }
    }

    std::vector<Pending> pending_;
    bool scheduled_ = false;
};

Announcer *announcer()
{
    static QPointer<Announcer> a;
    if (!a)
        a = new Announcer(qApp);
    return a;
}

}  // namespace

void MakeNotification(QWidget *label)
{
    static bool installed = false;
    static int order = 0;
    if (!installed) {
        QAccessible::installFactory(notificationFactory);
        installed = true;
    }
    label->setProperty(kNotificationOrder, ++order);
    // An interface made before this point (a text set at construction makes one) keeps
    // its old role; drop it so the next query builds the Notification.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(label);
    if (iface && !dynamic_cast<NotificationAccessible *>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

void SayCurrentRow(QListWidget *list)
{
    QTimer::singleShot(0, list, [list] {
        const int row = list->currentRow();
        if (!list->hasFocus() || row < 0 || !QAccessible::isActive())
            return;
        QAccessibleEvent said(list, QAccessible::Focus);
        said.setChild(row);
        QAccessible::updateAccessibility(&said);
    });
}

void SayRowOnEntry(QListWidget *list)
{
    if (list->count() == 0)
        return;
    if (list->currentRow() < 0)
        list->setCurrentRow(0);
    SayCurrentRow(list);
}

void SetNotificationGrace(std::chrono::milliseconds grace)
{
    notificationGrace = grace;
}

void Announce(QWidget *label, bool again)
{
    // Nothing to do without a screen reader; the message line changes at every key.
    if (label && QAccessible::isActive())
        announcer()->add(label, again);
}

// ---- focus ----

namespace {

class FocusFirst : public QObject {
public:
    explicit FocusFirst(QObject *parent) : QObject(parent)
    {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            auto *box = qobject_cast<QLineEdit *>(now);
            if (!box || !QAccessible::isActive())
                return;
            // After the focus event has gone out: the screen reader then drops the caret
            // moves made before it, which it would otherwise take for the focus move.
            QMetaObject::invokeMethod(this, [box = QPointer<QLineEdit>(box)] {
                if (!box || !box->hasFocus())
                    return;
                QAccessibleTextCursorEvent caret(box, box->cursorPosition());
                QAccessible::updateAccessibility(&caret);
            }, Qt::QueuedConnection);
        });
    }
};

}  // namespace

void AnnounceFocusFirst()
{
    static QPointer<FocusFirst> helper;
    if (helper || !qApp)
        return;
    helper = new FocusFirst(qApp);
}

// ---- buttons ----

namespace {

class ReturnPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        if ((k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter) ||
            (k->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto *button = static_cast<QAbstractButton *>(watched);
        if (button->isEnabled())
            button->click();
        return true;
    }
};

}  // namespace

void PressOnReturn(QAbstractButton *button)
{
    button->installEventFilter(new ReturnPresses(button));
}

QString MultiplierCellName(const QString &province, const QString &band, bool worked)
{
    return province + QStringLiteral(", ") + band + QStringLiteral(" metres, ") +
           (worked ? QStringLiteral("worked") : QStringLiteral("needed"));
}

QPushButton *MakeButton(const char *name, const QString &caption, const QString &accessible)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessible.isEmpty() ? QString(caption).remove(QLatin1Char('&')) : accessible);
    b->setAutoDefault(false);
    PressOnReturn(b);
    return b;
}

// ---- labels ----

QSize ElidedLabel::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 4, QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::sizeHint() const
{
    const QSize full = QLabel::sizeHint();
    return {std::min(full.width(), fontMetrics().averageCharWidth() * 40), full.height()};
}

void ElidedLabel::paintEvent(QPaintEvent *event)
{
    const int m = margin();
    const QRect room = contentsRect().marginsRemoved(QMargins(m, m, m, m));
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width());
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QFrame::paintEvent(event);
    QPainter painter(this);
    style()->drawItemText(&painter, room, int(QStyle::visualAlignment(layoutDirection(), alignment())), palette(),
                          isEnabled(), shown, foregroundRole());
}

}  // namespace zev
