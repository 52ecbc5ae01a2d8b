#include "platform/platform.h"

#include "platform/qt_common_dialog.h"
#include "platform/qt_message_box.h"
#include "commands/settings_file.h"

std::unique_ptr<Platform> Platform::qt()
{
    auto p = std::make_unique<Platform>();
    p->commonDialog = std::make_unique<QtCommonDialog>();
    p->messageBox = std::make_unique<QtMessageBox>();
    p->settingsStore = std::make_unique<SettingsStore>(*p->messageBox);
    p->settingsFilePath = settingsfile::defaultPath();
    return p;
}
