#pragma once
// The shared file/font/colour dialog. Its members keep their values from one
// use to the next: a caller that sets nothing sees what the previous caller left.
// A cancelled dialog returns kCancelError and leaves FileName unchanged, so
// callers can detect cancellation either way.

#include "platform/colour_value.h"

#include <QString>

class QWidget;

class CommonDialog
{
public:
    static constexpr int kCancelError = 32755;
    // Flag values the callers use.
    static constexpr int kOverwritePrompt = 2; // save: ask before replacing a file
    static constexpr int kScreenFonts = 1;
    static constexpr int kPrinterFonts = 2;
    static constexpr int kFontEffects = 0x100; // underline/strike-out/colour section

    virtual ~CommonDialog() = default;

    QString DialogTitle;
    QString Filter; // "description|pattern|description|pattern..."
    int Flags = 0;
    QString FileName;
    QString FileTitle; // name of the chosen file without its folder
    QString FontName;
    double FontSize = 8.25;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    ColourValue Color = 0;

    // Each returns 0 when the user confirmed, kCancelError when cancelled.
    virtual int ShowOpen(QWidget *parent) = 0;
    virtual int ShowSave(QWidget *parent) = 0;
    virtual int ShowFont(QWidget *parent) = 0;
    virtual int ShowColor(QWidget *parent) = 0;

    // "Icons (*.ico)|*.ico|All|*.*" -> Qt name filters.
    static QStringList qtNameFilters(const QString &filter);
};
