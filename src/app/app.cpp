#include "app/app.h"

#include <QApplication>
#include <cstdio>

#include "app/core/program_files_dir.h"
#include "app/main_dialog.h"
#include "app/single_instance.h"
#include "common/paths.h"
#include "device/discovery.h"
#include "platform/dialog_service.h"
#include "platform/message_service.h"
#include "platform/module_path.h"
#include "platform/simulated_mouse.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/message_box.h"

CKVE_ZelboApp theApp;

CKVE_ZelboApp::CKVE_ZelboApp() {
    g_strExeDir = platform::ExecutableDir();
}

bool CKVE_ZelboApp::InitInstance() {
    app::SingleInstance instance;
    if (instance.AnotherCopyRuns()) {
        // No message box: the first copy's window comes back and this copy ends. A line on the
        // error output says why to whoever started this copy from a terminal or a script.
        const bool asked = instance.AskFirstCopyToRestore();
        std::fprintf(stderr,
                     "zelbo-mouse: another copy of the program runs for this user (%s)%s; this "
                     "copy ends\n",
                     qPrintable(instance.SocketPath()),
                     asked ? ": its window was asked to come back" : "");
        return false;
    }
    // An installed copy, whose folder the user cannot write, works on the user's own copy.
    g_strExeDir = app::ProgramFilesDir(g_strExeDir, app::UserDataHome());
    // A person without the mouse, and the end-to-end runs, select the simulated one.
    platform::InstallHidBackendFromEnvironment(BuiltInMouseAttributes());
    // Closing the window only hides it; the program ends when the dialog does.
    QApplication::setQuitOnLastWindowClosed(false);

    CKVE_ZelboDlg dlg;
    const std::unique_ptr<platform::MessageService> messages = ui::MakeMessageService(&dlg);
    platform::MessageService* const previous = platform::SetMessageService(messages.get());
    ui::QtDialogService dialogs(&dlg);
    platform::DialogService* const previousDialogs = platform::SetDialogService(&dialogs);
    instance.Listen([&dlg] { dlg.RestoreWindow(); });
    dlg.DoModal();
    platform::SetDialogService(previousDialogs);
    platform::SetMessageService(previous);
    return false;
}
