// A stand-in for the desktop portal's screenshot service. The capture test runs
// it as its own process on a private bus, so the capture code speaks real D-Bus.
//
//   fake_portal ok <dir> <width> <height> <rrggbb> [own-handle]
//       writes a PNG of that colour (pixel (1, 0) inverted) into <dir> and
//       answers with its URI; own-handle answers on a path of the portal's
//       choosing instead of the one built from handle_token, as older portals do
//   fake_portal cancel              answers 1, the user cancelled
//   fake_portal answer <code> [uri] answers <code> with that uri, or none
//   fake_portal garbled-results     answers 0 with a number for the uri
//   fake_portal garbled-signal      sends a Response of the wrong signature
//   fake_portal garbled-reply       returns a string instead of a request path
//   fake_portal silent              returns the request path and never answers
//
// It prints "ready" once it owns org.freedesktop.portal.Desktop.

#include <QColor>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QImage>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

} // namespace

class ScreenshotPortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
    explicit ScreenshotPortal(QStringList args)
        : args_(std::move(args))
    {
    }

public slots:
    QDBusObjectPath Screenshot(const QString &, const QVariantMap &options, const QDBusMessage &call)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString mode = args_.value(0);
        const QVariant token = options.value(QStringLiteral("handle_token"));
        const QVariant interactive = options.value(QStringLiteral("interactive"));
        // As strict as a real portal about what the capture code must send.
        if (token.metaType().id() != QMetaType::QString || token.toString().isEmpty()
            || interactive.metaType().id() != QMetaType::Bool || interactive.toBool())
            return refuse(call, QStringLiteral("expected a handle_token and interactive=false"));
        if (mode == QLatin1String("garbled-reply")) {
            call.setDelayedReply(true);
            bus.send(call.createReply(QStringLiteral("not a request path")));
            return {};
        }

        const QString sender = call.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/')
            + (args_.contains(QStringLiteral("own-handle")) ? QStringLiteral("chosen_by_portal") : token.toString());
        if (mode == QLatin1String("ok")) {
            const QString file = writePicture();
            if (file.isEmpty())
                return refuse(call, QStringLiteral("could not write the picture"));
            respond(request, {0u, QVariantMap{{QStringLiteral("uri"), QUrl::fromLocalFile(file).toString()}}});
        } else if (mode == QLatin1String("cancel")) {
            respond(request, {1u, QVariantMap()});
        } else if (mode == QLatin1String("answer")) {
            QVariantMap results;
            if (args_.size() > 2)
                results.insert(QStringLiteral("uri"), args_[2]);
            respond(request, {args_.value(1).toUInt(), results});
        } else if (mode == QLatin1String("garbled-results")) {
            respond(request, {0u, QVariantMap{{QStringLiteral("uri"), 42}}});
        } else if (mode == QLatin1String("garbled-signal")) {
            respond(request, {QStringLiteral("nonsense")});
        }
        return QDBusObjectPath(request);
    }

private:
    QStringList args_;

    QDBusObjectPath refuse(const QDBusMessage &call, const QString &why)
    {
        call.setDelayedReply(true);
        QDBusConnection::sessionBus().send(
            call.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.InvalidArgument"), why));
        return {};
    }

    // The Response goes out after the method has returned, as a portal's does.
    static void respond(const QString &request, const QList<QVariant> &arguments)
    {
        QTimer::singleShot(20, [request, arguments] {
            QDBusMessage signal = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                             QStringLiteral("Response"));
            signal.setArguments(arguments);
            QDBusConnection::sessionBus().send(signal);
        });
    }

    // A space in the name, as desktops name their screenshots, so the URI is escaped.
    QString writePicture() const
    {
        const QColor colour(QLatin1Char('#') + args_.value(4));
        const QSize size(args_.value(2).toInt(), args_.value(3).toInt());
        if (!colour.isValid() || size.isEmpty())
            return {};
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(colour);
        picture.setPixel(1, 0, qRgb(255 - colour.red(), 255 - colour.green(), 255 - colour.blue()));
        const QString file = QDir(args_.value(1)).filePath(QStringLiteral("Screenshot from now.png"));
        return picture.save(file, "PNG") ? file : QString();
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    static const QStringList kModes{QStringLiteral("ok"),
                                    QStringLiteral("cancel"),
                                    QStringLiteral("answer"),
                                    QStringLiteral("garbled-results"),
                                    QStringLiteral("garbled-signal"),
                                    QStringLiteral("garbled-reply"),
                                    QStringLiteral("silent")};
    if (args.isEmpty() || !kModes.contains(args[0]) || (args[0] == QLatin1String("ok") && args.size() < 5)) {
        std::fprintf(stderr, "usage: fake_portal %s ...\n", qPrintable(kModes.join(u'|')));
        return 2;
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "fake_portal: no bus: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    ScreenshotPortal portal(args);
    if (!bus.registerObject(kPath, &portal, QDBusConnection::ExportAllSlots) || !bus.registerService(kService)) {
        std::fprintf(stderr, "fake_portal: cannot serve %s: %s\n", qPrintable(kService),
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "fake_portal.moc"
