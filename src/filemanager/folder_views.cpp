#include "filemanager/folder_views.h"

#include "filemanager/byte_paths.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSet>
#include <QStyle>

DriveList::DriveList(QWidget *parent, const QString &name)
    : QComboBox(parent)
{
    setObjectName(name);
    for (const folders::Volume &v : folders::mountedVolumes())
        addItem(v.label, v.root);
}

QByteArray DriveList::drive() const { return currentData().toByteArray(); }

void DriveList::showDriveOf(const QByteArray &path)
{
    QList<folders::Volume> volumes;
    for (int i = 0; i < count(); ++i)
        volumes.append({itemData(i).toByteArray(), itemText(i)});
    const int i = findData(folders::volumeOf(path, volumes));
    const QSignalBlocker quiet(this);
    setCurrentIndex(i);
}

FolderList::FolderList(QWidget *parent, const QString &name)
    : QListWidget(parent)
{
    setObjectName(name);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        const QByteArray target = item->data(Qt::UserRole).toByteArray();
        if (target != path_) {
            path_ = target;
            refresh();
            emit Change();
        }
    });
}

bool FolderList::setPath(const QByteArray &path, QString *error)
{
    path_ = path;
    clear();
    // The path from the root down, each level indented, the folder itself last.
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QList<QByteArray> chain{path_};
    while (chain.first() != "/")
        chain.prepend(folders::parent(chain.first()));
    int depth = 0;
    for (const QByteArray &level : chain) {
        const QByteArray name = level == "/" ? level : level.mid(level.lastIndexOf('/') + 1);
        auto *item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + folders::display(name), this);
        item->setData(Qt::UserRole, level);
        ++depth;
    }
    setCurrentRow(count() - 1);
    // One reading of the folder serves this list and the file list.
    auto listing = folders::read(path_, error);
    if (!listing) {
        files_.reset();
        return false;
    }
    files_ = std::move(listing->files);
    for (const folders::Entry &e : listing->folders) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + e.display, this);
        item->setData(Qt::UserRole, bytepath::joined(path_, e.name));
    }
    return true;
}

void FolderList::refresh() { setPath(path_); }

QVariant IconFileModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= files_.size())
        return {};
    if (role == Qt::DisplayRole)
        return files_.at(index.row()).display;
    return {};
}

void IconFileModel::reset(QList<folders::Entry> files)
{
    beginResetModel();
    files_ = std::move(files);
    endResetModel();
}

IconFileList::IconFileList(QWidget *parent, const QString &name, bool multiSelect)
    : QListView(parent)
    , model_(new IconFileModel(this))
{
    setObjectName(name);
    setModel(model_);
    setUniformItemSizes(true); // thousands of names lay out at once
    setSelectionMode(multiSelect ? ExtendedSelection : SingleSelection);
    setEditTriggers(NoEditTriggers);
}

bool IconFileList::setPath(const QByteArray &path, QString *error)
{
    auto files = folders::iconFiles(path, error);
    if (!files)
        return false;
    path_ = path;
    model_->reset(std::move(*files));
    return true;
}

void IconFileList::setFiles(const QByteArray &path, QList<folders::Entry> files)
{
    const QList<QByteArray> selected = path == path_ ? selectedNames() : QList<QByteArray>();
    path_ = path;
    model_->reset(std::move(files));
    if (!selected.isEmpty())
        selectNames(selected);
}

void IconFileList::refresh()
{
    auto files = folders::iconFiles(path_);
    setFiles(path_, files ? std::move(*files) : QList<folders::Entry>());
}

QByteArray IconFileList::fileName() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() && selectionModel()->isSelected(i) ? model_->at(i.row()).name : QByteArray();
}

QList<QByteArray> IconFileList::selectedNames() const
{
    QList<int> rows;
    for (const QModelIndex &i : selectionModel()->selectedIndexes())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    QList<QByteArray> names;
    for (int r : rows)
        names.append(model_->at(r).name);
    return names;
}

void IconFileList::selectNames(const QList<QByteArray> &names)
{
    // Runs of neighbouring rows become one range each, and the whole selection
    // is set at once: row by row, each change costs as much as the selection
    // so far, which froze the window for seconds with thousands selected.
    const QSet<QByteArray> wanted(names.begin(), names.end());
    QItemSelection selection;
    int first = -1;
    for (int r = 0; r < model_->rowCount(); ++r) {
        if (!wanted.contains(model_->at(r).name))
            continue;
        int last = r;
        while (last + 1 < model_->rowCount() && wanted.contains(model_->at(last + 1).name))
            ++last;
        selection.append(QItemSelectionRange(model_->index(r), model_->index(last)));
        if (first < 0)
            first = r;
        r = last;
    }
    if (first >= 0)
        selectionModel()->setCurrentIndex(model_->index(first), QItemSelectionModel::NoUpdate);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

bool IconFileList::cursorOnSelected() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() && selectionModel()->isSelected(i);
}

void IconFileList::mouseReleaseEvent(QMouseEvent *e)
{
    QListView::mouseReleaseEvent(e);
    const QModelIndex at = indexAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && at.isValid() && at == currentIndex() && cursorOnSelected())
        emit Click();
}

void IconFileList::keyReleaseEvent(QKeyEvent *e)
{
    QListView::keyReleaseEvent(e);
    // Moving through the list with the keys also shows each file, as a click does.
    if (!e->isAutoRepeat()
        && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down || e->key() == Qt::Key_Home || e->key() == Qt::Key_End
            || e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown)
        && cursorOnSelected())
        emit Click();
}
