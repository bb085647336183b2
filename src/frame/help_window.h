#pragma once
// Help: the keys of a contest and where the files live, as text a screen reader can read
// line by line.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace zev {

struct Folders;

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(const Folders &folders, QWidget *parent = nullptr);

    QPlainTextEdit *txtHelp = nullptr;
    QPushButton *cmdClose = nullptr;
};

}  // namespace zev
