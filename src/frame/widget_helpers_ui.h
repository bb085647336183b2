#pragma once
// Small helpers every window shares.

#include <QChar>
#include <QLabel>
#include <QString>

#include <chrono>

class QKeyEvent;
class QListWidget;
class QAbstractButton;
class QPushButton;
class QWidget;

namespace zev {

inline const QChar kEnterKey(13);
inline const QChar kBackspaceKey(8);

// The character a key press types, as a classic key code: Enter 13, Backspace 8.
// Keys that type nothing (arrows, function keys, shortcuts) give a null char.
QChar TypedKey(const QKeyEvent *k);

// A 0x00BBGGRR colour as a style-sheet colour name.
QString ColourName(quint32 bgr);

// A message label the operator must hear without the focus leaving the box being
// typed in: screen readers see it as a Notification. Screen readers ignore a label
// whose text changes, so each new message is announced with Announce().
void MakeNotification(QWidget *label);

// Reads a notification's text to the screen reader once the current event has been
// handled, so a burst of messages is heard once, as the last one left on screen.
// A blank text is not read, and a text is not read again while it stays on screen
// unless `again` asks for it (the operator repeated the action that shows it).
void Announce(QWidget *label, bool again = false);

// How long a notification blanked after an announcement still gives the screen reader the
// text announced (3 s), so one that reads late does not read an empty line.
void SetNotificationGrace(std::chrono::milliseconds grace);

// Reads a list's current row to the screen reader once the current event is handled: a
// list reached by a key is announced as a list, its row only when the row changes.
void SayCurrentRow(QListWidget *list);

// Gives a list its first row as the current one when it has none, and reads that row,
// so a list reached with Tab says what is in it.
void SayRowOnEntry(QListWidget *list);

// A box that gets the focus is named by the screen reader even when its text was
// changed just before or during the focus move (pre-filled, selected or cleared): the
// screen reader takes such a caret move for the focus move and names nothing, unless a
// newer caret move of the box follows the focus event, which this sends. Installed
// once for the application; windows with entry boxes call it.
void AnnounceFocusFirst();

// Return or Enter on a focused button presses it, while Enter in a text box still
// presses nothing.
void PressOnReturn(QAbstractButton *button);

// A push button by its object name and caption, named for the screen reader by the caption
// without "&" unless `accessible` is given; Return presses it and it is never a default.
QPushButton *MakeButton(const char *name, const QString &caption, const QString &accessible = {});

// A one-line label that never widens its window: a text longer than the room it has shows
// its start and its end around an ellipsis (a long path in a message is cut, what is said
// of it stays), while text(), and so what the screen reader reads, keeps all of it.
class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Accessible name of a multiplier cell: its state in words, not only in colour.
QString MultiplierCellName(const QString &province, const QString &band, bool worked);

}  // namespace zev
