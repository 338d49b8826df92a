// Bundle services: cutting module paths to bundle directories, the module
// of a code address, Info.plist values and resource lookup in a bundle made
// under a temporary directory.
#include "cf/Bundle.h"
#include "cf/PropertyList.h"
#include "host/BundleServices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <dlfcn.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string infoPlist(const std::string& identifier)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist>\n"
           "<plist version=\"1.0\">\n<dict>\n"
           "\t<key>CFBundleExecutable</key>\n\t<string>Volantor2</string>\n"
           "\t<key>CFBundleIdentifier</key>\n\t<string>" + identifier + "</string>\n"
           "\t<key>CFBundleVersion</key>\n\t<integer>2</integer>\n"
           "\t<key>CFBundleDocumentTypes</key>\n\t<array><dict><key>x</key><string>y</string></dict></array>\n"
           "</dict>\n</plist>\n";
}

std::string nested(int depth)
{
    std::string text = "<plist><dict><key>CFBundleIdentifier</key><string>a</string><key>k</key>";
    for (int i = 0; i < depth; ++i)
        text += "<array>";
    for (int i = 0; i < depth; ++i)
        text += "</array>";
    return text + "</dict></plist>";
}

// A temporary directory holding one bundle, removed afterwards.
class BundleTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vlt2-bundle-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        temp = pattern;
        bundle = (temp / "Volantor2.vst").string();
        module = bundle + "/Contents/x86_64-linux/Volantor2.so";
        writeFile(module, "");
        writeFile(bundle + "/Contents/Info.plist", infoPlist(kBundleIdentifier));
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(temp, ignored);
    }
    void writeInfo(const std::string& text) { writeFile(bundle + "/Contents/Info.plist", text); }
    std::string resources() const { return bundle + "/Contents/Resources"; }

    fs::path temp;
    std::string bundle, module;
};

void functionInThisExecutable() {}

} // namespace

TEST(BundlePath, ThreeCutsAtSlashes)
{
    struct Case { const char* module; const char* bundle; };
    const std::vector<Case> cases = {
        {"/home/u/.vst/Volantor2.vst/Contents/x86_64-linux/Volantor2.so", "/home/u/.vst/Volantor2.vst"},
        {"/Volantor2.vst/Contents/x86_64-linux/Volantor2.so", "/Volantor2.vst"},
        {"/a/b/c/d/e", "/a/b"},
        {"rel/B.vst/Contents/x/V.so", "rel/B.vst"},
        {"B.vst/Contents/x/V.so", "B.vst"},
        {"/a/b/c/", "/a"},
        {"/a//c/d", "/a"},
        // Too few components: a cut finds no "/" or leaves nothing.
        {"/Contents/x86_64-linux/Volantor2.so", ""},
        {"Contents/x86_64-linux/Volantor2.so", ""},
        {"x86_64-linux/Volantor2.so", ""},
        {"/Volantor2.so", ""},
        {"Volantor2.so", ""},
        {"/", ""},
        {"///", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module);
        EXPECT_EQ(cf::bundleDirectoryFromModulePath(c.module), c.bundle);
    }
}

TEST(BundlePath, ModuleOfACodeAddress)
{
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    const std::string executable(exe, (std::size_t)n);

    EXPECT_EQ(cf::modulePathForAddress(reinterpret_cast<const void*>(&functionInThisExecutable)), executable);
    EXPECT_EQ(cf::moduleDirectoryForAddress(reinterpret_cast<const void*>(&functionInThisExecutable)),
              executable.substr(0, executable.rfind('/')));

    // A function of the property list library lies in a shared object of its own.
    const std::string library = cf::modulePathForAddress(dlsym(RTLD_DEFAULT, "plist_new_dict"));
    ASSERT_FALSE(library.empty());
    EXPECT_EQ(library[0], '/');
    EXPECT_NE(library.find("libplist"), std::string::npos);

    // No module holds the stack or a null pointer.
    int local = 0;
    EXPECT_EQ(cf::modulePathForAddress(&local), "");
    EXPECT_EQ(cf::moduleDirectoryForAddress(&local), "");
    EXPECT_EQ(cf::modulePathForAddress(nullptr), "");

    // The test executable sits in no bundle.
    std::string found = "unchanged";
    EXPECT_FALSE(cf::bundleWithIdentifier(kBundleIdentifier, reinterpret_cast<const void*>(&functionInThisExecutable),
                                          found));
    EXPECT_FALSE(getBundlePath(found));
    EXPECT_FALSE(getResourcePath("bank", found));
    EXPECT_FALSE(getBundleForAddress(&local, found));
    EXPECT_EQ(found, "unchanged");
}

TEST(BundlePath, FileSystemPathIsAbsoluteAndBounded)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    std::string out;
    ASSERT_TRUE(cf::fileSystemPath("x/./y.vst/", out));
    EXPECT_EQ(out, std::string(cwd == std::string("/") ? "" : cwd) + "/x/y.vst");
    ASSERT_TRUE(cf::fileSystemPath("/a//b/./c", out));
    EXPECT_EQ(out, "/a/b/c");

    const std::string longest = "/" + std::string(cf::kMaxPathBytes - 1, 'p');
    ASSERT_TRUE(cf::fileSystemPath(longest, out));
    EXPECT_EQ(out.size(), cf::kMaxPathBytes);
    out = "unchanged";
    EXPECT_FALSE(cf::fileSystemPath(longest + "p", out));
    EXPECT_FALSE(cf::fileSystemPath("", out));
    EXPECT_FALSE(cf::fileSystemPath(std::string("/a\0b", 4), out));
    EXPECT_EQ(out, "unchanged");
}

TEST_F(BundleTest, ReadsInfoPlistStrings)
{
    struct Case { const char* key; bool found; const char* value; };
    const std::vector<Case> cases = {
        {"CFBundleIdentifier", true, kBundleIdentifier},
        {"CFBundleExecutable", true, "Volantor2"},
        {"CFBundleVersion", false, ""},       // an integer, not a string
        {"CFBundleDocumentTypes", false, ""}, // an array
        {"NoSuchKey", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::string value = "unchanged";
        EXPECT_EQ(cf::infoPlistString(bundle, c.key, value), c.found);
        EXPECT_EQ(value, c.found ? c.value : "unchanged");
    }
}

TEST_F(BundleTest, FindsTheBundleOnlyUnderItsIdentifier)
{
    std::string found;
    ASSERT_TRUE(cf::bundleWithIdentifierAtModulePath(kBundleIdentifier, module, found));
    EXPECT_EQ(found, bundle);

    found = "unchanged";
    EXPECT_FALSE(cf::bundleWithIdentifierAtModulePath("com.other.Plugin", module, found));
    EXPECT_FALSE(cf::bundleWithIdentifierAtModulePath("", module, found));
    EXPECT_FALSE(cf::bundleWithIdentifierAtModulePath(kBundleIdentifier, bundle + "/Contents/Volantor2.so", found));
    EXPECT_FALSE(cf::bundleWithIdentifierAtModulePath(kBundleIdentifier, "", found));
    EXPECT_EQ(found, "unchanged");
}

TEST_F(BundleTest, BadInfoPlistsReadAsNothing)
{
    struct Case { const char* what; std::string text; };
    const std::vector<Case> cases = {
        {"empty", ""},
        {"not XML", "CFBundleIdentifier = com.tindalo-quorrel.Volantor2;"},
        {"truncated", infoPlist(kBundleIdentifier).substr(0, 250)},
        {"mismatched tags", "<plist><dict><key>CFBundleIdentifier</key><string>a</key></dict></plist>"},
        {"bad entity", "<plist><dict><key>CFBundleIdentifier</key><string>&bogus;</string></dict></plist>"},
        {"array at the root", "<plist><array><string>com.tindalo-quorrel.Volantor2</string></array></plist>"},
        {"string at the root", "<plist><string>com.tindalo-quorrel.Volantor2</string></plist>"},
        {"binary bytes", std::string("bplist00\0\xff\x01\x02", 12)},
        {"NUL in a string", std::string("<plist><dict><key>CFBundleIdentifier</key><string>a\0b</string></dict></plist>", 77)},
        {"NUL reference", "<plist><dict><key>CFBundleIdentifier</key><string>a&#0;b</string></dict></plist>"},
        {"nested past the limit", nested(cf::Dictionary::kMaxDepth)},
        {"nested deep enough to overflow a stack", nested(200000)},
        {"unclosed nesting", "<plist><dict><key>k</key>" + std::string(500000, '<')},
        {"hidden closings", "<plist><dict><key>k</key>" + [] {
             std::string s;
             for (int i = 0; i < 100; ++i)
                 s += "<array><!-- </array> -->";
             return s;
         }()},
        {"too large", "<plist><dict>" + std::string(cf::Dictionary::kMaxFileBytes, ' ') + "</dict></plist>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeInfo(c.text);
        std::string value = "unchanged";
        EXPECT_FALSE(cf::infoPlistString(bundle, "CFBundleIdentifier", value));
        EXPECT_FALSE(cf::bundleWithIdentifierAtModulePath(kBundleIdentifier, module, value));
        EXPECT_EQ(value, "unchanged");
    }

    // Nesting within the limit reads.
    writeInfo(nested(cf::Dictionary::kMaxDepth - 3));
    std::string value;
    EXPECT_TRUE(cf::infoPlistString(bundle, "CFBundleIdentifier", value));
    EXPECT_EQ(value, "a");
}

TEST_F(BundleTest, MissingOrOddInfoPlistReadsAsNothing)
{
    std::string value = "unchanged";
    fs::remove(bundle + "/Contents/Info.plist");
    EXPECT_FALSE(cf::infoPlistString(bundle, "CFBundleIdentifier", value));
    fs::create_directory(bundle + "/Contents/Info.plist");
    EXPECT_FALSE(cf::infoPlistString(bundle, "CFBundleIdentifier", value));
    fs::remove(bundle + "/Contents/Info.plist");
    ASSERT_EQ(mkfifo((bundle + "/Contents/Info.plist").c_str(), 0600), 0);
    EXPECT_FALSE(cf::infoPlistString(bundle, "CFBundleIdentifier", value)); // does not block
    EXPECT_FALSE(cf::infoPlistString(temp.string() + "/Nowhere.vst", "CFBundleIdentifier", value));
    EXPECT_FALSE(cf::infoPlistString("", "CFBundleIdentifier", value));
    EXPECT_EQ(value, "unchanged");
}

TEST_F(BundleTest, FindsResources)
{
    writeFile(resources() + "/bank", "bank");
    writeFile(resources() + "/corbel-bold.ttf", "font");
    writeFile(resources() + "/sounds/stab.wav", "RIFF");
    writeFile(resources() + "/sounds/deeper/pad.wav", "RIFF");
    writeFile(bundle + "/Contents/secret", "outside the resources");
    fs::create_directories(resources() + "/folder.ttf");

    std::string path;
    ASSERT_TRUE(cf::resourcesPath(bundle, path));
    EXPECT_EQ(path, resources());

    struct Case { const char* name; const char* type; const char* subdirectory; const char* found; };
    const std::vector<Case> cases = {
        {"bank", "", "", "/bank"},
        {"corbel-bold", "ttf", "", "/corbel-bold.ttf"},
        {"corbel-bold.ttf", "", "", "/corbel-bold.ttf"},
        {"stab", "wav", "sounds", "/sounds/stab.wav"},
        {"stab", "wav", "sounds/", "/sounds/stab.wav"},
        {"pad", "wav", "sounds/deeper", "/sounds/deeper/pad.wav"},
        // Missing resources.
        {"bank", "ttf", "", nullptr},
        {"corbel-bold", "", "", nullptr},
        {"missing", "", "", nullptr},
        {"stab", "wav", "", nullptr},
        {"stab", "wav", "other", nullptr},
        {"folder", "ttf", "", nullptr},  // a directory, not a file
        // Names that would leave the resources directory, or are no names.
        {"", "", "", nullptr},
        {"..", "", "", nullptr},
        {"../secret", "", "", nullptr},
        {"secret", "", "..", nullptr},
        {"secret", "", "sounds/../..", nullptr},
        {"Info", "plist", "/", nullptr},
        {"bank", "/", "", nullptr},
        {"sounds/stab", "wav", "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " . " << c.type << " in " << c.subdirectory);
        path = "unchanged";
        const bool found = *c.subdirectory ? cf::resourcePathInDirectory(bundle, c.name, c.type, c.subdirectory, path)
                                           : cf::resourcePath(bundle, c.name, c.type, path);
        EXPECT_EQ(found, c.found != nullptr);
        EXPECT_EQ(path, c.found ? resources() + c.found : "unchanged");
    }

    path = "unchanged";
    EXPECT_FALSE(cf::resourcePath("", "bank", "", path));
    EXPECT_FALSE(cf::resourcePath(temp.string() + "/Nowhere.vst", "bank", "", path));
    EXPECT_FALSE(cf::resourcePath(bundle, std::string("bank\0x", 6), "", path));
    EXPECT_FALSE(cf::resourcesPath(temp.string() + "/Nowhere.vst", path));
    EXPECT_EQ(path, "unchanged");
}

TEST_F(BundleTest, ResourcePathsLongerThanTheLimitAreRefused)
{
    // Directories nested until the resource's path passes the limit.
    std::string deep = resources();
    while (deep.size() < cf::kMaxPathBytes - 200)
        deep += "/" + std::string(100, 'd');
    const std::string subdirectory = deep.substr(resources().size() + 1);
    std::string name(cf::kMaxPathBytes - deep.size() - 1, 'n');
    writeFile(deep + "/" + name, "fits");
    writeFile(deep + "/" + name + "x", "too long");

    std::string path;
    ASSERT_TRUE(cf::resourcePathInDirectory(bundle, name, "", subdirectory, path));
    EXPECT_EQ(path.size(), cf::kMaxPathBytes);
    EXPECT_FALSE(cf::resourcePathInDirectory(bundle, name + "x", "", subdirectory, path));
}
