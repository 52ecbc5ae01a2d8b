#include "shell/qt_file_operation_prompts.h"

#include "platform/message_box.h"
#include "platform/window_stacking.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

// Long lists would make a box taller than the screen; the count says the rest.
constexpr int kNamesListed = 10;

QString listed(const QStringList &files)
{
    QStringList lines = files.mid(0, kNamesListed);
    if (files.size() > kNamesListed)
        lines << QStringLiteral("… and %1 more").arg(files.size() - kNamesListed);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QtFileOperationPrompts::QtFileOperationPrompts() = default;
QtFileOperationPrompts::~QtFileOperationPrompts() = default;

FileOperationPrompts::Answer QtFileOperationPrompts::confirmReplace(const QString &destination)
{
    const DialogInFront front;
    QMessageBox box(QMessageBox::Question, kApplicationTitle,
                    QStringLiteral("This file already exists:\n\n%1\n\nReplace it?").arg(destination),
                    QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::YesToAll: return Answer::YesToAll;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool QtFileOperationPrompts::confirmDelete(const QStringList &files, bool toTrash)
{
    const DialogInFront front;
    const QString what = files.size() == 1 ? QStringLiteral("this file") : QStringLiteral("these %1 files").arg(files.size());
    const QString question = toTrash ? QStringLiteral("Move %1 to the trash?").arg(what)
                                     : QStringLiteral("Delete %1 permanently? This cannot be undone.").arg(what);
    QMessageBox box(toTrash ? QMessageBox::Question : QMessageBox::Warning, kApplicationTitle,
                    question + QStringLiteral("\n\n") + listed(files), QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(toTrash ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtFileOperationPrompts::progressBegin(int total, bool showNames)
{
    showNames_ = showNames;
    progress_ = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Cancel"), 0, total);
    progress_->setWindowTitle(kApplicationTitle);
    // The operation runs inside a click: nothing else may be clicked meanwhile.
    progress_->setWindowModality(Qt::ApplicationModal);
    // Quick operations finish before the dialog would appear.
    progress_->setMinimumDuration(500);
    progress_->setValue(0);
}

bool QtFileOperationPrompts::progressStep(int index, const QString &name)
{
    if (!progress_)
        return true;
    if (showNames_)
        progress_->setLabelText(name);
    progress_->setValue(index);
    // The work runs on the caller's thread: let the dialog paint and take the Cancel click.
    QCoreApplication::processEvents();
    return !progress_->wasCanceled();
}

void QtFileOperationPrompts::progressEnd()
{
    progress_.reset();
}
