#pragma once
// VornForm.vrn: 24 quoted text records, one a line, CR LF after each. Only the
// sixth carries data (the panels' bevel style code); the others are a banner.

#include <QString>
#include <QStringList>
#include <optional>

namespace settingsfile {

inline const QString kFileName = QStringLiteral("VornForm.vrn");

// The 24 records with `code` as the sixth.
QStringList records(const QString &code);
// The file's bytes: each record in double quotes followed by CR LF.
QByteArray encode(const QString &code);
// The style code from a file's bytes: the sixth quoted record, when there are
// at least six and the sixth is a whole number; nothing otherwise.
std::optional<QString> decodeCode(const QByteArray &bytes);

// Where the file lives: in the user's configuration folder for an installed
// copy (even one whose folder is writable, as it is to root) or when the
// program's folder is read-only; beside the program otherwise, as in a build
// tree. Read and written in the same place.
QString defaultPath();

// Writes the file whole or not at all. False when it could not be written.
bool write(const QString &path, const QString &code);

} // namespace settingsfile
