// The bundle and preference services the plug-in calls: its bundle, found
// from this module by kBundleIdentifier, the resources inside it, and the
// "User Path" preference. Paths are absolute and at most 1023 bytes; each
// function returns false, leaving its output unchanged, when it cannot answer.
#pragma once

#include <string>

// Set by the build, which writes the same identifier into Info.plist.
inline constexpr char kBundleIdentifier[] = VOLANTOR_BUNDLE_ID;
inline constexpr char kUserPathKey[] = "User Path";

// This plug-in's bundle directory.
bool getBundlePath(std::string& path);
// This plug-in's resources directory.
bool getResourcesPath(std::string& path);
// A resource file by name, e.g. "bank".
bool getResourcePath(const std::string& name, std::string& path);
// A resource file by name and type, e.g. "corbel-bold", "ttf".
bool getResourcePath(const std::string& name, const std::string& type, std::string& path);
// A resource file by name and type in a subdirectory, e.g. "sounds".
bool getResourcePath(const std::string& name, const std::string& type, const std::string& subdirectory,
                     std::string& path);
// The bundle of the module containing `address`, whatever its identifier.
bool getBundleForAddress(const void* address, std::string& path);
// The user's sound folder; an empty path means none was chosen.
bool readUserPath(std::string& path);
// Stores the user's sound folder; the empty path clears the choice.
bool writeUserPath(const std::string& path);
