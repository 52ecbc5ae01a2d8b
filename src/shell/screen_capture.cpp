#include "shell/screen_capture.h"

#include "shell/wayland_session.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QUuid>

#include <algorithm>

namespace {

constexpr int kPortalTimeoutMs = 60000; // the portal may ask the user before it answers

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kResponse = QStringLiteral("Response");

QImage refuse(QString *whyNot, const QString &reason)
{
    if (whyNot)
        *whyNot = reason;
    return {};
}

QString cannotFreeze(const QString &cause)
{
    return cause + QStringLiteral(", so the screen cannot be frozen for picking a colour.");
}

QString garbled()
{
    return cannotFreeze(QStringLiteral("The screenshot service gave an answer this program does not understand"));
}

QString tooSlow(int timeoutMs)
{
    return cannotFreeze(
        QStringLiteral("The screenshot service did not answer within %1 seconds").arg(timeoutMs / 1000.0, 0, 'g', 3));
}

QString reasonFor(const QDBusError &error, int timeoutMs)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
        return cannotFreeze(QStringLiteral("No screenshot service answered on this desktop"));
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut: return tooSlow(timeoutMs);
    default:
        return cannotFreeze(QStringLiteral("The screenshot service reported an error (%1)")
                                .arg(error.message().isEmpty() ? error.name() : error.message()));
    }
}

// Takes the first Response from any of the request paths it is subscribed to;
// it accepts any signature so that an odd one can be refused instead of lost.
class PortalAnswer : public QObject
{
    Q_OBJECT
public:
    bool arrived = false;
    QDBusMessage message;

signals:
    void received();

public slots:
    void onResponse(const QDBusMessage &m)
    {
        if (arrived)
            return;
        arrived = true;
        message = m;
        emit received();
    }
};

// Response(u response, a{sv} results): 0 with a file URI, 1 cancelled, other failed.
QImage readResponse(const QDBusMessage &response, QString *whyNot)
{
    const QList<QVariant> args = response.arguments();
    if (args.size() < 2 || args[0].metaType().id() != QMetaType::UInt)
        return refuse(whyNot, garbled());
    const uint code = args[0].toUInt();
    if (code == 1)
        return refuse(whyNot,
                      QStringLiteral("The screenshot was cancelled, "
                                     "so there is no frozen screen to pick a colour from."));
    if (code != 0)
        return refuse(whyNot,
                      cannotFreeze(QStringLiteral("The screenshot service could not take a picture of the screen")));

    QVariantMap results;
    if (args[1].metaType() == QMetaType::fromType<QDBusArgument>()) {
        const QDBusArgument map = args[1].value<QDBusArgument>();
        if (map.currentSignature() == QLatin1String("a{sv}"))
            map >> results;
    }
    const QVariant uri = results.value(QStringLiteral("uri"));
    if (uri.metaType().id() != QMetaType::QString)
        return refuse(whyNot,
                      cannotFreeze(QStringLiteral("The screenshot service did not say where it put the picture")));
    const QUrl url(uri.toString());
    if (!url.isLocalFile())
        return refuse(whyNot,
                      cannotFreeze(QStringLiteral("The screenshot service put the picture at \"%1\", "
                                                  "which is not a file on this computer")
                                       .arg(uri.toString())));

    const QString path = url.toLocalFile();
    QImageReader reader(path);
    const QImage shot = reader.read();
    if (shot.isNull())
        return refuse(
            whyNot,
            cannotFreeze(
                QStringLiteral("The screenshot \"%1\" could not be read (%2)").arg(path, reader.errorString())));
    // The portal keeps its picture in the user's pictures folder; it was only
    // the way the picture got here.
    QFile::remove(path);
    return shot.convertToFormat(QImage::Format_RGB32);
}

} // namespace

namespace mdlVeCor2 {

QImage SnapDesktop(QString *whyNot)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    // Also on xcb through XWayland: there a direct grab sees only XWayland's
    // own windows and black where the native ones are.
    if (session::isWayland(QProcessEnvironment::systemEnvironment())
        || QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        QImage shot = snapThroughPortal(QDBusConnection::sessionBus(), kPortalTimeoutMs, whyNot);
        // The portal's picture is in the compositor's pixels; shown over the
        // screen's points it must cover them exactly, as a direct grab does.
        if (!shot.isNull() && screen && screen->virtualGeometry().width() > 0)
            shot.setDevicePixelRatio(qreal(shot.width()) / screen->virtualGeometry().width());
        return shot;
    }
    if (!screen)
        return refuse(whyNot, QStringLiteral("There is no screen to take a picture of."));
    const QRect whole = screen->geometry();
    return SnapWindowArea(screen, 0, whole.x(), whole.y(), whole.width(), whole.height(), whyNot);
}

QImage SnapWindowArea(QScreen *screen, WId window, int left, int top, int width, int height, QString *whyNot)
{
    if (!screen)
        return refuse(whyNot, QStringLiteral("There is no screen to take a picture of."));
    if (width <= 0 || height <= 0)
        return refuse(whyNot, QStringLiteral("An area of %1 x %2 pixels has no picture.").arg(width).arg(height));

    // The desktop's area is cut to the desktop, a window's to the desktop's size,
    // so a silly size cannot ask the windowing system for gigabytes. Worked in
    // 64 bits so that no sum of the caller's numbers can overflow.
    const QRect desk = screen->virtualGeometry();
    qint64 x0 = left, y0 = top;
    qint64 x1 = x0 + width, y1 = y0 + height;
    if (window != 0) {
        x1 = x0 + std::min(width, desk.width());
        y1 = y0 + std::min(height, desk.height());
    } else {
        x0 = std::max<qint64>(x0, desk.left());
        y0 = std::max<qint64>(y0, desk.top());
        x1 = std::min<qint64>(x1, qint64(desk.left()) + desk.width());
        y1 = std::min<qint64>(y1, qint64(desk.top()) + desk.height());
        if (x1 <= x0 || y1 <= y0)
            return refuse(whyNot, QStringLiteral("The area at (%1, %2) lies outside the desktop.").arg(left).arg(top));
    }

    const QPixmap grab = screen->grabWindow(window, int(x0), int(y0), int(x1 - x0), int(y1 - y0));
    if (grab.isNull())
        return refuse(whyNot, QStringLiteral("The windowing system gave no picture of the screen."));
    return grab.toImage().convertToFormat(QImage::Format_RGB32);
}

QImage snapThroughPortal(const QDBusConnection &bus, int timeoutMs, QString *whyNot)
{
    QDBusConnection conn(bus);
    if (!conn.isConnected())
        return refuse(whyNot, cannotFreeze(QStringLiteral("There is no session bus on this desktop")));

    // The portal names its request object after our connection and this token;
    // listening there before the call means an early answer is not missed.
    const QString token = QStringLiteral("tessarel") + QUuid::createUuid().toString(QUuid::Id128);
    const QString sender = conn.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString predicted = kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;

    PortalAnswer answer;
    const char *const onResponse = SLOT(onResponse(QDBusMessage));
    QStringList watched;
    const auto watch = [&](const QString &path) {
        if (!watched.contains(path)
            && conn.connect(kPortalService, path, kRequestInterface, kResponse, &answer, onResponse))
            watched << path;
    };
    watch(predicted);

    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("interactive"), false}};
    QDBusPendingCallWatcher pending(conn.asyncCall(call, timeoutMs));

    QEventLoop loop;
    QString failure;
    QString handle;
    QObject::connect(&pending, &QDBusPendingCallWatcher::finished, &loop, [&] {
        const QDBusMessage reply = pending.reply();
        const QList<QVariant> args = reply.arguments();
        if (reply.type() == QDBusMessage::ErrorMessage)
            failure = reasonFor(QDBusError(reply), timeoutMs);
        else if (args.isEmpty() || args[0].metaType() != QMetaType::fromType<QDBusObjectPath>())
            failure = garbled();
        else
            watch(handle = args[0].value<QDBusObjectPath>().path()); // older portals choose their own path
        if (!failure.isEmpty())
            loop.quit();
    });
    QObject::connect(&answer, &PortalAnswer::received, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(std::max(timeoutMs, 0));
    // The editor must not take clicks while the desktop is being frozen.
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    for (const QString &path : watched)
        conn.disconnect(kPortalService, path, kRequestInterface, kResponse, &answer, onResponse);
    if (answer.arrived)
        return readResponse(answer.message, whyNot);
    if (!failure.isEmpty())
        return refuse(whyNot, failure);

    // Given up: tell the portal so it does not keep a dialog open for nobody.
    conn.send(QDBusMessage::createMethodCall(kPortalService, handle.isEmpty() ? predicted : handle, kRequestInterface,
                                             QStringLiteral("Close")));
    return refuse(whyNot, tooSlow(timeoutMs));
}

} // namespace mdlVeCor2

QImage DesktopScreenGrab::snapDesktop(QString *whyNot) { return mdlVeCor2::SnapDesktop(whyNot); }

#include "screen_capture.moc"
