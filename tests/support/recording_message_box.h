#pragma once
// Message box double: records every box and answers from a queue (default:
// the first button of the set).

#include "platform/message_box.h"

#include <deque>
#include <vector>

class RecordingMessageBox : public MessageBox
{
public:
    struct Shown
    {
        QString title;
        QString text;
        Buttons buttons;
        Icon icon;
    };

    Answer show(QWidget *, const QString &title, const QString &text, Buttons buttons, Icon icon) override
    {
        shown.push_back({title, text, buttons, icon});
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (buttons) {
        case AbortRetryIgnore: return Abort;
        case YesNoCancel:
        case YesNo: return Yes;
        case RetryCancel: return Retry;
        default: return Ok;
        }
    }

    std::vector<Shown> shown;
    std::deque<Answer> answers;
};
