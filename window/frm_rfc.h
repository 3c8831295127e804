// The program's one window: three input boxes for the names, a date picker for
// the date of birth, the calculate button and the read-only box that shows the
// key, e.g. PEREZ / LOPEZ / JUAN, 15/01/1980  ->  PELJ-800115-2A0.
//
// The window only reads its controls, asks keycalc for the key and shows the
// outcome; every rule of the key lives in keycalc.
#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class ClickLabel;
class DatePicker;
class InputBox;

// A QDialog, because a dialog has a default button (Enter anywhere presses
// CmdGen); unlike a dialog it ignores Escape and appears as a main window.
// The controls carry their names as object names ("Txt(0)", "CmdGen", ...).
class RfcWindow : public QDialog {
    Q_OBJECT
public:
    explicit RfcWindow(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void CmdGen_Click();
    void Txt_GotFocus(qint16 index);
    void Txt_KeyPress(qint16 index, char16_t& key_code);
    void Form_Unload();
    void lblweb_Click();

    // Centres the window, its frame included, on the screen's available area.
    void centre_on_screen();
    // Centres it once more when it first has a frame.
    void centre_once_framed();


    QLabel* Image1;
    std::array<QLabel*, 2> lblarh;
    ClickLabel* lblweb;
    std::array<QLabel*, 5> lbl;
    std::array<InputBox*, 3> Txt;
    DatePicker* DtP;
    QWidget* Line1;
    QWidget* Line2;
    QPushButton* CmdGen;
    QLineEdit* TxtRFC;

    // Whether the window has been centred again with its frame.
    bool centred_with_frame_ = false;
};

// The window while it is open; the program sets it at start, and closing the
// window sets it back to null.
extern RfcWindow* frm_RFC;
