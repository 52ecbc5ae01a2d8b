#include "platform/side_window_registry.h"

QWidget *SideWindowRegistry::get(const QString &name)
{
    if (QWidget *w = existing(name))
        return w;
    QWidget *w = nullptr;
    if (auto it = factories_.find(name); it != factories_.end()) {
        w = (*it)(owner_);
    } else {
        // Side windows float above the editor: a tool window owned by it.
        w = new QWidget(owner_, Qt::Tool);
        w->setWindowTitle(name);
    }
    w->setObjectName(name);
    w->hide();
    windows_.insert(name, w);
    return w;
}

QWidget *SideWindowRegistry::existing(const QString &name) const
{
    auto it = windows_.find(name);
    return it == windows_.end() ? nullptr : it->data();
}

void SideWindowRegistry::unload(const QString &name)
{
    if (QWidget *w = existing(name)) {
        w->close();
        delete w;
    }
    windows_.remove(name);
}

void SideWindowRegistry::unloadLater(const QString &name)
{
    if (QWidget *w = existing(name)) {
        w->close();
        w->deleteLater();
    }
    windows_.remove(name);
}
