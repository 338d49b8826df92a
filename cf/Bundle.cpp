#include "cf/Bundle.h"

#include "cf/PropertyList.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cf {

namespace {

const char kInfoPlist[] = "/Contents/Info.plist";
const char kIdentifierKey[] = "CFBundleIdentifier";

bool hasNul(const std::string& s) { return s.find('\0') != std::string::npos; }

// An absolute path without "." components or repeated slashes. ".." stays:
// resolving it by text would be wrong across symbolic links.
std::string tidy(const std::string& absolute)
{
    std::string out;
    std::size_t i = 0;
    while (i < absolute.size()) {
        std::size_t j = absolute.find('/', i);
        if (j == std::string::npos)
            j = absolute.size();
        if (j > i && absolute.compare(i, j - i, ".") != 0) {
            out += '/';
            out.append(absolute, i, j - i);
        }
        i = j + 1;
    }
    return out.empty() ? "/" : out;
}

bool isPathComponent(const std::string& s)
{
    return !s.empty() && s != "." && s != ".." && s.find('/') == std::string::npos && !hasNul(s);
}

bool isInnerDirectory(const std::string& s)
{
    if (hasNul(s) || (!s.empty() && s[0] == '/'))
        return false;
    std::size_t i = 0;
    while (i <= s.size()) {
        std::size_t j = s.find('/', i);
        if (j == std::string::npos)
            j = s.size();
        if (s.compare(i, j - i, "..") == 0)
            return false;
        i = j + 1;
    }
    return true;
}

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string executablePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || (std::size_t)n >= sizeof buffer)
        return std::string();
    return std::string(buffer, (std::size_t)n);
}

} // namespace

std::string modulePathForAddress(const void* address)
{
    Dl_info info;
    struct link_map* map = nullptr;
    if (!address || ::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 || !map)
        return std::string();
    // The main program's link map carries no name.
    if (!map->l_name || !map->l_name[0])
        return executablePath();
    const std::string name(map->l_name);
    // A name without a slash is no file on disk (the vDSO).
    if (name.find('/') == std::string::npos)
        return std::string();
    std::string absolute;
    if (name[0] == '/') {
        absolute = tidy(name);
    } else {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd))
            return std::string();
        absolute = tidy(std::string(cwd) + "/" + name);
    }
    return absolute;
}

std::string moduleDirectoryForAddress(const void* address)
{
    const std::string path = modulePathForAddress(address);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string bundleDirectoryFromModulePath(const std::string& modulePath)
{
    std::string path = modulePath;
    for (int cut = 0; cut < 3; ++cut) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos || slash == 0)
            return std::string();
        path.resize(slash);
    }
    return path;
}

bool infoPlistString(const std::string& bundleDirectory, const std::string& key, std::string& value)
{
    if (bundleDirectory.empty())
        return false;
    Dictionary info;
    return info.load(bundleDirectory + kInfoPlist) && info.getString(key, value);
}

bool bundleWithIdentifierAtModulePath(const std::string& identifier, const std::string& modulePath,
                                      std::string& bundleDirectory)
{
    const std::string directory = bundleDirectoryFromModulePath(modulePath);
    std::string found;
    if (identifier.empty() || !infoPlistString(directory, kIdentifierKey, found) || found != identifier)
        return false;
    bundleDirectory = directory;
    return true;
}

bool bundleWithIdentifier(const std::string& identifier, const void* address, std::string& bundleDirectory)
{
    return bundleWithIdentifierAtModulePath(identifier, modulePathForAddress(address), bundleDirectory);
}

bool bundleForAddress(const void* address, std::string& bundleDirectory)
{
    const std::string directory = bundleDirectoryFromModulePath(modulePathForAddress(address));
    Dictionary info;
    if (directory.empty() || !info.load(directory + kInfoPlist))
        return false;
    bundleDirectory = directory;
    return true;
}

bool fileSystemPath(const std::string& path, std::string& absolute)
{
    if (path.empty() || hasNul(path))
        return false;
    std::string result;
    if (path[0] == '/') {
        result = tidy(path);
    } else {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd))
            return false;
        result = tidy(std::string(cwd) + "/" + path);
    }
    if (result.size() > kMaxPathBytes)
        return false;
    absolute.swap(result);
    return true;
}

const char* resourcesDirectory() { return "Contents/Resources"; }

bool resourcesPath(const std::string& bundleDirectory, std::string& path)
{
    std::string absolute;
    if (bundleDirectory.empty() || !fileSystemPath(bundleDirectory + "/" + resourcesDirectory(), absolute) ||
        !isDirectory(absolute))
        return false;
    path.swap(absolute);
    return true;
}

bool resourcePath(const std::string& bundleDirectory, const std::string& name, const std::string& type,
                  std::string& path)
{
    return resourcePathInDirectory(bundleDirectory, name, type, std::string(), path);
}

bool resourcePathInDirectory(const std::string& bundleDirectory, const std::string& name, const std::string& type,
                             const std::string& subdirectory, std::string& path)
{
    if (bundleDirectory.empty() || !isPathComponent(name) || !isInnerDirectory(subdirectory))
        return false;
    if (!type.empty() && !isPathComponent(type))
        return false;
    std::string candidate = bundleDirectory + "/" + resourcesDirectory();
    if (!subdirectory.empty())
        candidate += "/" + subdirectory;
    candidate += "/" + name;
    if (!type.empty())
        candidate += "." + type;
    std::string absolute;
    if (!fileSystemPath(candidate, absolute) || !isRegularFile(absolute))
        return false;
    path.swap(absolute);
    return true;
}

} // namespace cf
