#include "cf/Preferences.h"

#include "cf/PropertyList.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>

namespace cf {

namespace {

// Instances in one process may write the same store at once; each write
// reads, changes and replaces the whole file.
std::mutex storeMutex;

std::string absoluteEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return std::string();
    return value;
}

std::string configDirectory()
{
    // Relative values are ignored, as the base-directory convention asks.
    std::string directory = absoluteEnvironment("XDG_CONFIG_HOME");
    if (!directory.empty())
        return directory;
    directory = absoluteEnvironment("HOME");
    if (directory.empty())
        return std::string();
    if (directory.back() != '/')
        directory += '/';
    return directory + ".config";
}

// mkdir -p, with the mode the base-directory convention asks for.
bool makeDirectories(const std::string& directory)
{
    struct stat st;
    if (::stat(directory.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    for (std::size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        const std::string prefix = directory.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return ::stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string preferencesFile(const std::string& identifier)
{
    if (identifier.empty() || identifier == "." || identifier == ".." ||
        identifier.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return std::string();
    std::string directory = configDirectory();
    if (directory.empty())
        return std::string();
    while (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    return directory + "/" + identifier + ".plist";
}

bool copyPreferenceString(const std::string& identifier, const std::string& key, std::string& value)
{
    const std::string file = preferencesFile(identifier);
    if (file.empty())
        return false;
    Dictionary store;
    return store.load(file) && store.getString(key, value);
}

bool setPreferenceString(const std::string& identifier, const std::string& key, const std::string& value)
{
    const std::string file = preferencesFile(identifier);
    if (file.empty())
        return false;
    std::lock_guard<std::mutex> lock(storeMutex);
    // A store that does not load is replaced by one holding just this key.
    Dictionary store;
    store.load(file);
    if (!store.setString(key, value))
        return false;
    const std::size_t slash = file.rfind('/');
    return makeDirectories(file.substr(0, slash)) && store.save(file);
}

} // namespace cf
