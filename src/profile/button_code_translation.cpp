#include "profile/button_code_translation.h"

namespace {

int SameCode(const QString& /*path*/, int code) {
    return code;
}

void KeepCodes(const QString& /*path*/) {}

ButtonCodeTranslation g_translation{SameCode, KeepCodes};  // user-interface thread

}  // namespace

void SetButtonCodeTranslation(const ButtonCodeTranslation& translation) {
    g_translation = translation;
}

const ButtonCodeTranslation& CurrentButtonCodeTranslation() {
    return g_translation;
}
