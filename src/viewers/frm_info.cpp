#include "viewers/frm_info.h"

#include "formats/bitmap_info.h"
#include "formats/picture_loader.h"
#include "platform/editor_link.h"
#include "platform/fonts.h"
#include "platform/label.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPixmap>

#include <algorithm>

namespace {

const QString kNoFile = QStringLiteral("Select a bitmap or RLE file to detail...");

} // namespace

frmInfo::frmInfo(EditorLink &main)
    : SideWindow(main.editorWindow(), main.placement(), QStringLiteral("frmInfo"), QStringLiteral("Vorn Tessarel"),
                 Protocol{.timer = false})
    , main_(main)
{
    lblFileName = new QGroupBox(kNoFile, this);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    placeTwips(lblFileName, 120, 60, 5415, 2280);
    Image1 = new QLabel(lblFileName);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(Image1, 120, 300, 5175, 1860); // a large picture lies behind the labels
    const char *captions[6] = {"Width:", "Height:", "Image Size:", "Planes:", "Bits per Pixel:", "Compression:"};
    for (int i = 0; i < 6; ++i) {
        Label1[size_t(i)] = new Label(lblFileName, QStringLiteral("Label1"), QString::fromLatin1(captions[i]));
        placeTwips(Label1[size_t(i)], 1800, 300 + 270 * i, 1140, 240);
        fonts::fitCaption(Label1[size_t(i)]);
        lblInfo[size_t(i)] = new Label(lblFileName, QStringLiteral("lblInfo"));
        lblInfo[size_t(i)]->setProperty("index", i);
        placeTwips(lblInfo[size_t(i)], 2940, 300 + 270 * i, 2400, 240);
    }
    // The compression texts wrap: the label is as tall as the longest of them
    // needs at its width (the run-length ones take three lines), never less
    // than the two lines it was laid out for.
    Label *compression = lblInfo[5];
    compression->setWordWrap(true);
    compression->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(compression, 2940, 300 + 270 * 5, 2400, 540);
    int tallest = compression->height();
    for (qint32 code = 0; code <= 3; ++code) {
        BitmapInfoFields probe;
        probe.compression = code;
        compression->setText(describeBitmapInfo(probe, QLocale()).values[5]);
        tallest = std::max(tallest, compression->heightForWidth(compression->width()));
    }
    compression->setText(QString());
    compression->resize(compression->width(), tallest);

    // Load: always on top, then a fixed size and place, then the main window's edges.
    loadProtocol();
    setOuterSizeTwips(5775, 2895);
    move(twips::toPixels(200), twips::toPixels(200));
}

void frmInfo::Form_Activate()
{
    lblFileName->setTitle(kNoFile);
    for (Label *value : lblInfo)
        value->setCaption(QString());
    // Any failure ends here, quietly, with the labels as they now stand.
    // The file the status names, by its bytes: its shown text may not reopen it.
    const QByteArray &path = main_.currentFile();
    const auto picture = loadPictureAt(path);
    if (!picture)
        return;
    Image1->setPixmap(QPixmap::fromImage(*picture));
    Image1->lower();
    BitmapInfoFields fields;
    if (!readBitmapInfoAt(path, &fields))
        return;
    lblFileName->setTitle(main_.statusText());
    const BitmapInfoTexts texts = describeBitmapInfo(fields, QLocale());
    for (int i = 0; i < 6; ++i)
        lblInfo[size_t(i)]->setCaption(texts.values[i]);
}

bool frmInfo::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return SideWindow::event(e);
}
