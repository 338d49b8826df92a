// Small helpers for the paths of users' sound files.
#pragma once

#include <string>

// True when the last four characters are ".mp3", in any case.
bool endsWithMp3(const std::string& path);

// The file name without its folders and without its last extension:
// "a/b\\kick.take2.wav" -> "kick.take2"; a name with no dot stays whole.
std::string getBaseName(const std::string& path);

// True when text begins with prefix; an empty prefix always matches.
bool starts_with(const std::string& text, const std::string& prefix);
