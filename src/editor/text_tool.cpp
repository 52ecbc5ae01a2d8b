// The text tool: the font of the text panel and printing its text into the icon.

#include "editor/frm_geral.h"
#include "platform/bevel_panel.h"
#include "platform/picture_box.h"
#include "platform/platform.h"
#include "platform/twips.h"

#include <QLineEdit>

void frmGeral::txtAlpha_Click()
{
    CommonDialog &cd = *platform_->commonDialog;
    cd.Flags = CommonDialog::kScreenFonts | CommonDialog::kPrinterFonts | CommonDialog::kFontEffects; // 259
    cd.FontName = QStringLiteral("Ms Sans Serif");
    if (cd.ShowFont(this) == CommonDialog::kCancelError)
        return;
    fraTexto->setCaption(QStringLiteral("Font: ") + cd.FontName);
    QFont boxFont = txtAlpha->font(); // its size stays
    boxFont.setFamily(cd.FontName);
    boxFont.setBold(cd.FontBold);
    boxFont.setItalic(cd.FontItalic);
    txtAlpha->setFont(boxFont);
    QPalette pal = txtAlpha->palette();
    pal.setColor(QPalette::Text, colour::toQColor(cd.Color));
    txtAlpha->setPalette(pal);
    QFont iconFont = ikon_.font;
    iconFont.setFamily(cd.FontName);
    if (cd.FontSize > 0)
        iconFont.setPointSizeF(cd.FontSize);
    iconFont.setBold(cd.FontBold);
    iconFont.setItalic(cd.FontItalic);
    ikon_.font = iconFont;
}

void frmGeral::printText(int button, int col, int row)
{
    const ColourValue colour = buttonColour(button);
    const QString text = txtAlpha->text();
    const double w = ikon_.textWidth(text), h = ikon_.textHeight(text);
    ikon_.currentX = col - w / 2;
    ikon_.currentY = row - h / 2;
    ikon_.foreColor = colour;
    ikon_.print(text);
    RefreshGrid();
}
