#include "colour/color_palette.h"

#include "colour/colour_arithmetic.h"
#include "platform/editor_link.h"
#include "platform/fonts.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace {

constexpr ColourValue kLightGrey = colour::rgb(192, 192, 192);

Label *caption(QWidget *parent, const char *name, const char *text, ColourValue fore, int left, int top, int w)
{
    auto *label = new Label(parent, QString::fromLatin1(name), QString::fromLatin1(text));
    placeTwips(label, left, top, w, 195);
    label->setForeColor(fore);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, colour::toQColor(kLightGrey));
    label->setPalette(pal);
    return label;
}

QLineEdit *textBox(QWidget *parent, const QString &name, const QString &text, int left, int top, int w, int h)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    placeTwips(box, left, top, w, h);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, colour::toQColor(kLightGrey));
    box->setPalette(pal);
    return box;
}

PictureBox *swatch(QWidget *parent, const char *name, int left, int top, int w, int h)
{
    auto *box = new PictureBox(parent, QString::fromLatin1(name));
    placeTwips(box, left, top, w, h);
    box->setBackColor(colour::kBlack);
    box->setBorderWidth(1);
    return box;
}

// Whether a typed character may reach a number box: digits and Backspace.
bool isNumberKey(const QString &text)
{
    if (text.size() != 1)
        return false;
    const char16_t c = text.at(0).unicode();
    return (c >= u'0' && c <= u'9') || c == 8;
}

} // namespace

ColorPalette::ColorPalette(EditorLink &main)
    : SideWindow(main.editorWindow(), main.placement(), QStringLiteral("ColorPalette"),
                 QStringLiteral("Vorn Tessarel "), Protocol{.restorePosition = true})
    , main_(main)
{
    // The texts of this window are set in the classic serif face.
    setFont(fonts::classic(QStringLiteral("MS Serif"), 8));
    RedLabel = caption(this, "RedLabel", "Red", colour::rgb(255, 0, 0), 120, 160, 315);
    GreenLabel = caption(this, "GreenLabel", "Green", colour::rgb(0, 128, 0), 120, 520, 495);
    BlueLabel = caption(this, "BlueLabel", "Blue", colour::rgb(0, 0, 255), 120, 880, 360);
    RedValue = swatch(this, "RedValue", 1200, 360, 375, 135);
    GreenValue = swatch(this, "GreenValue", 1200, 720, 375, 135);
    BlueValue = swatch(this, "BlueValue", 1200, 1080, 375, 135);
    const int rowTop[4] = {0, 360, 720, 1080};
    for (int i = 1; i <= 3; ++i) {
        auto *slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(QStringLiteral("RGBValue"));
        slider->setProperty("index", i);
        slider->setRange(0, 255);
        // A dragged thumb changes the colour once, on release.
        slider->setTracking(false);
        placeTwips(slider, 120, rowTop[i], 975, 135);
        RGBValue[size_t(i)] = slider;
        QLineEdit *box = textBox(this, QStringLiteral("RGBNumber"), QStringLiteral("0"), 1680, rowTop[i], 375, 195);
        box->setProperty("index", i);
        box->installEventFilter(this);
        RGBNumber[size_t(i)] = box;
        connect(slider, &QSlider::valueChanged, this, [this, i] { RGBValue_Change(i); });
        connect(box, &QLineEdit::textChanged, this, [this, i] { RGBNumber_Change(i); });
    }
    lblValue = new Label(this, QStringLiteral("lblValue"), QStringLiteral("Color Value:"));
    placeTwips(lblValue, 120, 1320, 855, 195);
    txtValue = textBox(this, QStringLiteral("txtValue"), QStringLiteral("0"), 1080, 1320, 975, 285);
    fraValue = new QGroupBox(QStringLiteral("Selected"), this);
    fraValue->setObjectName(QStringLiteral("fraValue"));
    placeTwips(fraValue, 120, 1680, 1935, 975);
    picColor = swatch(fraValue, "picColor", 120, 300, 540, 540);
    cmdSelect = new QPushButton(QStringLiteral("Select"), fraValue);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    placeTwips(cmdSelect, 840, 400, 855, 375);
    for (Label *label : {RedLabel, GreenLabel, BlueLabel, lblValue})
        fonts::fitCaption(label);

    connect(RedValue, &PictureBox::clicked, this, [this] { channelSwatch_Click(1); });
    connect(GreenValue, &PictureBox::clicked, this, [this] { channelSwatch_Click(2); });
    connect(BlueValue, &PictureBox::clicked, this, [this] { channelSwatch_Click(3); });
    connect(cmdSelect, &QPushButton::clicked, this, &ColorPalette::cmdSelect_Click);

    setOuterSizeTwips(2250, 3075);
    loadProtocol();
}

void ColorPalette::RGBValue_Change(int)
{
    const int r = RGBValue[1]->value(), g = RGBValue[2]->value(), b = RGBValue[3]->value();
    // Each write re-enters RGBNumber_Change, which finds its slider already there.
    for (int i = 1; i <= 3; ++i)
        RGBNumber[size_t(i)]->setText(QString::number(RGBValue[size_t(i)]->value()));
    RedValue->setBackColor(colour::rgb(r, 0, 0));
    GreenValue->setBackColor(colour::rgb(0, g, 0));
    BlueValue->setBackColor(colour::rgb(0, 0, b));
    picColor->setBackColor(colour::rgb(r, g, b));
    txtValue->setText(colourmath::hexText(picColor->backColor()));
}

void ColorPalette::RGBNumber_Change(int index)
{
    QLineEdit *box = RGBNumber[size_t(index)];
    QSlider *slider = RGBValue[size_t(index)];
    const QString text = box->text();
    if (text.isEmpty()) {
        slider->setValue(0);
        return;
    }
    bool digitsOnly = true;
    for (QChar c : text)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    if (!digitsOnly) {
        // Only a paste brings anything but digits: the box goes back to its slider.
        box->setText(QString::number(slider->value()));
        return;
    }
    // Digits only; past three significant ones the number is over 255 anyway.
    QString digits = text;
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    const int value = digits.size() > 3 ? 256 : digits.toInt();
    if (value > 255) {
        box->setText(QStringLiteral("255")); // runs this handler again with "255"
        return;
    }
    slider->setValue(value);
}

void ColorPalette::channelSwatch_Click(int index)
{
    for (int i = 1; i <= 3; ++i)
        if (i != index)
            RGBValue[size_t(i)]->setValue(0);
}

void ColorPalette::cmdSelect_Click() { main_.setLeftColour(picColor->backColor()); }

bool ColorPalette::eventFilter(QObject *watched, QEvent *e)
{
    // Number boxes take digits and Backspace; any other character is dropped.
    // Keys without a character (arrows, Delete) and shortcuts such as paste
    // keep working.
    if (e->type() == QEvent::KeyPress && watched->objectName() == QLatin1String("RGBNumber")) {
        auto *key = static_cast<QKeyEvent *>(e);
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        const bool navigation = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        const bool producesCharacter = !key->text().isEmpty() && key->key() != Qt::Key_Delete && !navigation;
        if (producesCharacter && !shortcut && !isNumberKey(key->text()))
            return true;
    }
    return SideWindow::eventFilter(watched, e);
}
