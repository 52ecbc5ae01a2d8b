#pragma once
// A Platform whose dialogs and message boxes are doubles the test can script.

#include "platform/platform.h"
#include "shell/file_small_icon.h"
#include "shell/screen_capture.h"
#include "support/recording_message_box.h"
#include "support/recording_shell_launcher.h"
#include "support/scripted_common_dialog.h"
#include "support/scripted_file_operation_prompts.h"
#include "support/scripted_icon_save_dialog.h"

#include <QTemporaryDir>

struct TestPlatform
{
    std::unique_ptr<Platform> platform;
    ScriptedCommonDialog *dialog;
    ScriptedCommonDialog *toolDialog; // the tool window's own dialog
    RecordingMessageBox *messages;
    ScriptedFileOperationPrompts *fileOperationPrompts;
    ScriptedIconSaveDialog *iconSaveDialog;
    RecordingShellLauncher *shell;
    QTemporaryDir settingsDir; // a private per-user store for each test

    TestPlatform()
        : platform(std::make_unique<Platform>())
    {
        auto d = std::make_unique<ScriptedCommonDialog>();
        auto m = std::make_unique<RecordingMessageBox>();
        dialog = d.get();
        messages = m.get();
        platform->commonDialog = std::move(d);
        platform->messageBox = std::move(m);
        platform->settingsStore =
            std::make_unique<SettingsStore>(*messages, settingsDir.filePath(QStringLiteral("settings.ini")));
        platform->settingsFilePath = settingsDir.filePath(QStringLiteral("VornForm.vrn"));
        platform->smallIcons = std::make_unique<FileSmallIcon>(); // the real one: it runs anywhere
        auto t = std::make_unique<ScriptedCommonDialog>();
        toolDialog = t.get();
        platform->toolDialog = std::move(t);
        // The real grab: the offscreen screen composes the shown windows too.
        platform->screenGrab = std::make_unique<DesktopScreenGrab>();
        auto f = std::make_unique<ScriptedFileOperationPrompts>();
        fileOperationPrompts = f.get();
        platform->fileOperationPrompts = std::move(f);
        auto i = std::make_unique<ScriptedIconSaveDialog>();
        iconSaveDialog = i.get();
        platform->iconSaveDialog = std::move(i);
        // Nothing outside the test may start: the real launcher is tried against
        // a private desktop of its own (tests/shell/launcher_test.cpp).
        auto s = std::make_unique<RecordingShellLauncher>();
        shell = s.get();
        platform->shellLauncher = std::move(s);
    }
};
