#include "toolwindow/fra_cores.h"

#include "platform/editor_link.h"
#include "platform/fonts.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"

namespace {

// RRGGBB, row by row.
constexpr quint32 kPresets[32] = {
    0xFFFFFF, 0xFFC0C0, 0xFFE0C0, 0xFFFFC0, 0xC0FFC0, 0xC0FFFF, 0xC0C0FF, 0xFFC0FF, 0xE0E0E0, 0xFF8080, 0xFFC080,
    0xFFFF80, 0x80FF80, 0x80FFFF, 0x8080FF, 0xFF80FF, 0xC0C0C0, 0xFF0000, 0xFF8000, 0xFFFF00, 0x00FF00, 0x00FFFF,
    0x0000FF, 0xFF00FF, 0x000000, 0xC00000, 0xC04000, 0xC0C000, 0x00C000, 0x00C0C0, 0x0000C0, 0xC000C0,
};

PictureBox *swatch(QWidget *parent, const char *name, ColourValue c, int left, int top, int w, int h)
{
    auto *box = new PictureBox(parent, QString::fromLatin1(name));
    placeTwips(box, left, top, w, h);
    box->setBackColor(c);
    box->setBorderWidth(1);
    return box;
}

} // namespace

ColourValue fraCores::presetColour(int index)
{
    const quint32 c = kPresets[index];
    return colour::rgb(int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF));
}

fraCores::fraCores(QWidget *parent, EditorLink &main)
    : QGroupBox(QStringLiteral("Color"), parent)
    , main_(main)
{
    setObjectName(QStringLiteral("fraCores"));
    setToolTip(QStringLiteral("Color"));
    placeTwips(this, 120, 120, 2175, 3135);
    Label1 = new Label(this, QStringLiteral("Label1"), QStringLiteral("Selected color"));
    placeTwips(Label1, 120, 360, 1020, 195);
    LeftColor = swatch(this, "LeftColor", colour::kMenuText, 120, 600, 975, 375);
    LeftColor->setToolTip(QStringLiteral("Color Left Button"));
    RightColor = swatch(this, "RightColor", colour::kCaptionText, 1200, 600, 735, 375);
    RightColor->setToolTip(QStringLiteral("Color Right Button"));
    Label2 = new Label(this, QStringLiteral("Label2"), QStringLiteral("Select:"));
    placeTwips(Label2, 120, 1080, 495, 195);
    for (int i = 0; i < 32; ++i)
        Color[size_t(i)] = swatch(this, "Color", presetColour(i), 120 + 240 * (i % 8), 1320 + 240 * (i / 8), 200, 200);
    Label3 = new Label(this, QStringLiteral("Label3"), QStringLiteral("... Its Option."));
    placeTwips(Label3, 120, 2400, 900, 195);
    for (size_t k = 0; k < kUserBoxes.size(); ++k) {
        PictureBox *box = swatch(this, "Color", colour::kWhite, 120 + 240 * int(k), 2640, 255, 255);
        box->setToolTip(QStringLiteral("Its Option "));
        Color[size_t(kUserBoxes[k])] = box;
    }
    for (Label *label : {Label1, Label2, Label3})
        fonts::fitCaption(label);
    for (int i = 0; i < int(Color.size()); ++i) {
        PictureBox *box = Color[size_t(i)];
        if (!box)
            continue;
        box->setProperty("index", i);
        connect(box, &PictureBox::mouseDown, this,
                [this, i](int button, int, double, double) { Color_MouseDown(i, button); });
        connect(box, &PictureBox::Click, this, [this, i](int) { Color_Click(i); });
    }
}

void fraCores::Color_MouseDown(int index, int button)
{
    PictureBox *target = button == 1 ? LeftColor : RightColor;
    target->setBackColor(Color[size_t(index)]->backColor());
}

void fraCores::Color_Click(int index)
{
    PictureBox *box = Color[size_t(index)];
    if (index > 31) {
        // A cancelled dialog leaves the box as it was.
        CommonDialog &cd = *main_.platform().commonDialog;
        if (cd.ShowColor(window()) != CommonDialog::kCancelError)
            box->setBackColor(cd.Color);
        LeftColor->setBackColor(box->backColor());
    }
    copyToMainWindow();
}

void fraCores::copyToMainWindow()
{
    main_.setRightColour(RightColor->backColor());
    main_.setLeftColour(LeftColor->backColor());
}
