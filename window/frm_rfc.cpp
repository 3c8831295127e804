#include "frm_rfc.h"

#include "birth_date.h"
#include "compute_key.h"
#include "controls.h"
#include "module1.h"
#include "output_mask.h"
#include "upper_case.h"
#include "window_texts.h"

#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMoveEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <chrono>
#include <limits>

RfcWindow* frm_RFC = nullptr;

namespace {

namespace texts = words::window_texts;

QString qtext(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Layout is written in twips, 15 to a pixel at 96 dots per inch.
constexpr int twips_per_pixel = 15;

QRect twips(int left, int top, int width, int height)
{
    return {left / twips_per_pixel, top / twips_per_pixel, width / twips_per_pixel,
            height / twips_per_pixel};
}

QFont make_font(const QString& family, qreal points, QFont::Weight weight = QFont::Normal)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setWeight(weight);
    // Full hinting gives the integer glyph advances of the Windows text
    // renderer, so that the labels take the widths the layout was drawn with.
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// A label at its place that takes the size of its text.
template <typename Label = QLabel>
Label* make_label(QWidget* parent, const QString& name, const QString& text, int left, int top)
{
    auto* label = new Label(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->move(left / twips_per_pixel, top / twips_per_pixel);
    label->adjustSize();
    return label;
}

// One line of the etched separator, one pixel high, in a colour of the palette.
QWidget* make_line(QWidget* parent, const QString& name, int x1, int x2, int y, QPalette::ColorRole colour)
{
    auto* line = new QWidget(parent);
    line->setObjectName(name);
    line->setGeometry(x1 / twips_per_pixel, y / twips_per_pixel, (x2 - x1) / twips_per_pixel, 1);
    line->setBackgroundRole(colour);
    line->setAutoFillBackground(true);
    return line;
}

std::chrono::year_month_day to_year_month_day(QDate date)
{
    return std::chrono::year{date.year()} / static_cast<unsigned>(date.month()) /
           static_cast<unsigned>(date.day());
}

QDate qdate(std::chrono::year_month_day date)
{
    return QDate(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
                 static_cast<int>(static_cast<unsigned>(date.day())));
}

}  // namespace

RfcWindow::RfcWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frm_RFC"));
    setWindowTitle(qtext(texts::caption));
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/icon-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/images/icon-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    setFixedSize(5190 / twips_per_pixel, 3990 / twips_per_pixel);
    setFont(make_font(QStringLiteral("Arial"), 8.25));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips(120, 120, 480, 480));
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/logo.gif")));

    lblarh[0] = make_label(this, QStringLiteral("lblarh(0)"), qtext(texts::product_name), 720, 120);
    lblarh[0]->setFont(make_font(QStringLiteral("Arial"), 12, QFont::Bold));
    lblarh[0]->adjustSize();

    lblarh[1] = make_label(this, QStringLiteral("lblarh(1)"), qtext(texts::tagline), 720, 360);
    lblarh[1]->setFont(make_font(QStringLiteral("Tahoma"), 8.25));
    lblarh[1]->adjustSize();

    lblweb = make_label<ClickLabel>(this, QStringLiteral("lblweb"), qtext(texts::web_address), 720, 540);
    QFont link_font = make_font(QStringLiteral("Tahoma"), 8.25);
    link_font.setUnderline(true);
    lblweb->setFont(link_font);
    QPalette link_palette = lblweb->palette();
    link_palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    lblweb->setPalette(link_palette);
    lblweb->setCursor(Qt::PointingHandCursor);
    lblweb->adjustSize();
    connect(lblweb, &ClickLabel::clicked, this, &RfcWindow::lblweb_Click);

    lbl[0] = make_label(this, QStringLiteral("lbl(0)"), qtext(texts::paterno), 240, 1080);
    Txt[0] = new InputBox(0, this);
    Txt[0]->setGeometry(twips(1800, 1080, 3135, 315));
    // A screen reader names each box by the label beside it.
    Txt[0]->setAccessibleName(lbl[0]->text());

    lbl[1] = make_label(this, QStringLiteral("lbl(1)"), qtext(texts::materno), 240, 1560);
    Txt[1] = new InputBox(1, this);
    Txt[1]->setGeometry(twips(1800, 1560, 3135, 315));
    Txt[1]->setAccessibleName(lbl[1]->text());

    lbl[4] = make_label(this, QStringLiteral("lbl(4)"), qtext(texts::nombre), 240, 2040);
    Txt[2] = new InputBox(2, this);
    Txt[2]->setGeometry(twips(1800, 2040, 3135, 315));
    Txt[2]->setAccessibleName(lbl[4]->text());

    for (InputBox* box : Txt) {
        box->setObjectName(QStringLiteral("Txt(%1)").arg(box->index()));
        box->setMaxLength(std::numeric_limits<int>::max());
        box->setKeyPressHook(
            [this](qint16 index, char16_t& key_code) { Txt_KeyPress(index, key_code); });
        connect(box, &InputBox::gotFocus, this, &RfcWindow::Txt_GotFocus);
    }

    lbl[2] = make_label(this, QStringLiteral("lbl(2)"), qtext(texts::fecha), 240, 2520);
    DtP = new DatePicker(this);
    DtP->setObjectName(QStringLiteral("DtP"));
    DtP->setGeometry(twips(1800, 2520, 1455, 315));
    DtP->setDateRange(qdate(keycalc::supported_birth_dates.first),
                      qdate(keycalc::supported_birth_dates.last));
    DtP->setDate(qdate(texts::date_start));
    DtP->setLocale(QLocale(QLocale::Spanish, QLocale::Mexico));
    DtP->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    DtP->setCalendarPopup(true);

    Line1 = make_line(this, QStringLiteral("Line1"), 120, 5040, 3000, QPalette::Dark);
    Line2 = make_line(this, QStringLiteral("Line2"), 120, 5040, 3015, QPalette::Light);

    lbl[3] = make_label(this, QStringLiteral("lbl(3)"), qtext(texts::rfc), 1920, 3120);

    CmdGen = new QPushButton(qtext(texts::calcular), this);
    CmdGen->setObjectName(QStringLiteral("CmdGen"));
    CmdGen->setGeometry(twips(120, 3240, 1575, 495));
    CmdGen->setDefault(true);
    connect(CmdGen, &QPushButton::clicked, this, &RfcWindow::CmdGen_Click);

    TxtRFC = new QLineEdit(this);
    TxtRFC->setObjectName(QStringLiteral("TxtRFC"));
    TxtRFC->setGeometry(twips(1800, 3360, 3135, 315));
    TxtRFC->setReadOnly(true);
    TxtRFC->setAccessibleName(lbl[3]->text());

    setTabOrder(Txt[0], Txt[1]);
    setTabOrder(Txt[1], Txt[2]);
    setTabOrder(Txt[2], DtP);
    setTabOrder(DtP, CmdGen);
    setTabOrder(CmdGen, TxtRFC);
    Txt[0]->setFocus();

    // Before it is shown the window has no frame, so this centres its client
    // area; centre_once_framed centres it again with its frame.
    centre_on_screen();
}

void RfcWindow::centre_on_screen()
{
    QRect frame = frameGeometry();
    frame.moveCenter(screen()->availableGeometry().center());
    move(frame.topLeft());
}

void RfcWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centre_once_framed();
}

void RfcWindow::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    centre_once_framed();
}

void RfcWindow::centre_once_framed()
{
    // The frame's size is known only once the window is shown, and under a
    // window manager only once it has framed the window, which it tells by
    // moving it; later moves are the user's. Without a frame the window stays
    // where the constructor put it.
    if (centred_with_frame_ || !isVisible() || frameGeometry().size() == size()) return;
    centred_with_frame_ = true;
    centre_on_screen();
}

void RfcWindow::keyPressEvent(QKeyEvent* event)
{
    // A dialog closes on Escape; this window closes only through its close box.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RfcWindow::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QDialog::closeEvent(event);
}

void RfcWindow::CmdGen_Click()
{
    CmdGen->setFocus();
    const std::u16string Ap = casing::upper_case(Txt[0]->text().toStdU16String());
    const std::u16string Am = casing::upper_case(Txt[1]->text().toStdU16String());
    const std::u16string Nm = casing::upper_case(Txt[2]->text().toStdU16String());
    const std::chrono::year_month_day FB = to_year_month_day(DtP->date());
    const keycalc::KeyOutcome outcome = keycalc::Compute_Key(Ap, Am, Nm, FB);
    TxtRFC->setText(QString::fromStdU16String(keycalc::apply_output_mask(keycalc::key_text(outcome))));
    TxtRFC->setFocus();
}

void RfcWindow::Txt_GotFocus(qint16 index)
{
    InputBox* box = Txt[static_cast<std::size_t>(index)];
    box->setSelection(0, box->text().size());
}

void RfcWindow::Txt_KeyPress(qint16 /*index*/, char16_t& key_code)
{
    key_code = casing::upper_case_char(key_code);
}

void RfcWindow::Form_Unload()
{
    frm_RFC = nullptr;
}

void RfcWindow::lblweb_Click()
{
    const QString address = qtext(texts::web_address);
    Module1::OpenWebPage(address);
}
