#pragma once
// "Icon sizes" double: records each question; answers with the next queued
// answer, or with the question's own defaults when none is queued (as a user
// pressing OK at once), so saves that do not care about sizes need no script.

#include "platform/icon_save_dialog.h"

#include <deque>
#include <functional>

class ScriptedIconSaveDialog : public IconSaveDialog
{
public:
    // Returns the user's choice from the question, nullopt to cancel.
    using Answer = std::function<std::optional<Choice>(const Question &)>;

    void queue(Answer a) { answers_.push_back(std::move(a)); }
    void queueCancel()
    {
        queue([](const Question &) { return std::nullopt; });
    }

    std::optional<Choice> ask(QWidget *, const Question &question) override
    {
        asked.push_back(question);
        if (answers_.empty())
            return Choice{question.sizes, question.transparent};
        const Answer a = std::move(answers_.front());
        answers_.pop_front();
        return a(question);
    }

    std::vector<Question> asked;

private:
    std::deque<Answer> answers_;
};
