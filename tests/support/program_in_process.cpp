#include "support/program_in_process.h"

#include "common/paths.h"
#include "platform/hid.h"
#include "ui/shell/tray_icon.h"

namespace testing_support {

ProgramInProcess::ProgramInProcess()
    : savedExeDir_(g_strExeDir),
      previousClock_(platform::SetClock(&clock)),
      previousMessages_(platform::SetMessageService(&messages)),
      previousDialogs_(platform::SetDialogService(&dialogs)) {
    g_strExeDir = folder.Dir();
    platform::SetHidBackend(&mouse);
    ui::SetNotificationAreaAvailable(true);  // a desktop with one, as the program expects
}

ProgramInProcess::~ProgramInProcess() {
    ui::SetNotificationAreaAvailable(std::nullopt);
    platform::SetHidBackend(nullptr);
    platform::SetDialogService(previousDialogs_);
    platform::SetMessageService(previousMessages_);
    platform::SetClock(previousClock_);
    g_strExeDir = savedExeDir_;
}

}  // namespace testing_support
