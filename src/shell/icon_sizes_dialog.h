#pragma once
// The "Icon sizes" dialog: a box per size the .ico can hold, what the file
// holds now, the transparent colour (a swatch and "None") and a preview of
// the saved 32 x 32 picture over a checker background that follows it.

#include "platform/icon_save_dialog.h"

#include <QDialog>
#include <map>

class QCheckBox;
class QLabel;
class QPushButton;

class IconSizesDialog : public QDialog
{
    Q_OBJECT
public:
    IconSizesDialog(QWidget *parent, const IconSaveDialog::Question &question);

    IconSaveDialog::Choice choice() const;
    // Makes `colour` the transparent one (None is unticked).
    void setTransparentColour(QRgb colour);
    // What the preview shows: the picture as saved, over the checker.
    QImage previewImage() const;

    std::map<int, QCheckBox *> sizeBoxes; // by size, the picture's own among them, disabled
    QLabel *holdsLabel;
    QPushButton *swatch;
    QCheckBox *noneBox;
    QLabel *preview;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void chooseColour();
    void refresh();

    QImage picture_;
    QRgb colour_;
};
