// The program's surroundings for a test that runs the window in the test's own process: a copy
// of the program folder as g_strExeDir, virtual time, recorded message boxes, scripted file and
// colour dialogs, the simulated mouse as the HID backend and a notification area. Everything is
// put back when the object goes. On the test's thread.
#pragma once

#include <QString>

#include "device/discovery.h"
#include "platform/clock.h"
#include "platform/dialog_service.h"
#include "platform/message_service.h"
#include "platform/simulated_mouse.h"
#include "support/program_run.h"

namespace testing_support {

class ProgramInProcess {
public:
    ProgramInProcess();
    ~ProgramInProcess();
    ProgramInProcess(const ProgramInProcess&) = delete;
    ProgramInProcess& operator=(const ProgramInProcess&) = delete;

    ProgramFolder folder{QStringLiteral(ZELBO_PROGRAM_DIR)};
    platform::VirtualClock clock;
    platform::RecordingMessageService messages;
    platform::ScriptedDialogService dialogs;
    platform::SimulatedMouse mouse{BuiltInMouseAttributes()};

private:
    QString savedExeDir_;
    platform::Clock* previousClock_ = nullptr;
    platform::MessageService* previousMessages_ = nullptr;
    platform::DialogService* previousDialogs_ = nullptr;
};

}  // namespace testing_support
