#include "shell/qt_shell_launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <utility>

namespace {

// "https://…", "mailto:…": a scheme of two or more letters (one letter would be a drive).
bool isAddress(const QString &file)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return !file.startsWith(QLatin1Char('/')) && scheme.match(file).hasMatch();
}

// Asks the desktop, one type after the other, whether it names a program for
// it, without waiting on the answer: xdg-mime is a shell script that takes a
// good part of a second. An unknown answer (xdg-mime not starting, no reply within five
// seconds) counts as yes, and the opener decides.
class HandlerQuery : public QObject
{
public:
    HandlerQuery(QObject *parent, const QString &query, QStringList types, std::function<void(bool)> answer)
        : QObject(parent)
        , query_(query)
        , types_(std::move(types))
        , answer_(std::move(answer))
    {
        timeout_.setSingleShot(true);
        timeout_.setInterval(5000);
        QObject::connect(&timeout_, &QTimer::timeout, this, [this] { finish(true); });
        next();
    }

    ~HandlerQuery() override { stop(); }

private:
    void next()
    {
        if (types_.isEmpty()) {
            finish(false);
            return;
        }
        stop();
        process_ = new QProcess(this);
        QObject::connect(process_, &QProcess::finished, this, [this] {
            if (!process_->readAllStandardOutput().trimmed().isEmpty())
                finish(true);
            else
                next();
        });
        QObject::connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                finish(true);
        });
        process_->start(query_, {QStringLiteral("query"), QStringLiteral("default"), types_.takeFirst()});
        timeout_.start();
    }

    void stop()
    {
        if (!process_)
            return;
        QProcess *p = std::exchange(process_, nullptr);
        p->disconnect(this);
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished();
        }
        p->deleteLater();
    }

    void finish(bool yes)
    {
        if (!answer_)
            return;
        timeout_.stop();
        stop();
        const auto answer = std::exchange(answer_, {});
        deleteLater();
        answer(yes);
    }

    QString query_;
    QStringList types_;
    std::function<void(bool)> answer_;
    QProcess *process_ = nullptr;
    QTimer timeout_;
};

bool isProgramType(const QMimeType &type)
{
    for (const char *program : {"application/x-executable", "application/x-sharedlib", "application/x-pie-executable",
                                "application/x-shellscript", "text/x-shellscript", "application/x-ms-dos-executable",
                                "application/x-msdownload", "application/x-msi"})
        if (type.inherits(QString::fromLatin1(program)))
            return true;
    return false;
}

// xdg-open finds the desktop's own opener; Qt's route is the fallback where it
// is missing.
int openWithDesktop(const QUrl &url)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    const bool started = opener.isEmpty()
        ? QDesktopServices::openUrl(url)
        : QProcess::startDetached(opener, {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    return started ? ShellLauncher::kStarted : ShellLauncher::kUnknown;
}

} // namespace

QtShellLauncher::QtShellLauncher()
    : pending_(std::make_unique<QObject>())
{
}

QtShellLauncher::~QtShellLauncher() = default;

void QtShellLauncher::ShellExecute(QWidget *, const QString &, const QString &file, const QString &parameters,
                                   const QString &folder, Outcome outcome)
{
    const auto answer = [&outcome](int result) {
        if (outcome)
            outcome(result);
    };
    if (file.isEmpty())
        return answer(kFileNotFound);
    QUrl url;
    QStringList types;
    if (isAddress(file)) {
        url = QUrl(file);
        if (!url.isValid())
            return answer(kFileNotFound);
        types << QStringLiteral("x-scheme-handler/") + url.scheme().toLower();
    } else {
        const QFileInfo info(file);
        if (!info.exists())
            return answer(QFileInfo(info.absolutePath()).isDir() ? kFileNotFound : kPathNotFound);
        if (!info.isReadable())
            return answer(kAccessDenied);
        const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
        if (info.isFile() && (info.isExecutable() || isProgramType(type))) {
            // A program: started on its own, or refused when it may not be run.
            if (!info.isExecutable())
                return answer(kAccessDenied);
            const QString workIn = folder.isEmpty() ? info.absolutePath() : folder;
            const QStringList args = parameters.isEmpty() ? QStringList() : QProcess::splitCommand(parameters);
            return answer(QProcess::startDetached(info.absoluteFilePath(), args, workIn) ? kStarted : kBadFormat);
        }
        url = QUrl::fromLocalFile(info.absoluteFilePath());
        types << type.name() << type.allAncestors();
    }
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return answer(openWithDesktop(url));
    new HandlerQuery(pending_.get(), query, types, [url, outcome = std::move(outcome)](bool hasHandler) {
        const int result = hasHandler ? openWithDesktop(url) : kNoAssociation;
        if (outcome)
            outcome(result);
    });
}
