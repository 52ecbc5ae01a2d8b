#pragma once
// What a file operation asks the user and shows while it runs, behind an
// interface so tests can answer without a user and read what was asked.

#include <QString>
#include <QStringList>

class FileOperationPrompts
{
public:
    enum class Answer { Yes, YesToAll, No, Cancel };
    virtual ~FileOperationPrompts() = default;
    // An existing destination file would be replaced.
    virtual Answer confirmReplace(const QString &destination) = 0;
    // Before a delete: the files and whether they go to the trash (undo) or are removed.
    virtual bool confirmDelete(const QStringList &files, bool toTrash) = 0;
    // Progress of an operation on `total` files: begin, one step before each file
    // (name empty when names are not shown), end. step() returns false once the
    // user has cancelled; the operation then stops before that file.
    virtual void progressBegin(int total, bool showNames) = 0;
    virtual bool progressStep(int index, const QString &name) = 0;
    virtual void progressEnd() = 0;
    // Why an operation stopped, when it was not the user's own cancel: shown
    // before the operation returns, so the user learns more than that it failed.
    virtual void reportFailure(const QString &reason) = 0;
};
