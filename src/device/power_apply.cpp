#include "device/power_apply.h"

#include "device/applied_settings.h"
#include "device/discovery.h"

void ApplySettingsOnPowerEvent(std::uintptr_t event) {
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
        // The handles opened before the sleep may point at a node that is gone; the search
        // also follows the mouse to a new node (and the path notifications compare with).
        g_deviceConnected = OpenDevice();
    }
    RewriteLastAppliedSettings();
}
