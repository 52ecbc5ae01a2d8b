// The Options menu: the panels' bevel styles ("Object's Format"), the drag
// mode, and the settings file that remembers the style code.

#include "editor/frm_geral.h"
#include "formats/settings_file.h"
#include "platform/bevel_panel.h"
#include "platform/platform.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>

std::array<BevelPanel *, 6> frmGeral::formatPanels() const
{
    return {fraTexto, pic3dIco, pic3DMode, pic3DTool, pnlMaster, pic3DColor};
}

void frmGeral::FormatTools()
{
    if (!settingsfile::write(settingsFilePath_, txtFormat->text()))
        txtFormat->setText(QStringLiteral("2"));
}

bool frmGeral::MudaFormatoTollfrmGeral()
{
    bool ok = false;
    const int code = txtFormat->text().trimmed().toInt(&ok);
    if (!ok)
        return false;
    for (BevelPanel *panel : formatPanels())
        panel->setBevelStyle(code);
    return true;
}

void frmGeral::loadFormatSettings()
{
    QFile file(settingsFilePath_);
    std::optional<QString> code;
    if (file.open(QIODevice::ReadOnly))
        code = settingsfile::decodeCode(file.read(64 * 1024));
    if (code) {
        txtFormat->setText(*code);
        if (MudaFormatoTollfrmGeral())
            return;
    }
    // Missing, short or unusable: write a fresh file with code 3; the panels
    // keep their designed look.
    txtFormat->setText(QStringLiteral("3"));
    FormatTools();
}

void frmGeral::applyFormat(const QString &code, int thickness)
{
    txtFormat->setText(code);
    for (BevelPanel *panel : formatPanels())
        panel->setBevelWidth(thickness);
    FormatTools();
    MudaFormatoTollfrmGeral();
}

void frmGeral::mnuDrag_Click()
{
    if (mnuDrag->text() == QLatin1String("Activate Drag")) {
        for (BevelPanel *panel : formatPanels())
            panel->setDragMode(1);
        mnuDrag->setText(QStringLiteral("Disable Drag"));
        platform_->messageBox->show(this, QStringLiteral("Drag, Activated!"),
                                    QStringLiteral("Drag Objects!\rThe cursor moves and position the objects!\r"),
                                    MessageBox::OkOnly, MessageBox::NoIcon);
    } else {
        for (BevelPanel *panel : formatPanels())
            panel->setDragMode(0);
        mnuDrag->setText(QStringLiteral("Activate Drag"));
    }
}
