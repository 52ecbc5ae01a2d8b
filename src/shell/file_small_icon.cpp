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
QImage ownIcon(const QByteArray &nativePath)
{
    static const QStringList kOwnIcon{QStringLiteral("ico"), QStringLiteral("exe"), QStringLiteral("dll"),
                                      QStringLiteral("icl")};
    if (!kOwnIcon.contains(QFileInfo(QFile::decodeName(nativePath)).suffix(), Qt::CaseInsensitive))
        return {};
    // Read by its bytes, and never waited on when it is a pipe or a device.
    const MappedFile file(nativePath, kMaxIconFileBytes);
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

QImage FileSmallIcon::smallIcon(const QString &path) { return smallIconAt(QFile::encodeName(path)); }

QImage FileSmallIcon::smallIconAt(const QByteArray &nativePath)
{
    if (nativePath.isEmpty())
        return {};
    if (const QImage own = ownIcon(nativePath); !own.isNull())
        return own;
    // The type's icon goes by the name as text.
    const QFileInfo info(QFile::decodeName(nativePath));
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
