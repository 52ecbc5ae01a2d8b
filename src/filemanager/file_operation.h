#pragma once
// Copy, move and delete of the icon file manager, called with the classic
// shell arguments. This is the one place the program changes a user's files:
// a file lands whole or not at all, a source goes only once its copy is
// verified, and a failure stops the operation with its reason in lastError().
//
// Paths are bytes as the file system holds them, so names that are not
// UTF-8 survive.

#include <QByteArray>
#include <QString>

class FileOperationPrompts;

class FileOperation
{
public:
    enum Code { Move = 1, Copy = 2, Delete = 3 };
    enum Flag {
        Silent = 4,
        RenameOnCollision = 8,
        NoConfirmation = 16,
        AllowUndo = 64,
        SimpleProgress = 256,
        NoConfirmMkdir = 512
    };

    explicit FileOperation(FileOperationPrompts &prompts);

    // `from`: full paths (files or whole folders), each followed by a NUL, the
    // list closed by a further NUL. `to`: the destination folder followed by a
    // NUL (unused for Delete); with NoConfirmMkdir a missing one is created.
    // Stops at the first failure; what was done before it stays done.
    // 0 when every file arrived whole (a collision answered No counts as
    // done); non-zero otherwise (see lastError()).
    int SHFileOperation(int code, const QByteArray &from, const QByteArray &to, int flags);
    QString lastError() const;

private:
    FileOperationPrompts &prompts_;
    QString lastError_;
    bool running_ = false;
};
