#pragma once
// File operation prompts double: records every question and progress call and
// answers from queues (default: yes, go on).

#include "platform/file_operation_prompts.h"

#include <deque>
#include <functional>
#include <utility>
#include <vector>

class ScriptedFileOperationPrompts : public FileOperationPrompts
{
public:
    struct DeleteAsked
    {
        QStringList files;
        bool toTrash;
    };

    Answer confirmReplace(const QString &destination) override
    {
        replaceAsked << destination;
        if (whileAsked)
            whileAsked();
        return next(replaceAnswers, Answer::Yes);
    }
    bool confirmDelete(const QStringList &files, bool toTrash) override
    {
        deleteAsked.push_back({files, toTrash});
        return next(deleteAnswers, true);
    }
    void progressBegin(int total, bool showNames) override { begins.push_back({total, showNames}); }
    bool progressStep(int index, const QString &name) override
    {
        steps.push_back({index, name});
        return next(stepAnswers, true);
    }
    void progressEnd() override { ++ends; }
    void reportFailure(const QString &reason) override { failures << reason; }

    QStringList replaceAsked;
    std::function<void()> whileAsked; // run while a replace question is up
    std::deque<Answer> replaceAnswers;
    std::vector<DeleteAsked> deleteAsked;
    std::deque<bool> deleteAnswers;
    std::vector<std::pair<int, bool>> begins; // total, names shown
    std::vector<std::pair<int, QString>> steps;
    std::deque<bool> stepAnswers;
    int ends = 0;
    QStringList failures; // reasons reported

private:
    template <typename T> static T next(std::deque<T> &queue, T otherwise)
    {
        if (queue.empty())
            return otherwise;
        const T a = queue.front();
        queue.pop_front();
        return a;
    }
};
