// Bundles: the module holding a code address, the bundle directory three
// levels above a module (<bundle>/Contents/<platform>/<module>), values of
// the bundle's Contents/Info.plist and files in its resources directory.
// Functions returning bool leave their output unchanged when they fail.
#pragma once

#include <cstddef>
#include <string>

namespace cf {

// Longest path handed out, in bytes, so callers may copy into char[1024].
constexpr std::size_t kMaxPathBytes = 1023;

// Absolute path of the shared object or executable containing `address`;
// empty if no loaded module contains it.
std::string modulePathForAddress(const void* address);
// Directory of that module; empty if there is none.
std::string moduleDirectoryForAddress(const void* address);

// `modulePath` cut at its last "/" three times; empty when a cut finds no
// "/" or leaves nothing.
std::string bundleDirectoryFromModulePath(const std::string& modulePath);

// A string value of <bundleDirectory>/Contents/Info.plist.
bool infoPlistString(const std::string& bundleDirectory, const std::string& key, std::string& value);

// The bundle of the module at `modulePath`, if its Info.plist names `identifier`.
bool bundleWithIdentifierAtModulePath(const std::string& identifier, const std::string& modulePath,
                                      std::string& bundleDirectory);
// The bundle of the module containing `address`, if its Info.plist names
// `identifier`: each plug-in in a process finds its own bundle.
bool bundleWithIdentifier(const std::string& identifier, const void* address, std::string& bundleDirectory);
// The bundle of the module containing `address`, whatever its identifier,
// if it has an Info.plist that reads as a dictionary.
bool bundleForAddress(const void* address, std::string& bundleDirectory);

// `path` made absolute against the working directory, within kMaxPathBytes.
bool fileSystemPath(const std::string& path, std::string& absolute);

// The resources directory, relative to the bundle directory.
const char* resourcesDirectory();
// The resources directory as an absolute path, if it is a directory.
bool resourcesPath(const std::string& bundleDirectory, std::string& path);
// <bundle>/Contents/Resources/<name>[.<type>] if that file exists. Names and
// types are single path components; an empty type means none.
bool resourcePath(const std::string& bundleDirectory, const std::string& name, const std::string& type,
                  std::string& path);
// The same inside `subdirectory` of the resources directory, a relative path
// that never climbs out with "..".
bool resourcePathInDirectory(const std::string& bundleDirectory, const std::string& name, const std::string& type,
                             const std::string& subdirectory, std::string& path);

} // namespace cf
