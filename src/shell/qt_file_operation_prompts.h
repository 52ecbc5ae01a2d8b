#pragma once

#include "platform/file_operation_prompts.h"

#include <QElapsedTimer>

#include <memory>
#include <vector>

class QProgressDialog;

// Message box questions and a progress dialog that appears only when an
// operation lasts long enough to be worth watching.
//
// A question always stays answerable: while it is up the progress dialog is
// hidden (it is application-modal and would take every click), and the time
// the user spends on it does not count towards the progress dialog's delay.
class QtFileOperationPrompts : public FileOperationPrompts
{
public:
    QtFileOperationPrompts();
    ~QtFileOperationPrompts() override;

    Answer confirmReplace(const QString &destination) override;
    bool confirmDelete(const QStringList &files, bool toTrash) override;
    void progressBegin(int total, bool showNames) override;
    bool progressStep(int index, const QString &name) override;
    void progressEnd() override;
    void reportFailure(const QString &reason) override;

    // How long an operation must have worked before its progress shows.
    static constexpr int kProgressDelayMs = 500;

    // A file name as a question shows it: control characters (a newline, a
    // tab, a bidirectional override) written as escapes, so that one name is
    // one line and reads as what it is; a backslash doubled so that an escape
    // cannot be faked.
    static QString escaped(const QString &name);

private:
    // One operation's progress. A stack, so that an operation started from
    // inside another's question (which the file manager does not allow) could
    // never leave the outer one without its own.
    struct Progress
    {
        int total = 0;
        bool showNames = true;
        QElapsedTimer clock;
        qint64 askedMs = 0; // spent on questions, not on work
        bool canceled = false;
        std::unique_ptr<QProgressDialog> dialog;
    };
    // Runs a question with the progress out of its way.
    int ask(class QMessageBox &box);

    std::vector<std::unique_ptr<Progress>> progress_;
};
