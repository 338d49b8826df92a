// Preferences: where the store lives, string values written and read back,
// other keys kept, and missing or corrupt stores reading as nothing.
#include "cf/Preferences.h"
#include "cf/PropertyList.h"
#include "host/BundleServices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kId[] = "com.example.PreferencesTest";

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Saves and restores an environment variable.
class SavedVariable
{
public:
    explicit SavedVariable(const char* name) : name(name)
    {
        const char* value = std::getenv(name);
        if (value)
            saved = value;
        wasSet = value != nullptr;
    }
    ~SavedVariable()
    {
        if (wasSet)
            setenv(name, saved.c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    std::string saved;
    bool wasSet = false;
};

// XDG_CONFIG_HOME points at a directory not yet made inside a temporary one.
class PreferencesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vlt2-prefs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        temp = pattern;
        config = temp / "config" / "home";
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        store = config / (std::string(kId) + ".plist");
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(temp, ignored);
    }
    std::vector<std::string> configFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(config))
            names.push_back(entry.path().filename().string());
        return names;
    }

    SavedVariable xdg{"XDG_CONFIG_HOME"}, home{"HOME"};
    fs::path temp, config, store;
};

} // namespace

TEST_F(PreferencesTest, StoreLivesInTheConfigDirectory)
{
    EXPECT_EQ(cf::preferencesFile(kId), store.string());
    setenv("XDG_CONFIG_HOME", (config.string() + "/").c_str(), 1);
    EXPECT_EQ(cf::preferencesFile(kId), store.string());

    setenv("HOME", "/home/someone", 1);
    for (const char* ignored : {"", "relative/dir"}) {
        setenv("XDG_CONFIG_HOME", ignored, 1);
        EXPECT_EQ(cf::preferencesFile(kId), "/home/someone/.config/com.example.PreferencesTest.plist");
    }
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(cf::preferencesFile(kId), "/home/someone/.config/com.example.PreferencesTest.plist");
    unsetenv("HOME");
    EXPECT_EQ(cf::preferencesFile(kId), "");
    std::string value = "unchanged";
    EXPECT_FALSE(cf::copyPreferenceString(kId, "User Path", value));
    EXPECT_FALSE(cf::setPreferenceString(kId, "User Path", "/x"));
    EXPECT_EQ(value, "unchanged");

    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "a/b", "../escape", std::string("a\0b", 3)}) {
        EXPECT_EQ(cf::preferencesFile(bad), "");
        EXPECT_FALSE(cf::setPreferenceString(bad, "User Path", "/x"));
    }
}

TEST_F(PreferencesTest, ValuesRoundTrip)
{
    const std::vector<std::string> values = {
        "/home/someone/Samples",
        "",
        "  spaces at both ends  ",
        "a & b < c > d \"quoted\" 'single' ]]> <!-- -->",
        "Klänge/音色/🎹",
        "line one\nline two\ttabbed\r\n",
        "\xff\xfe not UTF-8, \x01 control",
        std::string(4000, 'x'),
        "/last",
    };
    std::string value;
    EXPECT_FALSE(cf::copyPreferenceString(kId, "User Path", value)); // no store yet
    EXPECT_FALSE(fs::exists(config));
    for (const std::string& written : values) {
        SCOPED_TRACE(written.substr(0, 60));
        ASSERT_TRUE(cf::setPreferenceString(kId, "User Path", written));
        value = "unchanged";
        ASSERT_TRUE(cf::copyPreferenceString(kId, "User Path", value));
        EXPECT_EQ(value, written);
        // Each write replaces the file whole; no temporary file stays.
        EXPECT_EQ(configFiles(), std::vector<std::string>{store.filename().string()});
    }
    EXPECT_EQ(fs::status(config).permissions() & fs::perms::all, fs::perms::owner_all);

    // Values and keys with NUL bytes cannot be stored and change nothing.
    EXPECT_FALSE(cf::setPreferenceString(kId, "User Path", std::string("a\0b", 3)));
    EXPECT_FALSE(cf::setPreferenceString(kId, std::string("User\0Path", 9), "x"));
    ASSERT_TRUE(cf::copyPreferenceString(kId, "User Path", value));
    EXPECT_EQ(value, "/last");
}

TEST_F(PreferencesTest, OtherKeysAreKept)
{
    writeText(store, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<plist version=\"1.0\"><dict>\n"
                     "<key>Window</key><string>left</string>\n"
                     "<key>Count</key><integer>7</integer>\n"
                     "<key>Recent</key><array><string>/a</string><string>/b</string></array>\n"
                     "<key>User Path</key><string>/old</string>\n"
                     "</dict></plist>\n");
    std::string value;
    ASSERT_TRUE(cf::copyPreferenceString(kId, "User Path", value));
    EXPECT_EQ(value, "/old");
    EXPECT_FALSE(cf::copyPreferenceString(kId, "Count", value)); // not a string
    EXPECT_FALSE(cf::copyPreferenceString(kId, "Missing", value));

    ASSERT_TRUE(cf::setPreferenceString(kId, "User Path", "/new"));
    ASSERT_TRUE(cf::setPreferenceString(kId, "Theme", ""));
    cf::Dictionary written;
    ASSERT_TRUE(written.load(store.string()));
    EXPECT_EQ(written.size(), 5u);
    ASSERT_TRUE(written.getString("User Path", value));
    EXPECT_EQ(value, "/new");
    ASSERT_TRUE(written.getString("Window", value));
    EXPECT_EQ(value, "left");
    ASSERT_TRUE(written.getString("Theme", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(written.contains("Recent"));
    const std::string text = readText(store);
    EXPECT_NE(text.find("<integer>7</integer>"), std::string::npos);
    EXPECT_NE(text.find("<string>/b</string>"), std::string::npos);
}

TEST_F(PreferencesTest, CorruptStoresReadAsNothingAndAWriteRecovers)
{
    std::string deep = "<plist><dict><key>User Path</key><string>/x</string><key>k</key>";
    for (int i = 0; i < 100000; ++i)
        deep += "<dict><key>k</key>";
    const std::vector<std::pair<const char*, std::string>> stores = {
        {"empty", ""},
        {"garbage", "\x89PNG\r\n\x1a\n\0\0\0"},
        {"truncated", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>User Path</key><string>/x"},
        {"unbalanced", "<plist><dict><key>User Path</key><string>/x</string></array></plist>"},
        {"array at the root", "<plist><array><string>/x</string></array></plist>"},
        {"deeply nested", deep},
        {"too large", "<plist><dict><key>User Path</key><string>" +
                          std::string(cf::Dictionary::kMaxFileBytes, 'x') + "</string></dict></plist>"},
    };
    for (const auto& [what, text] : stores) {
        SCOPED_TRACE(what);
        writeText(store, text);
        std::string value = "unchanged";
        EXPECT_FALSE(cf::copyPreferenceString(kId, "User Path", value));
        EXPECT_EQ(value, "unchanged");
        ASSERT_TRUE(cf::setPreferenceString(kId, "User Path", "/recovered"));
        ASSERT_TRUE(cf::copyPreferenceString(kId, "User Path", value));
        EXPECT_EQ(value, "/recovered");
    }

    // A directory where the store belongs cannot be replaced: the write fails.
    fs::remove(store);
    fs::create_directories(store / "inside");
    std::string value = "unchanged";
    EXPECT_FALSE(cf::copyPreferenceString(kId, "User Path", value));
    EXPECT_FALSE(cf::setPreferenceString(kId, "User Path", "/x"));
    EXPECT_EQ(value, "unchanged");
    // So does a file where the configuration directory belongs.
    fs::remove_all(config);
    writeText(config, "not a directory");
    EXPECT_FALSE(cf::setPreferenceString(kId, "User Path", "/x"));
    EXPECT_FALSE(cf::copyPreferenceString(kId, "User Path", value));
}

TEST_F(PreferencesTest, UserPathUnderThePlugInsIdentifier)
{
    std::string path = "unchanged";
    EXPECT_FALSE(readUserPath(path));
    EXPECT_EQ(path, "unchanged");
    for (const std::string written : {"/home/someone/Samples", ""}) {
        ASSERT_TRUE(writeUserPath(written));
        ASSERT_TRUE(readUserPath(path));
        EXPECT_EQ(path, written);
    }
    std::string value;
    ASSERT_TRUE(cf::copyPreferenceString(kBundleIdentifier, "User Path", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(fs::exists(config / "com.tindalo-quorrel.Volantor2.plist"));
}
