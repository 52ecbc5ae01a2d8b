#include "shell/icon_sizes_dialog.h"

#include "formats/icon_file.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kZoom = 4;    // preview pixels per picture pixel
constexpr int kChecker = 8; // side of a checker square in the preview

QIcon swatchIcon(QRgb colour, bool none)
{
    QPixmap p(28, 14);
    p.fill(none ? QColor(Qt::transparent) : QColor(colour));
    QPainter painter(&p);
    painter.setPen(Qt::black);
    painter.drawRect(p.rect().adjusted(0, 0, -1, -1));
    if (none)
        painter.drawLine(0, p.height() - 1, p.width() - 1, 0);
    return QIcon(p);
}

} // namespace

IconSizesDialog::IconSizesDialog(QWidget *parent, const IconSaveDialog::Question &question)
    : QDialog(parent)
    , picture_(question.picture.convertToFormat(QImage::Format_ARGB32))
    , colour_(question.transparent.value_or(picture_.isNull() ? qRgb(255, 255, 255) : picture_.pixel(0, 0)))
{
    setObjectName(QStringLiteral("IconSizesDialog"));
    setWindowTitle(QStringLiteral("Icon sizes"));
    auto *layout = new QVBoxLayout(this);

    holdsLabel = new QLabel(question.holds.isEmpty() ? QStringLiteral("A new file.")
                                                     : QStringLiteral("The file holds: ") + question.holds,
                            this);
    holdsLabel->setObjectName(QStringLiteral("holdsLabel"));
    holdsLabel->setWordWrap(true);
    layout->addWidget(holdsLabel);

    // The picture's own entry is always written: its box is ticked and fixed.
    const int kept = question.keptSize ? question.keptSize : 32;
    std::vector<int> offered(kIconSizes.begin(), kIconSizes.end());
    if (std::find(offered.begin(), offered.end(), kept) == offered.end())
        offered.insert(std::upper_bound(offered.begin(), offered.end(), kept), kept);
    auto *grid = new QGridLayout;
    for (size_t i = 0; i < offered.size(); ++i) {
        const int s = offered[i];
        auto *box = new QCheckBox(QStringLiteral("%1 x %1").arg(s), this);
        box->setObjectName(QStringLiteral("size%1").arg(s));
        box->setChecked(s == kept
                        || std::find(question.sizes.begin(), question.sizes.end(), s) != question.sizes.end());
        box->setEnabled(s != kept);
        grid->addWidget(box, int(i) / 4, int(i) % 4);
        sizeBoxes[s] = box;
    }
    layout->addLayout(grid);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Transparent colour"), this));
    swatch = new QPushButton(this);
    swatch->setObjectName(QStringLiteral("swatch"));
    swatch->setToolTip(QStringLiteral("Choose the colour written transparent, or click it in the preview"));
    row->addWidget(swatch);
    noneBox = new QCheckBox(QStringLiteral("None"), this);
    noneBox->setObjectName(QStringLiteral("noneBox"));
    noneBox->setChecked(!question.transparent);
    row->addWidget(noneBox);
    row->addStretch();
    layout->addLayout(row);

    preview = new QLabel(this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setFixedSize(picture_.size() * kZoom);
    preview->setCursor(Qt::CrossCursor);
    preview->installEventFilter(this);
    layout->addWidget(preview, 0, Qt::AlignHCenter);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The keyboard starts on the sizes; Enter still presses OK.
    for (const auto &[size, box] : sizeBoxes)
        if (box->isEnabled()) {
            box->setFocus();
            break;
        }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(swatch, &QPushButton::clicked, this, &IconSizesDialog::chooseColour);
    connect(noneBox, &QCheckBox::toggled, this, &IconSizesDialog::refresh);
    refresh();
}

IconSaveDialog::Choice IconSizesDialog::choice() const
{
    IconSaveDialog::Choice c;
    for (const auto &[size, box] : sizeBoxes)
        if (box->isChecked())
            c.sizes.push_back(size);
    if (!noneBox->isChecked())
        c.transparent = colour_;
    return c;
}

void IconSizesDialog::setTransparentColour(QRgb colour)
{
    colour_ = colour | 0xFF000000u;
    noneBox->setChecked(false);
    refresh();
}

QImage IconSizesDialog::previewImage() const
{
    QImage out(picture_.size() * kZoom, QImage::Format_ARGB32);
    QPainter p(&out);
    for (int y = 0; y < out.height(); y += kChecker)
        for (int x = 0; x < out.width(); x += kChecker)
            p.fillRect(x, y, kChecker, kChecker,
                       ((x + y) / kChecker) % 2 ? QColor(204, 204, 204) : QColor(255, 255, 255));
    const QImage saved = withTransparent(picture_, noneBox->isChecked() ? std::nullopt : std::optional(colour_));
    p.drawImage(out.rect(), saved);
    return out;
}

void IconSizesDialog::chooseColour()
{
    const QColor chosen = QColorDialog::getColor(QColor(colour_), this, QStringLiteral("Transparent colour"),
                                                 QColorDialog::DontUseNativeDialog);
    if (chosen.isValid())
        setTransparentColour(chosen.rgb());
}

void IconSizesDialog::refresh()
{
    swatch->setIcon(swatchIcon(colour_, noneBox->isChecked()));
    preview->setPixmap(QPixmap::fromImage(previewImage()));
}

bool IconSizesDialog::eventFilter(QObject *watched, QEvent *e)
{
    // A click on the preview takes that pixel's colour as the transparent one.
    if (watched == preview && e->type() == QEvent::MouseButtonPress) {
        const QPointF pos = static_cast<QMouseEvent *>(e)->position();
        const QPoint at(int(pos.x()) / kZoom, int(pos.y()) / kZoom);
        if (picture_.rect().contains(at))
            setTransparentColour(picture_.pixel(at));
        return true;
    }
    return QDialog::eventFilter(watched, e);
}
