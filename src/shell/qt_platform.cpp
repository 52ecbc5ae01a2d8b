#include "shell/qt_platform.h"

#include "formats/settings_file.h"
#include "shell/file_small_icon.h"
#include "shell/qt_common_dialog.h"
#include "shell/qt_file_operation_prompts.h"
#include "shell/qt_icon_save_dialog.h"
#include "shell/qt_message_box.h"
#include "shell/qt_shell_launcher.h"
#include "shell/screen_capture.h"

std::unique_ptr<Platform> makeQtPlatform()
{
    auto p = std::make_unique<Platform>();
    p->commonDialog = std::make_unique<QtCommonDialog>();
    p->messageBox = std::make_unique<QtMessageBox>();
    p->settingsStore = std::make_unique<SettingsStore>(*p->messageBox);
    p->settingsFilePath = settingsfile::defaultPath();
    p->smallIcons = std::make_unique<FileSmallIcon>();
    p->toolDialog = std::make_unique<QtCommonDialog>();
    p->screenGrab = std::make_unique<DesktopScreenGrab>();
    p->fileOperationPrompts = std::make_unique<QtFileOperationPrompts>();
    p->shellLauncher = std::make_unique<QtShellLauncher>();
    p->iconSaveDialog = std::make_unique<QtIconSaveDialog>();
    return p;
}
