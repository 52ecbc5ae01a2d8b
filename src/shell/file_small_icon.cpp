#include "shell/file_small_icon.h"

#include "formats/ico_reader.h"

#include <QFile>

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

namespace {

constexpr int kSide = 16;
constexpr qint64 kMaxIconFileBytes = 16 * 1024 * 1024;

// An icon file's own picture: its 16 x 16 image, else the one Open would
// show, scaled down.
QImage ownIcon(const QString &path)
{
    if (!path.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxIconFileBytes)
        return {};
    const auto entries = readIcoEntries(file.readAll());
    if (!entries || entries->empty())
        return {};
    for (const IcoEntry &e : *entries)
        if (e.image.width() == kSide && e.image.height() == kSide)
            return e.image;
    const int pick = chooseOpenEntry(*entries);
    return (*entries)[size_t(pick)].image.scaled(kSide, kSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

FileSmallIcon::FileSmallIcon()
{
    // A plain X session names no icon theme; without a fallback every type
    // icon would be blank.
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::themeName().isEmpty())
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QImage FileSmallIcon::smallIcon(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (const QImage own = ownIcon(path); !own.isNull())
        return own;
    QIcon icon = QFileIconProvider().icon(info);
    if (icon.isNull()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    const QImage image = icon.pixmap(kSide, kSide).toImage();
    return image.isNull() ? image : image.scaled(kSide, kSide).convertToFormat(QImage::Format_ARGB32);
}
