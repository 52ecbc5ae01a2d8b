#pragma once
// What the file manager's lists show, read from the file system as bytes:
// names are kept exactly as the system gives them (they need not be valid
// text) and shown decoded.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace folders {

struct Entry
{
    QByteArray name; // the file system's bytes
    QString display; // for showing
};

struct Volume
{
    QByteArray root;
    QString label;
};

// Mounted volumes a user would pick: "/" first, then the others by path,
// without the system's pseudo file systems.
QList<Volume> mountedVolumes();
// The volume whose root is the longest prefix of `path`.
QByteArray volumeOf(const QByteArray &path, const QList<Volume> &volumes);

// What one reading of a folder gives both lists: its icon files (".ico" in
// any case, plain files or links to them) and its folders, each sorted by name
// ignoring case, hidden ones left out; nothing when the folder cannot be read,
// with the reason. Leftover temporary files of a copy killed part-way are
// removed as they are met.
struct Listing
{
    QList<Entry> files;
    QList<Entry> folders;
};
std::optional<Listing> read(const QByteArray &folder, QString *error = nullptr);

// Icon files (".ico" in any case) of a folder, sorted by name ignoring case;
// nothing when the folder cannot be read, with the reason.
std::optional<QList<Entry>> iconFiles(const QByteArray &folder, QString *error = nullptr);
// Folders inside a folder, sorted the same way. Hidden ones are left out.
std::optional<QList<Entry>> subfolders(const QByteArray &folder, QString *error = nullptr);

// The folder above, "/" for "/" itself.
QByteArray parent(const QByteArray &folder);
QString display(const QByteArray &bytes);

} // namespace folders
