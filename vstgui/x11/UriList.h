// Decoding of the "text/uri-list" data file managers offer when dragging.
#pragma once

#include <string>
#include <vector>

namespace VSTGUI {

// Replaces %XX escapes; a malformed escape is kept as it is.
std::string percentDecode(const std::string& text);

// The local file path of a file: URI ("file:///p", "file://localhost/p" or
// "file://<this host>/p"), or an empty string for anything else.
std::string localPathFromFileUri(const std::string& uri, const std::string& hostName);

// The local paths of a uri list: lines end with CRLF (or LF), lines starting
// with '#' are comments, blank lines and non-local URIs are skipped.
std::vector<std::string> localPathsFromUriList(const std::string& list, const std::string& hostName);

// This machine's host name (for file URIs that name it).
std::string currentHostName();

} // namespace VSTGUI
