#include "shell/qt_file_operation_prompts.h"

#include "platform/message_box.h"
#include "platform/window_stacking.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>

namespace {

// Long lists would make a box taller than the screen; the count says the rest.
constexpr int kNamesListed = 10;

// The widest a name may be shown: well within the screen the box appears on.
int widestName()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int width = screen ? screen->availableGeometry().width() : 1024;
    return qMax(200, width * 3 / 5);
}

// Escaped, then cut in the middle (where a path is least telling) to fit.
QString fitted(const QString &name, const QFontMetrics &metrics)
{
    return metrics.elidedText(QtFileOperationPrompts::escaped(name), Qt::ElideMiddle, widestName());
}

QString listed(const QStringList &files, const QFontMetrics &metrics)
{
    QStringList lines;
    for (const QString &file : files.mid(0, kNamesListed))
        lines << fitted(file, metrics);
    if (files.size() > kNamesListed)
        lines << QStringLiteral("… and %1 more").arg(files.size() - kNamesListed);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QtFileOperationPrompts::QtFileOperationPrompts() = default;
QtFileOperationPrompts::~QtFileOperationPrompts() = default;

QString QtFileOperationPrompts::escaped(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\\': out += QStringLiteral("\\\\"); continue;
        case u'\n': out += QStringLiteral("\\n"); continue;
        case u'\r': out += QStringLiteral("\\r"); continue;
        case u'\t': out += QStringLiteral("\\t"); continue;
        default: break;
        }
        // C0 and C1 controls, line and paragraph separators, and the marks and
        // overrides that reorder text, which could make a name read as another.
        const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029
            || (u >= 0x200E && u <= 0x200F) || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069)
            || u == 0x061C || u == 0xFEFF;
        if (!control)
            out += c;
        else if (u <= 0xFF)
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
    }
    return out;
}

int QtFileOperationPrompts::ask(QMessageBox &box)
{
    // In front of the side windows, taking the input.
    const DialogInFront front;
    // Names are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    Progress *progress = progress_.empty() ? nullptr : progress_.back().get();
    const bool wasShown = progress && progress->dialog && progress->dialog->isVisible();
    if (wasShown)
        progress->dialog->hide();
    QElapsedTimer asking;
    asking.start();
    const int answer = box.exec();
    if (progress) {
        progress->askedMs += asking.elapsed();
        if (wasShown && progress->dialog)
            progress->dialog->show();
    }
    return answer;
}

FileOperationPrompts::Answer QtFileOperationPrompts::confirmReplace(const QString &destination)
{
    const DialogInFront front;
    QMessageBox box(QMessageBox::Question, kApplicationTitle, QString(),
                    QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel);
    box.setText(
        QStringLiteral("This file already exists:\n\n%1\n\nReplace it?").arg(fitted(destination, box.fontMetrics())));
    box.setDefaultButton(QMessageBox::No);
    switch (ask(box)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::YesToAll: return Answer::YesToAll;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

void QtFileOperationPrompts::reportFailure(const QString &reason)
{
    const DialogInFront front;
    QMessageBox box(QMessageBox::Warning, kApplicationTitle, QString(), QMessageBox::Ok);
    // The reason names its file by its full path: cut in the middle rather than run off the screen.
    box.setText(fitted(reason, box.fontMetrics()));
    ask(box);
}

bool QtFileOperationPrompts::confirmDelete(const QStringList &files, bool toTrash)
{
    const DialogInFront front;
    const QString what =
        files.size() == 1 ? QStringLiteral("this file") : QStringLiteral("these %1 files").arg(files.size());
    const QString question = toTrash ? QStringLiteral("Move %1 to the trash?").arg(what)
                                     : QStringLiteral("Delete %1 permanently? This cannot be undone.").arg(what);
    QMessageBox box(toTrash ? QMessageBox::Question : QMessageBox::Warning, kApplicationTitle, QString(),
                    QMessageBox::Yes | QMessageBox::No);
    box.setText(question + QStringLiteral("\n\n") + listed(files, box.fontMetrics()));
    box.setDefaultButton(toTrash ? QMessageBox::Yes : QMessageBox::No);
    return ask(box) == QMessageBox::Yes;
}

void QtFileOperationPrompts::progressBegin(int total, bool showNames)
{
    auto progress = std::make_unique<Progress>();
    progress->total = total;
    progress->showNames = showNames;
    progress->clock.start();
    progress_.push_back(std::move(progress));
}

bool QtFileOperationPrompts::progressStep(int index, const QString &name)
{
    if (progress_.empty())
        return true;
    Progress &p = *progress_.back();
    // Quick operations finish before the dialog would appear; time spent on a
    // question is not working time.
    if (!p.dialog && p.clock.elapsed() - p.askedMs >= kProgressDelayMs) {
        p.dialog = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Cancel"), 0, p.total);
        p.dialog->setWindowTitle(kApplicationTitle);
        // The operation runs inside a click: nothing else may be clicked meanwhile.
        p.dialog->setWindowModality(Qt::ApplicationModal);
        p.dialog->setAutoClose(false);
        p.dialog->setAutoReset(false);
        p.dialog->setMinimumDuration(0);
        p.dialog->show();
    }
    if (p.dialog) {
        if (p.showNames)
            p.dialog->setLabelText(fitted(name, p.dialog->fontMetrics()));
        p.dialog->setValue(index);
        // The work runs on the caller's thread: let the dialog paint and take the Cancel click.
        QCoreApplication::processEvents();
        p.canceled = p.canceled || p.dialog->wasCanceled();
    } else {
        // Nothing to click yet: paint, but take no input meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return !p.canceled;
}

void QtFileOperationPrompts::progressEnd()
{
    if (!progress_.empty())
        progress_.pop_back();
}
