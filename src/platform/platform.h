#pragma once
// The outside services a window needs, handed over in one object so that tests
// can swap in doubles that script the user's answers. The program's real set is
// assembled above this floor (shell/qt_platform.h).

#include "platform/common_dialog.h"
#include "platform/file_operation_prompts.h"
#include "platform/icon_save_dialog.h"
#include "platform/message_box.h"
#include "platform/screen_grab.h"
#include "platform/settings_store.h"
#include "platform/shell_launcher.h"
#include "platform/small_icon.h"

#include <memory>

struct Platform
{
    std::unique_ptr<CommonDialog> commonDialog; // the main window's shared dialog `cd`
    std::unique_ptr<MessageBox> messageBox;
    std::unique_ptr<SettingsStore> settingsStore;               // the per-user store; reports through messageBox
    QString settingsFilePath;                                   // where VornForm.vrn is read and written
    std::unique_ptr<SmallIconSource> smallIcons;                // the shell's small icon of a file
    std::unique_ptr<CommonDialog> toolDialog;                   // the tool window's own dialog `CommonDialog1`
    std::unique_ptr<ScreenGrab> screenGrab;                     // the still desktop for the colour picker
    std::unique_ptr<FileOperationPrompts> fileOperationPrompts; // confirmations and progress of file operations
    std::unique_ptr<ShellLauncher> shellLauncher;   // programs, documents and addresses opened by the desktop
    std::unique_ptr<IconSaveDialog> iconSaveDialog; // the sizes and transparent colour of an .ico being saved
};
