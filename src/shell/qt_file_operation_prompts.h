#pragma once

#include "platform/file_operation_prompts.h"

#include <memory>

class QProgressDialog;

// Message box questions and a progress dialog that appears only when an
// operation lasts long enough to be worth watching.
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

private:
    std::unique_ptr<QProgressDialog> progress_;
    bool showNames_ = true;
};
