// Preferences per bundle identifier: string values in a small XML property
// list, $XDG_CONFIG_HOME/<identifier>.plist ($HOME/.config when unset).
// A missing, unreadable or corrupt store reads as empty; writing replaces it.
#pragma once

#include <string>

namespace cf {

// The store's file; empty without a usable configuration directory or when
// the identifier is not a plain file name.
std::string preferencesFile(const std::string& identifier);

// The string stored under `key`; false (value unchanged) if the store or the
// key is missing or the value is not a string.
bool copyPreferenceString(const std::string& identifier, const std::string& key, std::string& value);

// Stores `value` under `key`, keeps the store's other keys and writes the
// file out, creating its directory if needed.
bool setPreferenceString(const std::string& identifier, const std::string& key, const std::string& value);

} // namespace cf
