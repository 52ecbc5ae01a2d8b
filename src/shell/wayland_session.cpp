#include "shell/wayland_session.h"

namespace session {

bool isWayland(const QProcessEnvironment &env)
{
    return env.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0
        || !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

QByteArray preferredPlatform(const QProcessEnvironment &env)
{
    if (!isWayland(env) || env.value(QStringLiteral("DISPLAY")).isEmpty()
        || !env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

PlatformChoice::PlatformChoice()
{
    const QByteArray plugin = preferredPlatform(QProcessEnvironment::systemEnvironment());
    if (!plugin.isEmpty())
        set_ = qputenv("QT_QPA_PLATFORM", plugin);
}

void PlatformChoice::release()
{
    if (set_)
        qunsetenv("QT_QPA_PLATFORM");
    set_ = false;
}

} // namespace session
