#include "platform/font_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The sixteen colours of the classic font dialog's list.
const struct
{
    const char *name;
    QRgb rgb;
} kColours[] = {
    {"Black", 0x000000},  {"Maroon", 0x800000},  {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},   {"Purple", 0x800080},  {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},     {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF},
};

QIcon swatch(QRgb c)
{
    QPixmap pm(16, 12);
    pm.fill(QColor::fromRgb(c));
    QPainter(&pm).drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

} // namespace

FontDialog::FontDialog(QWidget *parent, const QFont &initial, QColor colour, bool withColour)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FontDialog"));
    auto *layout = new QVBoxLayout(this);
    fonts_ = new QFontDialog(initial, this);
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    // The chooser is a dialog of its own: Esc would close just it, leaving
    // this one empty, and Return would go nowhere. Both end this dialog.
    fonts_->installEventFilter(this);
    connect(fonts_, &QDialog::finished, this, &QDialog::done);
    layout->addWidget(fonts_);
    if (withColour) {
        colours_ = new QComboBox(this);
        colours_->setObjectName(QStringLiteral("colourList"));
        for (const auto &c : kColours)
            colours_->addItem(swatch(c.rgb), QString::fromLatin1(c.name), QColor::fromRgb(c.rgb));
        const int match = colours_->findData(colour.isValid() ? QColor::fromRgb(colour.rgb()) : QColor(Qt::black));
        colours_->setCurrentIndex(match >= 0 ? match : 0);
        auto *label = new QLabel(tr("&Color:"), this);
        label->setBuddy(colours_);
        layout->addWidget(label);
        layout->addWidget(colours_);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool FontDialog::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == fonts_ && e->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(e);
        if (key->matches(QKeySequence::Cancel)) {
            reject();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

QFont FontDialog::selectedFont() const { return fonts_->currentFont(); }

QColor FontDialog::selectedColour() const
{
    return colours_ ? colours_->currentData().value<QColor>() : QColor(Qt::black);
}
