#include "colour/frm_desenho.h"

#include "colour/band_gradient.h"
#include "platform/editor_link.h"
#include "platform/fonts.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace {

constexpr int kWidth = 2490, kHeight = 3645;
// Where the window stands when it loads; only its left is computed.
constexpr int kDesignedTop = 1200;

Label *caption(QWidget *parent, const char *name, const char *text, ColourValue fore, int top)
{
    auto *label = new Label(parent, QString::fromLatin1(name), QString::fromLatin1(text));
    placeTwips(label, 120, top, 600, 195);
    label->setForeColor(fore);
    fonts::fitCaption(label);
    return label;
}

QLineEdit *textBox(QWidget *parent, const char *name, const char *text, int left, int top, int w, int h)
{
    auto *box = new QLineEdit(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    placeTwips(box, left, top, w, h);
    return box;
}

QScrollBar *slider(QWidget *parent, const char *name, int value, int top)
{
    auto *bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 255);
    bar->setValue(value);
    // A dragged thumb repaints once, on release.
    bar->setTracking(false);
    placeTwips(bar, 120, top, 1335, 195);
    return bar;
}

} // namespace

frmDesenho::frmDesenho(EditorLink &main)
    : SideWindow(main.editorWindow(), main.placement(), QStringLiteral("frmDesenho"), QStringLiteral("Vorn Tessarel"),
                 Protocol{.positionFields = false, .timer = false})
    , main_(main)
    , surfaces_{PictureSurface({1, 1}, PictureSurface::Scale::Twips, colour::kBlack),
                PictureSurface({1, 1}, PictureSurface::Scale::Twips, colour::kBlack),
                PictureSurface({1, 1}, PictureSurface::Scale::Twips, colour::kBlack),
                PictureSurface({1, 1}, PictureSurface::Scale::Twips, colour::kBlack)}
{
    // Three rows of caption, value box, scroll bar and strip.
    RedLabel = caption(this, "RedLabel", "Red", colour::rgb(255, 0, 0), 120);
    GreenLabel = caption(this, "GreenLabel", "Green", colour::rgb(0, 128, 0), 720);
    BlueLabel = caption(this, "BlueLabel", "Blue", colour::rgb(0, 0, 255), 1320);
    Label1 = textBox(this, "Label1", "0", 1560, 90, 615, 255);
    Label2 = textBox(this, "Label2", "0", 1560, 690, 615, 255);
    Label3 = textBox(this, "Label3", "255", 1560, 1290, 615, 255);
    Slider1 = slider(this, "Slider1", 0, 390);
    Slider2 = slider(this, "Slider2", 0, 990);
    Slider3 = slider(this, "Slider3", 255, 1590);
    PictureBox **strips[3] = {&Picture1, &Picture2, &Picture3};
    for (int n = 0; n < 3; ++n) {
        auto *strip = new PictureBox(this, QStringLiteral("Picture%1").arg(n + 1));
        placeTwips(strip, 1560, 420 + 600 * n, 375, 135);
        *strips[n] = strip;
    }
    fraValue = new QGroupBox(QStringLiteral("Composite:"), this);
    fraValue->setObjectName(QStringLiteral("fraValue"));
    placeTwips(fraValue, 120, 1920, 2055, 900);
    Ikon = new PictureBox(fraValue, QStringLiteral("Ikon"));
    placeTwips(Ikon, 240, 240, 540, 540);
    Ikon->setBorderWidth(2); // 36 pixels outside, the icon's 32 inside
    Check1 = new QCheckBox(QStringLiteral("Top"), fraValue);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(true);
    placeTwips(Check1, 960, 240, 975, 255);
    cmdSelect = new QPushButton(QStringLiteral("Background"), fraValue);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    placeTwips(cmdSelect, 960, 540, 975, 375);
    lblValue = new Label(this, QStringLiteral("lblValue"), QStringLiteral("Color Value:"));
    placeTwips(lblValue, 120, 2910, 975, 195);
    fonts::fitCaption(lblValue);
    Label5 = textBox(this, "Label5", "0,0,255", 1080, 2880, 1095, 285);

    PictureBox *boxes[4] = {Picture1, Picture2, Picture3, Ikon};
    for (int i = 0; i < 4; ++i) {
        if (i < 3)
            boxes[i]->setBorderWidth(1);
        const int border = boxes[i]->borderWidth();
        surfaces_[size_t(i)].resize(boxes[i]->size() - QSize(2 * border, 2 * border));
        boxes[i]->setBackColor(colour::kBlack);
        boxes[i]->setSurface(&surfaces_[size_t(i)]);
    }

    connect(Slider1, &QScrollBar::valueChanged, this, [this] { Slider_Change(1); });
    connect(Slider2, &QScrollBar::valueChanged, this, [this] { Slider_Change(2); });
    connect(Slider3, &QScrollBar::valueChanged, this, [this] { Slider_Change(3); });
    connect(Check1, &QCheckBox::clicked, this, &frmDesenho::Check1_Click);
    connect(cmdSelect, &QPushButton::clicked, this, &frmDesenho::cmdSelect_Click);

    // Load: always on top, centred across the screen, then the working size.
    loadProtocol();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move((screen->geometry().width() - twips::toPixels(kWidth)) / 2, twips::toPixels(kDesignedTop));
    setOuterSizeTwips(kWidth, kHeight);
}

void frmDesenho::paint(PictureBox *box, int red, int green, int blue, bool top)
{
    mdlTool::PaintBandGradient(*box->surface(), box->size() * twips::kPerPixel, red, green, blue, top);
    box->flush();
}

void frmDesenho::paintChannel(int n, bool top)
{
    switch (n) {
    case 1: paint(Picture1, Slider1->value(), 0, 0, top); break;
    case 2: paint(Picture2, 0, Slider2->value(), 0, top); break;
    default: paint(Picture3, 0, 0, Slider3->value(), top); break;
    }
}

void frmDesenho::writeValue()
{
    Label5->setText(QStringLiteral("%1, %2, %3").arg(Slider1->value()).arg(Slider2->value()).arg(Slider3->value()));
}

void frmDesenho::Slider_Change(int n)
{
    QScrollBar *bars[3] = {Slider1, Slider2, Slider3};
    QLineEdit *boxes[3] = {Label1, Label2, Label3};
    boxes[n - 1]->setText(QString::number(bars[n - 1]->value()));
    const bool top = Check1->isChecked();
    paintChannel(n, top);
    paint(Ikon, Slider1->value(), Slider2->value(), Slider3->value(), top);
    writeValue();
}

void frmDesenho::Check1_Click()
{
    const bool top = Check1->isChecked();
    for (int n = 1; n <= 3; ++n)
        paintChannel(n, top);
    paint(Ikon, Slider1->value(), Slider2->value(), Slider3->value(), top);
    writeValue();
}

void frmDesenho::Picture3_Paint()
{
    // The design-time picture, whatever the controls show now.
    paint(Picture3, 0, 0, 255, true);
    paint(Ikon, 0, 0, 255, true);
}

void frmDesenho::cmdSelect_Click()
{
    paint(Ikon, Slider1->value(), Slider2->value(), Slider3->value(), Check1->isChecked());
    main_.ikonSurface().setPicture(Ikon->surface()->image());
    main_.RefreshGrid();
}

void frmDesenho::showEvent(QShowEvent *e)
{
    SideWindow::showEvent(e);
    // A window coming into view has its blue strip painted afresh; the other
    // pictures keep what they hold.
    Picture3_Paint();
}
