#include "device/recoil.h"

#include <QStringLiteral>
#include <algorithm>
#include <optional>
#include <vector>

#include "common/log_file.h"
#include "device/applied_settings.h"
#include "device/body_writer.h"
#include "device/macro_body.h"
#include "device/settings_image.h"
#include "macro/macro_bindings.h"
#include "macro/macro_record.h"

namespace {

struct BodyWrite {
    int address = 0;
    std::vector<std::uint8_t> body;
};

// Adjusts the record (adjusted says whether it did); the body the mouse is to get, if any.
std::optional<BodyWrite> AdjustRecord(std::span<const std::uint8_t> ups, bool& adjusted) {
    // The macro the mouse plays on the first button of the profile it works with: the one the
    // last Apply wrote there, wherever it has moved in the list since. Not the one the window
    // now shows on that button, which reaches the mouse only with the next Apply.
    const int profile = g_mouseProfileIdx & 3;
    const int index = g_mouseFirstButtonMacro[profile];
    if (ups.empty()) {
        return std::nullopt;
    }
    if (index == DeletedUserMacro) {
        g_LogFile.Write(QStringLiteral(
            "Recoil event dropped: the macro on the first button is no longer in the list"));
        return std::nullopt;
    }
    if (index < 0 || index >= std::clamp<int>(g_macroCount, 0, MaxUserMacros)) {
        return std::nullopt;  // the first button plays no user macro
    }
    MacroRecord working = g_macros[index];
    for (std::uint8_t up : ups) {
        MoveRecoilSteps(working, up != 0);
    }
    // The body is rewritten only at the size the last Apply gave it there: a macro edited since
    // to another size would run into the next body. Then only the record and the file are
    // adjusted; the next Apply sends them.
    std::optional<BodyWrite> write;
    const std::uint32_t size = g_macroDevBodySize[profile][0];
    const std::uint32_t needed = MacroBodySize(working);
    if (size > 0 && std::min<std::uint32_t>(needed, MacroBodySlotLimit) == size) {
        // Encoded as Apply encodes it: whole, then cut to its slot.
        write = BodyWrite{static_cast<int>(g_macroDevAddr[profile][0]),
                          EncodeMacroBody(working, needed)};
        write->body.resize(size);
    }
    g_macros[index] = working;
    adjusted = true;
    return write;
}

}  // namespace

void AdjustRecoil(int up) {
    const std::uint8_t raise = up != 0 ? 1 : 0;
    AdjustRecoilSteps(std::span(&raise, 1));
}

void AdjustRecoilSteps(std::span<const std::uint8_t> ups, std::function<void()> written) {
    bool adjusted = false;
    std::optional<BodyWrite> write = AdjustRecord(ups, adjusted);
    if (write) {
        KeepRewrittenBody(write->address, write->body);
        if (MacroBodyWriter* writer = CurrentMacroBodyWriter()) {
            writer->Write(write->address, std::move(write->body), std::move(written));
            written = nullptr;
        } else {
            WriteMacroBody(write->address, write->body);
        }
    }
    // The body is on its way to the mouse before the file is saved: whatever happens to the
    // macro file, the mouse plays the adjusted macro. The whole list, not the one key: the file
    // may hold another list than memory (a macro deleted or added since the last save), and its
    // key index would then be another macro.
    if (adjusted) {
        SaveUserMacroList();
    }
    if (written) {
        written();
    }
}
