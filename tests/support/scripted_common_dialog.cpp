#include "support/scripted_common_dialog.h"

#include <QFileInfo>

void ScriptedCommonDialog::queueFile(const QString &path)
{
    queue([path](CommonDialog &d) {
        d.FileName = path;
        d.FileTitle = QFileInfo(path).fileName();
        return true;
    });
}

void ScriptedCommonDialog::queueCancel()
{
    queue([](CommonDialog &) { return false; });
}

int ScriptedCommonDialog::run(const QString &kind)
{
    shown.push_back({kind, DialogTitle, Filter, Flags, FileName, FontName});
    if (answers.empty())
        return kCancelError;
    Answer a = std::move(answers.front());
    answers.pop_front();
    return a(*this) ? 0 : kCancelError;
}
