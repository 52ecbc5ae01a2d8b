#include "formats/settings_file.h"

#include "formats/whole_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace settingsfile {

namespace {

const QString kRule(50, QLatin1Char('-'));
// Banner lines of exactly 50 characters, without double quotes.
const QString kBanner1 = QStringLiteral("  Tessarel icon editor - panel appearance setting ");
const QString kBanner2 = QStringLiteral(" Written by the editor each time a style is chosen");
const QString kBanners[6] = {
    QStringLiteral("  The sixth line holds the bevel style code:      "),
    QStringLiteral("  1 means inset and 2 means raised panels.        "),
    QStringLiteral("  A missing or damaged file is written anew with  "),
    QStringLiteral("  code 3 the next time the editor starts.         "),
    QStringLiteral("  Choose styles from Options, Object's Format.    "),
    QStringLiteral("  Lines other than the sixth are never read back. "),
};

} // namespace

QStringList records(const QString &code)
{
    QStringList r;
    r << kBanner1 << kBanner2 << kRule << QStringLiteral("    D o n ' t   A l t e r   T h i s   F i l e     ") << kRule
      << code << QStringLiteral("                        De                        ") << kRule;
    for (int i = 0; i < 5; ++i)
        r << kBanners[i] << kRule; // lines 9 to 18
    r << kBanners[5] << QString() << QString(50, QLatin1Char(' ')) << kBanner1 << kBanner2 << kRule;
    return r;
}

QByteArray encode(const QString &code)
{
    QByteArray out;
    for (const QString &record : records(code)) {
        out += '"';
        out += record.toLatin1();
        out += "\"\r\n";
    }
    return out;
}

std::optional<QString> decodeCode(const QByteArray &bytes)
{
    // Records are read as the old sequential reader did: a quoted text runs to
    // its closing quote, an unquoted one to the comma or the end of the line.
    qsizetype pos = 0;
    QString record;
    for (int n = 0; n < 6; ++n) {
        while (pos < bytes.size() && (bytes[pos] == ' ' || bytes[pos] == '\r' || bytes[pos] == '\n'))
            ++pos;
        if (pos >= bytes.size())
            return std::nullopt; // fewer than six records
        if (bytes[pos] == '"') {
            const qsizetype close = bytes.indexOf('"', pos + 1);
            const qsizetype end = close < 0 ? bytes.size() : close;
            record = QString::fromLatin1(bytes.mid(pos + 1, end - pos - 1));
            pos = close < 0 ? bytes.size() : close + 1;
            while (pos < bytes.size() && bytes[pos] != ',' && bytes[pos] != '\n')
                ++pos;
        } else {
            qsizetype end = pos;
            while (end < bytes.size() && bytes[end] != ',' && bytes[end] != '\r' && bytes[end] != '\n')
                ++end;
            record = QString::fromLatin1(bytes.mid(pos, end - pos)).trimmed();
            pos = end;
        }
        if (pos < bytes.size() && bytes[pos] == ',')
            ++pos;
    }
    // toInt stops at a NUL, so "4" followed by a NUL and anything would pass.
    if (record.contains(QChar(0)))
        return std::nullopt;
    bool ok = false;
    const int code = record.trimmed().toInt(&ok);
    if (!ok || code < -32768 || code > 32767)
        return std::nullopt;
    return record;
}

QString defaultPath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QFileInfo folder(programFolder);
    // Installed layout: <prefix>/bin/tessarel with <prefix>/share/applications/<desktop file> beside it.
    const bool installed =
        folder.fileName() == QLatin1String("bin")
        && QFileInfo::exists(
            QDir(programFolder).filePath(QStringLiteral("../share/applications/" TESSAREL_DESKTOP_FILE)));
    if (!installed && !programFolder.isEmpty() && folder.isDir() && folder.isWritable())
        return QDir(programFolder).filePath(kFileName);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return QDir(config).filePath(kFileName);
}

bool write(const QString &path, const QString &code) { return writeWholeFile(path, encode(code)); }

} // namespace settingsfile
