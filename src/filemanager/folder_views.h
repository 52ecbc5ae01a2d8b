#pragma once
// The three list controls of each side of the file manager: the drive list
// (mounted volumes), the folder list (the path from the root down, then the
// folders inside) and the icon file list. Paths are the file system's bytes.

#include "filemanager/folder_listing.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QListView>
#include <QListWidget>

#include <optional>

class DriveList : public QComboBox
{
    Q_OBJECT
public:
    DriveList(QWidget *parent, const QString &name);
    QByteArray drive() const;
    // Shows the volume holding `path` without reporting a change.
    void showDriveOf(const QByteArray &path);
};

class FolderList : public QListWidget
{
    Q_OBJECT
public:
    FolderList(QWidget *parent, const QString &name);
    const QByteArray &path() const { return path_; }
    // Moves to a folder and lists it; false (and the reason) when it cannot be
    // read, in which case the list shows the path with nothing inside.
    bool setPath(const QByteArray &path, QString *error = nullptr);
    void refresh();
    // The icon files of the same reading of the folder, for the file list;
    // nothing when it could not be read.
    const std::optional<QList<folders::Entry>> &iconFiles() const { return files_; }

signals:
    // The user opened another folder (double-click or Enter on an entry).
    void Change();

private:
    QByteArray path_;
    std::optional<QList<folders::Entry>> files_;
};

class IconFileModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(files_.size()); }
    QVariant data(const QModelIndex &index, int role) const override;
    void reset(QList<folders::Entry> files);
    const folders::Entry &at(int row) const { return files_.at(row); }

private:
    QList<folders::Entry> files_;
};

class IconFileList : public QListView
{
    Q_OBJECT
public:
    IconFileList(QWidget *parent, const QString &name, bool multiSelect);
    const QByteArray &path() const { return path_; }
    // Lists the folder's icon files; false (list unchanged) when it cannot be read.
    bool setPath(const QByteArray &path, QString *error = nullptr);
    // Shows files already read from `path` (by the folder list), keeping the
    // selection of the names still there when `path` is the folder shown.
    void setFiles(const QByteArray &path, QList<folders::Entry> files);
    // Reads the folder again, keeping the selection.
    void refresh();
    // The name of the entry with the cursor (the "selected name"), empty if none.
    QByteArray fileName() const;
    // Selected names in list order.
    QList<QByteArray> selectedNames() const;
    int count() const { return model_->rowCount(); }
    // Selects the named entries (the rest deselected) in one step; the cursor
    // goes to the first.
    void selectNames(const QList<QByteArray> &names);

signals:
    // A click or a key that leaves the entry under the cursor selected: the
    // user chose that file. A click that deselects, or a key in an empty list,
    // chooses nothing.
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;

private:
    bool cursorOnSelected() const;

    QByteArray path_;
    IconFileModel *model_;
};
