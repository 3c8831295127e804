// The window driven as a user drives it: keys, input-method commits, clicks.
// Runs on Qt's offscreen platform.
#include "frm_rfc.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QDesktopServices>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString blank_mask = QStringLiteral("    -      -   ");

// Stands in for the desktop's browser: counts the addresses it is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// Types `text` key by key, as a keyboard with those keys would send it; QTest's
// own keyClicks() handles ASCII only.
void type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const auto key = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typing_upper_cases_data();
    void typing_upper_cases();
    void input_method_commit_is_upper_cased();
    void shortcuts_and_undo_still_work();
    void pasted_text_keeps_its_case();

    void calculate_keys_data();
    void calculate_keys();
    void shows_the_outcome_through_the_mask_data();
    void shows_the_outcome_through_the_mask();
    void old_result_stays_after_an_edit();
    void output_box_can_be_copied_but_not_changed();

    void entering_a_box_selects_its_text_data();
    void entering_a_box_selects_its_text();
    void tab_order_skips_the_date_sections_data();
    void tab_order_skips_the_date_sections();
    void date_picker_starts_at_1980_and_spans_1601_to_9999();

    void escape_does_not_close();
    void closing_clears_frm_RFC();
    void logo_and_icons_load();
    void opens_centred_on_the_screen();
    void boxes_are_named_by_their_labels_data();
    void boxes_are_named_by_their_labels();

    void link_opens_the_page_once_per_click();

private:
    template <typename T = QWidget>
    T* control(const QString& name) const
    {
        T* widget = window_->findChild<T*>(name);
        if (!widget) qFatal("no control %s", qPrintable(name));
        return widget;
    }
    QLineEdit* box(int index) const { return control<QLineEdit>(QStringLiteral("Txt(%1)").arg(index)); }
    QLineEdit* output() const { return control<QLineEdit>(QStringLiteral("TxtRFC")); }
    QDateEdit* date_picker() const { return control<QDateEdit>(QStringLiteral("DtP")); }
    QPushButton* button() const { return control<QPushButton>(QStringLiteral("CmdGen")); }
    void fill(const QString& paternal, const QString& maternal, const QString& given, QDate birth) const;

    QPointer<RfcWindow> window_;
};

void WindowTest::init()
{
    window_ = new RfcWindow;
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void WindowTest::cleanup()
{
    delete window_;
}

void WindowTest::fill(const QString& paternal, const QString& maternal, const QString& given,
                      QDate birth) const
{
    box(0)->setText(paternal);
    box(1)->setText(maternal);
    box(2)->setText(given);
    date_picker()->setDate(birth);
}

void WindowTest::typing_upper_cases_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ascii letters") << "perez" << "PEREZ";
    QTest::newRow("enye") << u"muñoz"_s << u"MUÑOZ"_s;
    QTest::newRow("accented letters") << u"pérez güell"_s << u"PÉREZ GÜELL"_s;
    QTest::newRow("sharp s has no one-letter capital") << u"straße"_s << u"STRAßE"_s;
    QTest::newRow("digits, space, hyphen, capitals") << "12 -AB" << "12 -AB";
}

void WindowTest::typing_upper_cases()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    for (int i = 0; i < 3; ++i) {
        type(box(i), typed);
        QCOMPARE(box(i)->text(), shown);
    }
}

void WindowTest::input_method_commit_is_upper_cased()
{
    // A dead key followed by "a" reaches the box as a commit of "á".
    QInputMethodEvent commit;
    commit.setCommitString(u"á"_s);
    QApplication::sendEvent(box(1), &commit);
    QCOMPARE(box(1)->text(), u"Á"_s);
}

void WindowTest::shortcuts_and_undo_still_work()
{
    type(box(0), "perez");
    QTest::keyClick(box(0), Qt::Key_Backspace);
    QCOMPARE(box(0)->text(), "PERE");
    QTest::keyClick(box(0), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(box(0)->selectedText(), "PERE");
    QTest::keyClick(box(0), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box(0)->text(), "PEREZ");
}

void WindowTest::pasted_text_keeps_its_case()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("lopez"));
    box(1)->setFocus();
    QTest::keyClick(box(1), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box(1)->text(), "lopez");

    box(0)->setText(QStringLiteral("perez"));
    box(2)->setText(QStringLiteral("juan"));
    date_picker()->setDate(QDate(1980, 1, 15));
    QTest::mouseClick(button(), Qt::LeftButton);
    QCOMPARE(output()->text(), "PELJ-800115-2A0");
    QCOMPARE(box(1)->text(), "lopez");
}

void WindowTest::calculate_keys_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Enter in an input box") << "Txt(0)" << int(Qt::Key_Return) << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter in an input box")
        << "Txt(2)" << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
    QTest::newRow("Enter in the date picker") << "DtP" << int(Qt::Key_Return) << Qt::KeyboardModifiers();
    QTest::newRow("Alt+C in an input box") << "Txt(1)" << int(Qt::Key_C) << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("Alt+C in the date picker") << "DtP" << int(Qt::Key_C) << Qt::KeyboardModifiers(Qt::AltModifier);
}

void WindowTest::calculate_keys()
{
    QFETCH(QString, focused);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    fill(QStringLiteral("PEREZ"), QStringLiteral("LOPEZ"), QStringLiteral("JUAN"), QDate(1980, 1, 15));
    QWidget* widget = control(focused);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key(key), modifiers);
    // The access key animates the press and clicks when the animation ends.
    QTRY_COMPARE(output()->text(), "PELJ-800115-2A0");
    QCOMPARE(QApplication::focusWidget(), output());
    QVERIFY(window_->isVisible());
}

void WindowTest::shows_the_outcome_through_the_mask_data()
{
    QTest::addColumn<QString>("paternal");
    QTest::addColumn<QString>("maternal");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QString>("shown");
    QTest::newRow("13-character key") << "PEREZ" << "LOPEZ" << "JUAN" << QDate(1980, 1, 15) << "PELJ-800115-2A0";
    QTest::newRow("lower case as typed elsewhere") << "perez" << "lopez" << "juan" << QDate(1980, 1, 15)
                                                  << "PELJ-800115-2A0";
    QTest::newRow("12-character key, right-aligned") << "LI" << "WU" << "A" << QDate(2000, 1, 1)
                                                    << " LWA-000101-QM3";
    QTest::newRow("all blank: no key") << "" << "" << "" << QDate(1980, 1, 1) << blank_mask;
    QTest::newRow("given names of spaces: no key") << "PEREZ" << "LOPEZ" << "   " << QDate(1980, 1, 1) << blank_mask;
    QTest::newRow("accented letter: empty key") << u"PÉREZ"_s << "LOPEZ" << "JUAN" << QDate(1980, 1, 15)
                                               << blank_mask;
    QTest::newRow("lower-case accented letter: empty key") << u"pérez"_s << "lopez" << "juan"
                                                          << QDate(1980, 1, 15) << blank_mask;
}

void WindowTest::shows_the_outcome_through_the_mask()
{
    QFETCH(QString, paternal);
    QFETCH(QString, maternal);
    QFETCH(QString, given);
    QFETCH(QDate, birth);
    QFETCH(QString, shown);
    fill(paternal, maternal, given, birth);
    output()->setText(QStringLiteral("previous result"));
    QTest::mouseClick(button(), Qt::LeftButton);
    QCOMPARE(output()->text(), shown);
    QCOMPARE(QApplication::focusWidget(), output());
    // The boxes go on showing what was typed.
    QCOMPARE(box(0)->text(), paternal);
    QCOMPARE(box(1)->text(), maternal);
    QCOMPARE(box(2)->text(), given);
}

void WindowTest::old_result_stays_after_an_edit()
{
    fill(QStringLiteral("PEREZ"), QStringLiteral("LOPEZ"), QStringLiteral("JUAN"), QDate(1980, 1, 15));
    QTest::mouseClick(button(), Qt::LeftButton);
    type(box(2), "pedro");
    date_picker()->setDate(QDate(1999, 9, 9));
    QCOMPARE(output()->text(), "PELJ-800115-2A0");
}

void WindowTest::output_box_can_be_copied_but_not_changed()
{
    fill(QStringLiteral("PEREZ"), QStringLiteral("LOPEZ"), QStringLiteral("JUAN"), QDate(1980, 1, 15));
    QTest::mouseClick(button(), Qt::LeftButton);
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    type(output(), "abc");
    QTest::keyClick(output(), Qt::Key_Backspace);
    QTest::keyClick(output(), Qt::Key_Delete);
    QTest::keyClick(output(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(!output()->testAttribute(Qt::WA_InputMethodEnabled));
    QCOMPARE(output()->text(), "PELJ-800115-2A0");

    QTest::keyClick(output(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(output(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), "PELJ-800115-2A0");
}

void WindowTest::entering_a_box_selects_its_text_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("Tab") << "tab" << "Txt(0)" << 1;
    QTest::newRow("Tab wrapping round") << "tab" << "TxtRFC" << 0;
    QTest::newRow("Shift+Tab") << "backtab" << "Txt(2)" << 1;
    QTest::newRow("Shift+Tab from the date picker") << "backtab" << "DtP" << 2;
    QTest::newRow("mouse click") << "click" << "Txt(0)" << 1;
    QTest::newRow("mouse click from the output box") << "click" << "TxtRFC" << 2;
}

void WindowTest::entering_a_box_selects_its_text()
{
    QFETCH(QString, how);
    QFETCH(QString, from);
    QFETCH(int, to);
    box(to)->setText(QStringLiteral("DE LA ROSA"));
    box(to)->setCursorPosition(3);
    QWidget* start = control(from);
    start->setFocus();
    if (how == "tab")
        QTest::keyClick(start, Qt::Key_Tab);
    else if (how == "backtab")
        QTest::keyClick(start, Qt::Key_Backtab, Qt::ShiftModifier);
    else
        QTest::mouseClick(box(to), Qt::LeftButton, {}, QPoint(12, box(to)->height() / 2));
    QCOMPARE(QApplication::focusWidget(), box(to));
    QCOMPARE(box(to)->selectedText(), "DE LA ROSA");

    // The next key typed replaces the whole text.
    type(box(to), "r");
    QCOMPARE(box(to)->text(), "R");
}

void WindowTest::tab_order_skips_the_date_sections_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("Tab") << int(Qt::Key_Tab)
                         << QStringList{"Txt(1)", "Txt(2)", "DtP", "CmdGen", "TxtRFC", "Txt(0)"};
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab)
                               << QStringList{"TxtRFC", "CmdGen", "DtP", "Txt(2)", "Txt(1)", "Txt(0)"};
}

void WindowTest::tab_order_skips_the_date_sections()
{
    QFETCH(int, key);
    QFETCH(QStringList, order);
    box(0)->setFocus();
    for (const QString& expected : order) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QTest::keyClick(focused, Qt::Key(key), key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), expected);
    }
}

void WindowTest::date_picker_starts_at_1980_and_spans_1601_to_9999()
{
    QDateEdit* picker = date_picker();
    QCOMPARE(picker->date(), QDate(1980, 1, 1));
    QCOMPARE(picker->minimumDate(), QDate(1601, 1, 1));
    QCOMPARE(picker->maximumDate(), QDate(9999, 12, 31));
    QCOMPARE(picker->text(), "01/01/1980");
    QVERIFY(picker->calendarPopup());

    // Tabbing in lands on the day; the arrow keys, Ctrl+arrow between the
    // sections and typing still edit the date.
    box(2)->setFocus();
    QTest::keyClick(box(2), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), picker);
    QTest::keyClick(picker, Qt::Key_Up);
    QCOMPARE(picker->date(), QDate(1980, 1, 2));
    QTest::keyClick(picker, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(picker, Qt::Key_Up);
    QCOMPARE(picker->date(), QDate(1980, 2, 2));
    QTest::keyClick(picker, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClicks(picker, "1975");
    QCOMPARE(picker->date(), QDate(1975, 2, 2));
    QTest::keyClick(picker, Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(picker, Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClicks(picker, "15");
    QCOMPARE(picker->date(), QDate(1975, 2, 15));
    QCOMPARE(QApplication::focusWidget(), picker);
}

void WindowTest::escape_does_not_close()
{
    for (QWidget* widget : {static_cast<QWidget*>(box(0)), static_cast<QWidget*>(date_picker()),
                            static_cast<QWidget*>(output())}) {
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Escape);
        QVERIFY(window_->isVisible());
    }
}

void WindowTest::closing_clears_frm_RFC()
{
    window_->setAttribute(Qt::WA_DeleteOnClose);
    frm_RFC = window_;
    QVERIFY(window_->close());
    QCOMPARE(frm_RFC, nullptr);
    QTRY_VERIFY(window_.isNull());
}

void WindowTest::logo_and_icons_load()
{
    QCOMPARE(window_->size(), QSize(346, 266));
    const QLabel* logo = control<QLabel>(QStringLiteral("Image1"));
    QCOMPARE(logo->pixmap().size(), QSize(32, 32));
    const QList<QSize> sizes = window_->windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
}

void WindowTest::opens_centred_on_the_screen()
{
    // The offscreen platform draws a frame of its own, as a window manager does.
    QVERIFY(window_->frameGeometry().size() != window_->size());
    const QPoint screen_centre = window_->screen()->availableGeometry().center();
    const QPoint frame_centre = window_->frameGeometry().center();
    QVERIFY2((frame_centre - screen_centre).manhattanLength() <= 1,
             qPrintable(u"frame centre (%1, %2), screen centre (%3, %4)"_s.arg(frame_centre.x())
                            .arg(frame_centre.y())
                            .arg(screen_centre.x())
                            .arg(screen_centre.y())));
}

void WindowTest::boxes_are_named_by_their_labels_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::newRow("paternal surname") << "Txt(0)" << "lbl(0)" << "Apellido Paterno";
    QTest::newRow("maternal surname") << "Txt(1)" << "lbl(1)" << "Apellido Materno";
    QTest::newRow("given names") << "Txt(2)" << "lbl(4)" << "Nombre(s)";
    QTest::newRow("output box") << "TxtRFC" << "lbl(3)" << "R.F.C.";
}

void WindowTest::boxes_are_named_by_their_labels()
{
    QFETCH(QString, box);
    QFETCH(QString, label);
    QFETCH(QString, name);
    // What a screen reader asks for, not just the widget property.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control(box));
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    QCOMPARE(control<QLabel>(label)->text(), name);
}

void WindowTest::link_opens_the_page_once_per_click()
{
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    fill(QStringLiteral("perez"), QStringLiteral("LOPEZ"), QStringLiteral("JUAN"), QDate(1980, 1, 15));
    QTest::mouseClick(button(), Qt::LeftButton);
    box(0)->setFocus();

    QLabel* link = control<QLabel>(QStringLiteral("lblweb"));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(browser.opened, QList<QUrl>{QUrl("https://" + link->text())});
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(browser.opened.size(), 2);
    QTest::mouseClick(link, Qt::RightButton);
    QCOMPARE(browser.opened.size(), 2);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    QCOMPARE(link->text(), "claverfc.example");
    QCOMPARE(box(0)->text(), "perez");
    QCOMPARE(box(1)->text(), "LOPEZ");
    QCOMPARE(box(2)->text(), "JUAN");
    QCOMPARE(date_picker()->date(), QDate(1980, 1, 15));
    QCOMPARE(output()->text(), "PELJ-800115-2A0");
    QCOMPARE(QApplication::focusWidget(), box(0));
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
