#pragma once
// One instance per side window, created hidden on first reference. A window
// without a registered factory is a plain named tool window.

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class SideWindowRegistry
{
public:
    using Factory = std::function<QWidget *(QWidget *owner)>;

    explicit SideWindowRegistry(QWidget *owner)
        : owner_(owner)
    {
    }

    void registerFactory(const QString &name, Factory f) { factories_.insert(name, std::move(f)); }
    // The same under the window class's own name, so that get<W>() finds it.
    template <class W> void registerWindow(Factory f)
    {
        registerFactory(QString::fromLatin1(W::staticMetaObject.className()), std::move(f));
    }
    // Typed access to a window registered with registerWindow<W>(), created if needed.
    template <class W> W *get() { return qobject_cast<W *>(get(QString::fromLatin1(W::staticMetaObject.className()))); }
    // The window, created (hidden) if it does not exist yet.
    QWidget *get(const QString &name);
    // The window if it exists, else nullptr.
    QWidget *existing(const QString &name) const;
    // Closes and destroys the window; a later get() creates a new one.
    void unload(const QString &name);
    // The same from inside one of the window's own events: it closes now and is
    // destroyed once that event has returned; a later get() creates a new one.
    void unloadLater(const QString &name);

private:
    QWidget *owner_;
    QHash<QString, Factory> factories_;
    QHash<QString, QPointer<QWidget>> windows_;
};
