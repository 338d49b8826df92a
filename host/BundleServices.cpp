#include "host/BundleServices.h"

#include "cf/Bundle.h"
#include "cf/Preferences.h"

bool getBundlePath(std::string& path)
{
    // Our own function's address finds our module, even beside another
    // plug-in built from the same code.
    std::string bundle;
    return cf::bundleWithIdentifier(kBundleIdentifier, reinterpret_cast<const void*>(&getBundlePath), bundle) &&
           cf::fileSystemPath(bundle, path);
}

bool getResourcesPath(std::string& path)
{
    std::string bundle;
    return getBundlePath(bundle) && cf::resourcesPath(bundle, path);
}

bool getResourcePath(const std::string& name, std::string& path)
{
    std::string bundle;
    return getBundlePath(bundle) && cf::resourcePath(bundle, name, std::string(), path);
}

bool getResourcePath(const std::string& name, const std::string& type, std::string& path)
{
    std::string bundle;
    return getBundlePath(bundle) && cf::resourcePath(bundle, name, type, path);
}

bool getResourcePath(const std::string& name, const std::string& type, const std::string& subdirectory,
                     std::string& path)
{
    std::string bundle;
    return getBundlePath(bundle) && cf::resourcePathInDirectory(bundle, name, type, subdirectory, path);
}

bool getBundleForAddress(const void* address, std::string& path)
{
    std::string bundle;
    return cf::bundleForAddress(address, bundle) && cf::fileSystemPath(bundle, path);
}

bool readUserPath(std::string& path)
{
    return cf::copyPreferenceString(kBundleIdentifier, kUserPathKey, path);
}

bool writeUserPath(const std::string& path)
{
    return cf::setPreferenceString(kBundleIdentifier, kUserPathKey, path);
}
