#include "device/recoil.h"

#include <algorithm>

#include "app/core/paths.h"
#include "device/macro_body.h"
#include "device/settings_image.h"
#include "macro/macro_file_writer.h"
#include "macro/macro_record.h"
#include "profile/profile_settings.h"

void AdjustRecoil(int up) {
    const std::uint8_t raise = up != 0 ? 1 : 0;
    AdjustRecoilSteps(std::span(&raise, 1));
}

void AdjustRecoilSteps(std::span<const std::uint8_t> ups) {
    const int profile = g_curConfigIdx.load() & 3;
    const int f = KeyFunc[profile][0];
    const int index = f - UserMacroFunctionBase;
    if (ups.empty() || index < 0 || index >= std::clamp<int>(g_macroCount, 0, MaxUserMacros)) {
        return;  // the first button holds no user macro
    }
    MacroRecord working = g_macros[index];
    for (std::uint8_t up : ups) {
        MoveRecoilSteps(working, up != 0);
    }
    // The body to rewrite is the one the last Apply wrote for this profile's first button, and
    // only when it was written for this same macro at the size it still needs: any other body
    // belongs to another macro (or to nothing), and rewriting it would corrupt the mouse's
    // memory. Then only the record and the file are adjusted; the next Apply sends them.
    const std::uint32_t size = g_macroDevBodySize[profile][0];
    const std::uint32_t needed = MacroBodySize(working);
    if (g_macroDevBodyFunc[profile][0] == f && size > 0 &&
        std::min<std::uint32_t>(needed, MacroBodySlotLimit) == size) {
        // Encoded as Apply encodes it: whole, then cut to its slot.
        std::vector<std::uint8_t> body = EncodeMacroBody(working, needed);
        body.resize(size);
        WriteMacroBody(static_cast<int>(g_macroDevAddr[profile][0]), body);
    }
    g_macros[index] = working;
    // The whole list, not the one key: the file may hold another list than memory (a macro
    // deleted or added since the last save), and its key index would then be another macro.
    OnWriteMacroList(g_strMacroFile, 1);
}
