#pragma once
// The program's real services: Qt dialogs and message boxes, the per-user
// settings store and the settings file beside the program.

#include "platform/platform.h"

#include <memory>

std::unique_ptr<Platform> makeQtPlatform();
