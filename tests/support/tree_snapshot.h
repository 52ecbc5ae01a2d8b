#pragma once
// A sha256 snapshot of a folder tree, names as bytes, and the rule every file
// operation must keep: each file that was there before is, after
// the operation, where it was, or whole somewhere in the tree (its
// destination), or in the trash with a record that puts it back where it was.
// A link is recorded as a link (its target text), and a link that points
// nowhere after the operation when it did before is a loss of its own.

#include <QByteArray>
#include <QCryptographicHash>
#include <QMap>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trees {

struct Node
{
    enum Kind { File, Folder, Link, Other } kind = Other;
    QByteArray sha;    // a file's contents
    QByteArray target; // a link's target as written
    bool dangling = false;
    bool operator==(const Node &o) const
    {
        return kind == o.kind && sha == o.sha && target == o.target && dangling == o.dangling;
    }
};

// Relative name -> node; folders end with "/".
using Tree = QMap<QByteArray, Node>;

inline QByteArray sha256Of(const QByteArray &path)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[1 << 16];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        hash.addData(QByteArrayView(buffer, n));
    ::close(fd);
    return hash.result().toHex();
}

inline void walk(const QByteArray &folder, const QByteArray &prefix, Tree &out)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = folder + '/' + name;
        struct stat st;
        if (::lstat(path.constData(), &st) != 0)
            continue;
        Node node;
        if (S_ISDIR(st.st_mode)) {
            node.kind = Node::Folder;
            out.insert(prefix + name + '/', node);
            walk(path, prefix + name + '/', out);
            continue;
        }
        if (S_ISLNK(st.st_mode)) {
            node.kind = Node::Link;
            char target[4096];
            const ssize_t n = ::readlink(path.constData(), target, sizeof target);
            node.target = QByteArray(target, n > 0 ? n : 0);
            struct stat pointed;
            node.dangling = ::stat(path.constData(), &pointed) != 0;
        } else if (S_ISREG(st.st_mode)) {
            node.kind = Node::File;
            node.sha = sha256Of(path);
        }
        out.insert(prefix + name, node);
    }
    ::closedir(dir);
}

inline Tree take(const QByteArray &folder)
{
    Tree out;
    walk(folder, {}, out);
    return out;
}

// The trash's files that a .trashinfo puts back: original full path -> sha256.
inline QMultiMap<QByteArray, QByteArray> restorable(const QByteArray &trash)
{
    QMultiMap<QByteArray, QByteArray> out;
    const Tree info = take(trash + "/info");
    for (auto it = info.cbegin(); it != info.cend(); ++it) {
        if (!it.key().endsWith(".trashinfo"))
            continue;
        const QByteArray name = it.key().chopped(10);
        const int fd = ::open((trash + "/info/" + it.key()).constData(), O_RDONLY | O_CLOEXEC);
        QByteArray text(8192, '\0');
        const ssize_t n = fd >= 0 ? ::read(fd, text.data(), size_t(text.size())) : 0;
        if (fd >= 0)
            ::close(fd);
        text.truncate(n > 0 ? n : 0);
        QByteArray original;
        for (const QByteArray &line : text.split('\n'))
            if (line.startsWith("Path="))
                original = QByteArray::fromPercentEncoding(line.mid(5));
        const QByteArray file = trash + "/files/" + name;
        struct stat st;
        if (!original.isEmpty() && ::lstat(file.constData(), &st) == 0)
            out.insert(original, S_ISREG(st.st_mode) ? sha256Of(file) : QByteArray("(not a file)"));
    }
    return out;
}

// What the rule finds lost between two snapshots of `root` (empty: nothing).
// `trash` is the trash folder that a Delete with undo used, if any. A file
// that left its place needs a copy of its own elsewhere: two moved files of
// the same bytes need two, and bytes that survive only under a new hidden
// name (a temporary file left behind) have not arrived anywhere.
inline QStringList lost(const QByteArray &root, const Tree &before, const Tree &after, const QByteArray &trash = {})
{
    const auto hiddenName = [](const QByteArray &path) {
        const qsizetype slash = path.lastIndexOf('/');
        return path.at(slash + 1) == '.';
    };
    QMap<QByteArray, int> copies; // sha -> files after that no file of before stayed in
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (it.value().kind == Node::File && !(before.value(it.key()) == it.value())
            && !(hiddenName(it.key()) && !before.contains(it.key())))
            ++copies[it.value().sha];
    const auto inTrash = trash.isEmpty() ? QMultiMap<QByteArray, QByteArray>() : restorable(trash);
    QStringList out;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const Node &was = it.value();
        if (was.kind != Node::File || after.value(it.key()) == was
            || inTrash.values(root + '/' + it.key()).contains(was.sha))
            continue;
        if (copies.value(was.sha) > 0)
            --copies[was.sha];
        else
            out << QStringLiteral("%1: its bytes are nowhere")
                       .arg(QString::fromUtf8(it.key().toPercentEncoding("/ ().")));
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (it.value().kind == Node::Link && it.value().dangling && !(before.value(it.key()) == it.value()))
            out << QStringLiteral("%1: a link that points nowhere")
                       .arg(QString::fromUtf8(it.key().toPercentEncoding("/ ().")));
    return out;
}

} // namespace trees
