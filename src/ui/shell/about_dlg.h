// The About box of the window's system menu: the program's name and version, one line on what
// it is for, the program's icon and an OK button. Modal, owned by the main window.
// User-interface thread only.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

inline constexpr char AboutCaption[] = "About KVE_Zelbo";
inline constexpr char AboutVersionText[] = "KVE_Zelbo Version 1.0";
inline constexpr char AboutSecondLine[] = "Configuration program of the ZP-3907 Gaming mouse";

class CAboutDlg final : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* iconLabel() const { return icon_; }
    QPushButton* okButton() const { return ok_; }

private:
    QLabel* icon_;
    QPushButton* ok_;
};
