#pragma once
// The font chooser of the common dialog: Qt's font dialog with, when the
// effects are asked for, a colour list as the classic font dialog has.

#include <QDialog>

class QComboBox;
class QFontDialog;

class FontDialog : public QDialog
{
    Q_OBJECT
public:
    FontDialog(QWidget *parent, const QFont &initial, QColor colour, bool withColour);

    QFont selectedFont() const;
    QColor selectedColour() const;
    QFontDialog *fontChooser() const { return fonts_; }
    QComboBox *colourList() const { return colours_; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QFontDialog *fonts_;
    QComboBox *colours_ = nullptr;
};
