#pragma once
// Common dialog double: each Show* pops the next scripted answer (or cancels
// when none is left) and records which dialog was shown with which members.

#include "platform/common_dialog.h"

#include <QStringList>
#include <deque>
#include <functional>

class ScriptedCommonDialog : public CommonDialog
{
public:
    struct Shown
    {
        QString kind; // "open", "save", "font", "color"
        QString title;
        QString filter;
        int flags;
        QString fileName;
        QString fontName;
    };
    // An answer edits the dialog's members as the user's choice would and
    // returns false to cancel.
    using Answer = std::function<bool(CommonDialog &)>;

    void queue(Answer a) { answers.push_back(std::move(a)); }
    void queueFile(const QString &path);
    void queueCancel();

    int ShowOpen(QWidget *) override { return run(QStringLiteral("open")); }
    int ShowSave(QWidget *) override { return run(QStringLiteral("save")); }
    int ShowFont(QWidget *) override { return run(QStringLiteral("font")); }
    int ShowColor(QWidget *) override { return run(QStringLiteral("color")); }

    std::vector<Shown> shown;

private:
    int run(const QString &kind);
    std::deque<Answer> answers;
};
