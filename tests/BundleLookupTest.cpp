// The built plug-in finds its own bundle from its module's location, also
// when two copies are loaded in one process.
#include "cf/Bundle.h"
#include "vst2/Vst2.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

using PluginMain = AEffect* (*)(audioMasterCallback);

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

class BundleLookup : public ::testing::Test
{
protected:
    fs::path root;

    void SetUp() override
    {
        char pattern[] = "/tmp/vlt2-bundles-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }

    // A copy of the built bundle under root/<name>/Volantor2.vst.
    fs::path copyBundle(const char* name)
    {
        fs::path destination = root / name / "Volantor2.vst";
        fs::create_directories(destination.parent_path());
        fs::copy(VOLANTOR_BUNDLE_DIR, destination, fs::copy_options::recursive);
        return fs::canonical(destination);
    }
};

} // namespace

TEST_F(BundleLookup, EachLoadedCopyFindsItsOwnBundle)
{
    const fs::path a = copyBundle("a"), b = copyBundle("b");
    void* moduleA = dlopen((a / "Contents/x86_64-linux/Volantor2.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    void* moduleB = dlopen((b / "Contents/x86_64-linux/Volantor2.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(moduleA, nullptr) << dlerror();
    ASSERT_NE(moduleB, nullptr) << dlerror();
    auto mainA = reinterpret_cast<PluginMain>(dlsym(moduleA, "VSTPluginMain"));
    auto mainB = reinterpret_cast<PluginMain>(dlsym(moduleB, "VSTPluginMain"));
    ASSERT_NE(mainA, nullptr);
    ASSERT_NE(mainB, nullptr);
    ASSERT_NE((void*)mainA, (void*)mainB);

    std::string foundA, foundB;
    EXPECT_TRUE(cf::bundleWithIdentifier(VOLANTOR_BUNDLE_ID, (const void*)mainA, foundA));
    EXPECT_TRUE(cf::bundleWithIdentifier(VOLANTOR_BUNDLE_ID, (const void*)mainB, foundB));
    EXPECT_EQ(foundA, a.string());
    EXPECT_EQ(foundB, b.string());

    // Each plug-in reads the factory bank of its own bundle: copy B has none.
    fs::remove(b / "Contents/Resources/bank");
    for (auto [main, missing] : {std::pair{mainA, false}, std::pair{mainB, true}}) {
        testing::internal::CaptureStdout();
        AEffect* effect = main(host);
        std::fflush(stdout);
        const std::string log = testing::internal::GetCapturedStdout();
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(log.find("bank not found") != std::string::npos, missing) << log;
        if (missing) {
            EXPECT_NE(log.find("path=" + (b / "Contents/Resources/bank").string()), std::string::npos) << log;
        }
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0);
    }

    dlclose(moduleA);
    dlclose(moduleB);
}
