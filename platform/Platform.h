#pragma once

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"
#include "platform/Printer.h"
#include "platform/Prompts.h"
#include "platform/SystemInfo.h"

namespace tess::platform {

/// Everything the program asks of the operating system, in one place.
/// The program passes the real services; tests pass scripted ones.
struct Platform
{
    Prompts* prompts = nullptr;
    Clock* clock = nullptr;
    Folders* folders = nullptr;
    Dialogs* dialogs = nullptr;
    Shell* shell = nullptr;
    Printer* printer = nullptr;
    SystemInfo* systemInfo = nullptr;
};

} // namespace tess::platform
