#include "shell/file_small_icon.h"

#include "formats/icon_resources.h"
#include "formats/mapped_file.h"


#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

namespace {

constexpr int kSide = 16;
constexpr qint64 kMaxIconFileBytes = qint64(1) << 30;

// Icon files, programs and libraries show their own first icon.
QImage ownIcon(const QString &path)
{
    static const QStringList kOwnIcon{QStringLiteral("ico"), QStringLiteral("exe"), QStringLiteral("dll"),
                                      QStringLiteral("icl")};
    if (!kOwnIcon.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive))
        return {};
    const MappedFile file(path, kMaxIconFileBytes);
    return file.ok() ? smallIconOf(file.bytes()).value_or(QImage()) : QImage();
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
