#pragma once
// frmEditCon: corrects one contact of the log.

#include "logcore/contact_log.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zev {

struct Session;

class EditContactWindow : public QDialog {
    Q_OBJECT
public:
    // `deleteRecord` deletes the edited record after asking (the main window's delete).
    EditContactWindow(Session &session, int editedRecord, std::function<void()> deleteRecord,
                      QWidget *parent = nullptr);

    void cmdDone_Click();
    void cmdDeleteDupe_Click();
    // The corrected record after a successful "Done".
    const std::optional<ContactRecord> &edited() const { return edited_; }
    int EditedRecord() const { return record_; }

    QLineEdit *txtEditCall, *txtEditNum, *txtEditCk, *txtEditPre, *txtEditSec, *txtEditDate, *txtEditTime,
        *txtEditBnd, *Text1, *Text2;
    QLabel *Label1 = nullptr;  // "  Dupe!"
    QLabel *lblPreInvalid = nullptr, *lblBandInvalid = nullptr, *lblModeInvalid = nullptr;
    QPushButton *cmdDone = nullptr, *cmdDeleteDupe = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyPress(QLineEdit *box, QChar key);
    // Checks done when a box is left; false keeps the focus there.
    bool leave(QLineEdit *box);
    bool formatOk(bool valid, bool tell, const QString &text, const QString &title);
    bool dateOk(bool tell);
    bool timeOk(bool tell);

    Session &s_;
    int record_;
    std::function<void()> deleteRecord_;
    std::optional<ContactRecord> edited_;
    bool refocusing_ = false;
};

}  // namespace zev
