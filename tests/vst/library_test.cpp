// The layer linked into a shared library and driven only through the C ABI,
// the way a host sees a plug-in.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "vst/aeffect.h"

namespace {

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

using Entry = AEffect* (*)(audioMasterCallback);

TEST(Library, HostLoadsDrivesAndClosesThePlugin) {
    void* lib = dlopen(PROBE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto entry = reinterpret_cast<Entry>(dlsym(lib, "VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(dlsym(lib, "_ZN11AudioEffect10dispatcherEiilPvf"), nullptr) << "only the entry is exported";

    AEffect* e = entry(host);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->uniqueID, vstFourCC('T', 'e', 's', 't'));
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->dispatcher(e, effGetVstVersion, 0, 0, nullptr, 0), 2400);

    char text[kVstMaxProductStrLen] = {};
    EXPECT_EQ(e->dispatcher(e, effGetProductString, 0, 0, text, 0), 1);
    EXPECT_STREQ(text, "Tiny");
    char insert[] = "plugAsChannelInsert", other[] = "plugAsSend";
    EXPECT_EQ(e->dispatcher(e, effCanDo, 0, 0, insert, 0), 1);
    EXPECT_EQ(e->dispatcher(e, effCanDo, 0, 0, other, 0), -1);

    e->setParameter(e, 0, 0.5f);
    EXPECT_EQ(e->getParameter(e, 0), 0.5f);
    float l[3] = {1, 2, 4}, r[3] = {-1, -2, -4}, ol[3], orr[3];
    float* ins[] = {l, r};
    float* outs[] = {ol, orr};
    e->processReplacing(e, ins, outs, 3);
    EXPECT_EQ(ol[2], 2.0f);
    EXPECT_EQ(orr[1], -1.0f);

    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0);
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0);
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0), 1);
    dlclose(lib);
}

}  // namespace
