#pragma once
// Shell launcher double: records what the program asked the desktop to open
// and answers with a scripted result; it never starts anything.

#include "platform/shell_launcher.h"

#include <vector>

class RecordingShellLauncher : public ShellLauncher
{
public:
    struct Request
    {
        QString operation;
        QString file;
        QString parameters;
        QString folder;
    };

    void ShellExecute(QWidget *, const QString &operation, const QString &file, const QString &parameters,
                      const QString &folder, Outcome outcome = {}) override
    {
        requests.push_back({operation, file, parameters, folder});
        if (outcome)
            outcome(result);
    }

    std::vector<Request> requests;
    int result = kNoAssociation;
};
