// The library's entry point, under the two names hosts look for.
#include <new>

#include "shell/effect_vst.h"

using kelvoran::EffectVST;

#define KELVORAN_EXPORT extern "C" __attribute__((visibility("default")))

KELVORAN_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    // A host that reports interface version 0 (or gives no callback) gets no effect. The
    // base class's version query would count 0 as 1, so the host is asked directly.
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0) == 0) return nullptr;
    try {
        auto* effect = new EffectVST(host);
        if (!effect->engine) {
            delete effect;
            return nullptr;
        }
        return effect->getAeffect();
    } catch (const std::bad_alloc&) {
        return nullptr;  // never let an exception reach the host
    }
}

// Older hosts call "main"; it is the same function. The command-line tools link this file
// into a program of their own, which has its own main.
#ifndef KELVORAN_NO_MAIN_ALIAS
KELVORAN_EXPORT __attribute__((alias("VSTPluginMain"))) AEffect* vstMainAlias(audioMasterCallback host)
    __asm__("main");
#endif
