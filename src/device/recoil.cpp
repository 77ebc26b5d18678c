#include "device/recoil.h"

#include <algorithm>

#include "app/core/paths.h"
#include "device/macro_body.h"
#include "device/settings_image.h"
#include "macro/macro_file_writer.h"
#include "macro/macro_record.h"
#include "profile/profile_settings.h"

void AdjustRecoil(int up) {
    const int profile = g_curConfigIdx.load() & 3;
    const int f = KeyFunc[profile][0];
    const int index = f - UserMacroFunctionBase;
    if (index < 0 || index >= std::clamp<int>(g_macroCount, 0, MaxUserMacros)) {
        return;  // the first button holds no user macro
    }
    MacroRecord working = g_macros[index];
    // The body to rewrite is the one the last Apply wrote for this profile's first button, and
    // only when it was written for this same macro at the size it still needs: any other body
    // belongs to another macro (or to nothing), and rewriting it would corrupt the mouse's
    // memory. Then only the record and the file are adjusted; the next Apply sends them.
    const std::uint32_t size = g_macroDevBodySize[profile][0];
    const bool bodyIsThisMacro =
        g_macroDevBodyFunc[profile][0] == f && size > 0 &&
        std::min<std::uint32_t>(MacroBodySize(working), MacroBodySlotLimit) == size;
    std::vector<std::uint8_t> body = EncodeMacroBodyWithRecoil(working, size, up != 0);
    if (bodyIsThisMacro) {
        WriteMacroBody(static_cast<int>(g_macroDevAddr[profile][0]), body);
    }
    g_macros[index] = working;
    SaveMacro(g_strMacroFile, index);
}
