// The window under random use: bursts of keys, pastes of any text up to a
// million code units, clicks, focus and date changes, each burst closed by a
// calculation whose shown key is checked against the key computed directly
// from what the boxes hold. Runs on Qt's offscreen platform, from a fixed seed.
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QDesktopServices>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <array>
#include <random>

#include "compute_key.h"
#include "frm_rfc.h"
#include "output_mask.h"
#include "upper_case.h"

using namespace Qt::StringLiterals;

namespace {

// Swallows the link label's requests to open the web page.
class NoBrowser : public QObject {
    Q_OBJECT
  public slots:
    void open(const QUrl&) {}
};

// What a user types: mostly letters and spaces, now and then anything else
// that a keyboard for Spanish has.
const QString typed_often = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ   "_s;
const QString typed_rarely = u"0123456789áéíóúüñÁÉÍÓÚÜÑ¥ß'-.,&/()"_s;

// A text of letters, spaces, "Ñ" and "¥" that a name may hold; or, when not
// `clean`, one that mixes in apostrophes and any UTF-16 code unit at all, lone
// surrogates included.
QString random_text(std::mt19937& rng, qsizetype size, bool clean) {
    static const QString name_units =
        u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyzÑñ¥    "_s;
    std::uniform_int_distribution<int> kind(clean ? 2 : 0, 9);
    std::uniform_int_distribution<int> any_unit(0, 0xFFFF);
    std::uniform_int_distribution<qsizetype> name_unit(0, name_units.size() - 1);
    QString text(size, Qt::Uninitialized);
    for (QChar& c : text) {
        switch (kind(rng)) {
            case 0:
                c = QChar(char16_t(any_unit(rng)));
                break;
            case 1:
                c = u'\'';
                break;
            default:
                c = name_units[name_unit(rng)];
                break;
        }
    }
    return text;
}

std::chrono::year_month_day to_year_month_day(QDate date) {
    return std::chrono::year{date.year()} / static_cast<unsigned>(date.month()) /
           static_cast<unsigned>(date.day());
}

bool is_key_character(QChar c) {
    return c == u' ' || c == u'&' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z');
}

// The offscreen platform warns of every raise() and keyboard grab of the
// calendar, and the fonts of rare scripts of every missing table; the rest
// goes on to the test log.
QtMessageHandler previous_handler = nullptr;

void drop_platform_noise(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (type == QtWarningMsg && (message.contains(u"This plugin does not support"_s) ||
                                 message.contains(u"OpenType support missing"_s)))
        return;
    previous_handler(type, context, message);
}

}  // namespace

class WindowMonkeyTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void random_use_always_shows_the_computed_key();
    void a_million_character_name_calculates();

  private:
    QWidget* control(const QString& name) const {
        QWidget* widget =
            name == window_->objectName() ? window_ : window_->findChild<QWidget*>(name);
        if (!widget) qFatal("no control %s", qPrintable(name));
        return widget;
    }
    QLineEdit* box(int index) const {
        return static_cast<QLineEdit*>(control(QStringLiteral("Txt(%1)").arg(index)));
    }
    QLineEdit* output() const { return static_cast<QLineEdit*>(control(QStringLiteral("TxtRFC"))); }
    QDateEdit* date_picker() const {
        return static_cast<QDateEdit*>(control(QStringLiteral("DtP")));
    }

    QWidget* focused() const {
        return QApplication::focusWidget() ? QApplication::focusWidget() : window_;
    }
    void random_event(std::mt19937& rng);
    void paste(QWidget* target, const QString& text);
    void calculate_and_check();

    NoBrowser browser_;
    QPointer<RfcWindow> window_;
    int events_ = 0;
};

void WindowMonkeyTest::initTestCase() {
    previous_handler = qInstallMessageHandler(drop_platform_noise);
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser_, "open");
}

void WindowMonkeyTest::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    qInstallMessageHandler(previous_handler);
}

void WindowMonkeyTest::init() {
    window_ = new RfcWindow;
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void WindowMonkeyTest::cleanup() { delete window_; }

void WindowMonkeyTest::paste(QWidget* target, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
}

// One key press, paste, click, focus or date change, chosen at random.
void WindowMonkeyTest::random_event(std::mt19937& rng) {
    static const QList<QString> clickable = {"Txt(0)", "Txt(1)", "Txt(2)", "DtP",    "CmdGen",
                                             "TxtRFC", "lblweb", "lbl(0)", "Image1", "frm_RFC"};
    // Keys that move, edit, calculate and undo; Alt+Down opens the calendar.
    static const QList<QKeySequence> chords = QKeySequence::listFromString(
        u"Tab; Shift+Backtab; Backspace; Del; Left; Right; Up; Down; Home; End; Shift+Left; "
        "Ctrl+Right; Return; Num+Enter; Alt+C; Esc; Ctrl+Z; Ctrl+Y; Ctrl+A; Ctrl+C; Ctrl+V; "
        "Ctrl+X; Alt+Down"_s);
    auto pick = [&rng](qsizetype size) {
        return std::uniform_int_distribution<qsizetype>(0, size - 1)(rng);
    };
    enum Action { Type, Chord, Paste, Commit, Click, Focus, Clear, Date };
    // How often each comes, in the order above.
    static const std::array<double, 8> weights = {9, 5, 1, 1, 2, 1, 2, 1};
    ++events_;
    switch (std::discrete_distribution<int>(weights.begin(), weights.end())(rng)) {
        case Type: {
            // A typed character; when the box takes it in, it is there upper-cased.
            const QString& typed = pick(8) == 0 ? typed_rarely : typed_often;
            const QChar c = typed[pick(typed.size())];
            QWidget* target = focused();
            auto* input = qobject_cast<QLineEdit*>(target);
            const bool editable = input && input != output();
            const qsizetype expected_size =
                editable ? input->text().size() - input->selectedText().size() + 1 : 0;
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
            if (editable && input->text().size() == expected_size)
                QCOMPARE(input->text().at(input->cursorPosition() - 1),
                         QChar(casing::upper_case_char(c.unicode())));
            break;
        }
        case Chord: {
            const QKeyCombination chord = chords[pick(chords.size())][0];
            QWidget* target = focused();
            const bool tab_into_box = chord.key() == Qt::Key_Tab || chord.key() == Qt::Key_Backtab;
            QTest::keyClick(target, chord.key(), chord.keyboardModifiers());
            // Entering an input box by the keyboard selects its whole text.
            auto* input = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (tab_into_box && input && input != output() && QApplication::focusWidget() != target)
                QCOMPARE(input->selectedText(), input->text());
            break;
        }
        case Paste: {
            // A paste, mostly short, into whatever has the focus.
            const qsizetype size = pick(8) == 0 ? pick(2000) : pick(40);
            paste(focused(), random_text(rng, size, pick(2) == 0));
            break;
        }
        case Commit: {
            // An input method's commit: a dead key or a compose sequence.
            QInputMethodEvent commit;
            commit.setCommitString(random_text(rng, 1 + pick(3), false));
            QApplication::sendEvent(focused(), &commit);
            break;
        }
        case Click: {
            QWidget* target = control(clickable[pick(clickable.size())]);
            const QPoint at(int(pick(target->width())), int(pick(target->height())));
            QTest::mouseClick(target, Qt::LeftButton, {}, at);
            break;
        }
        case Focus:
            control(clickable[pick(6)])->setFocus(Qt::OtherFocusReason);
            break;
        case Clear:
            // Starting over in a box: select all and delete.
            QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(focused(), Qt::Key_Delete);
            break;
        case Date:
            date_picker()->setDate(
                QDate(1601, 1, 1).addDays(pick(QDate(1601, 1, 1).daysTo(QDate(9999, 12, 31)) + 1)));
            break;
    }
}

// Presses CmdGen and checks what the window must show after any calculation.
void WindowMonkeyTest::calculate_and_check() {
    // The user leaves an open calendar or menu first, and the access key's
    // delayed click goes off.
    QCoreApplication::processEvents();
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    // The offscreen platform leaves the activation with the calendar after it
    // hides; a real desktop hands it back to the window, as a click on it would.
    if (QApplication::activeWindow() != window_) {
        window_->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window_);
    }

    const QStringList texts = {box(0)->text(), box(1)->text(), box(2)->text()};
    QTest::mouseClick(control(QStringLiteral("CmdGen")), Qt::LeftButton);
    ++events_;

    QVERIFY(window_);
    QVERIFY(window_->isVisible());
    QCOMPARE(QApplication::focusWidget(), output());
    const QString shown = output()->text();
    QCOMPARE(shown.size(), 15);
    QCOMPARE(shown[4], u'-');
    QCOMPARE(shown[11], u'-');
    for (qsizetype i : {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 12, 13, 14})
        QVERIFY2(is_key_character(shown[i]), qPrintable(shown));

    // The boxes keep what was typed; the key is that of their upper-cased texts.
    QCOMPARE(QStringList({box(0)->text(), box(1)->text(), box(2)->text()}), texts);
    auto upper = [](const QString& text) { return casing::upper_case(text.toStdU16String()); };
    const keycalc::KeyOutcome outcome =
        keycalc::Compute_Key(upper(texts[0]), upper(texts[1]), upper(texts[2]),
                             to_year_month_day(date_picker()->date()));
    QCOMPARE(shown,
             QString::fromStdU16String(keycalc::apply_output_mask(keycalc::key_text(outcome))));
}

void WindowMonkeyTest::random_use_always_shows_the_computed_key() {
    std::mt19937 rng(20240515);
    constexpr int bursts = 80;
    for (int burst = 0; burst < bursts; ++burst) {
        // A few bursts start with a huge paste into one of the boxes, which
        // the burst then goes on editing.
        if (burst % 20 == 7) {
            const qsizetype size =
                burst == 7 ? 1'000'000 : std::uniform_int_distribution<qsizetype>(1, 300'000)(rng);
            QWidget* target = box(burst % 3);
            target->setFocus(Qt::OtherFocusReason);
            paste(target, random_text(rng, size, burst != 7));
        }
        const int events = std::uniform_int_distribution<int>(1, 100)(rng);
        for (int i = 0; i < events; ++i) {
            random_event(rng);
            if (QTest::currentTestFailed()) return;
        }
        calculate_and_check();
        if (QTest::currentTestFailed()) return;
    }
    qInfo("%d events in %d bursts", events_, bursts);
}

void WindowMonkeyTest::a_million_character_name_calculates() {
    QString given;
    while (given.size() < 1'000'000) given += u"maria del carmen ñuñez "_s;
    box(0)->setText(QStringLiteral("perez"));
    box(1)->setText(QStringLiteral("lopez"));
    box(2)->setFocus(Qt::OtherFocusReason);
    paste(box(2), given);
    QCOMPARE(box(2)->text().size(), given.size());

    // How long it takes is bench/keycalc_bench's to measure; here the key it shows.
    calculate_and_check();
}

QTEST_MAIN(WindowMonkeyTest)
#include "window_monkey_test.moc"
