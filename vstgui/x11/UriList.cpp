#include "vstgui/x11/UriList.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

namespace VSTGUI {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool startsWithNoCase(const std::string& text, const char* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i)
    {
        if (i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

std::string trim(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

std::string percentDecode(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 2 < text.size())
        {
            int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0)
            {
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string localPathFromFileUri(const std::string& uri, const std::string& hostName)
{
    if (!startsWithNoCase(uri, "file:"))
        return {};
    std::string rest = uri.substr(5);
    if (rest.compare(0, 2, "//") == 0)
    {
        size_t slash = rest.find('/', 2);
        if (slash == std::string::npos)
            return {};
        std::string host = rest.substr(2, slash - 2);
        bool local = host.empty() || (host.size() == 9 && startsWithNoCase(host, "localhost")) ||
                     (!hostName.empty() && host == hostName);
        if (!local)
            return {};
        rest = rest.substr(slash);
    }
    // "file:/p" is the short form some programs write.
    if (rest.empty() || rest[0] != '/')
        return {};
    // Query and fragment are not part of a file name (a literal '#' or '?' is escaped).
    size_t cut = rest.find_first_of("?#");
    if (cut != std::string::npos)
        rest.resize(cut);
    std::string path = percentDecode(rest);
    if (path.find('\0') != std::string::npos)
        return {};
    return path;
}

std::vector<std::string> localPathsFromUriList(const std::string& list, const std::string& hostName)
{
    std::vector<std::string> paths;
    // Some sources count a terminating zero as part of the data.
    const size_t size = std::min(list.size(), list.find('\0'));
    size_t pos = 0;
    while (pos < size)
    {
        size_t end = list.find('\n', pos);
        if (end == std::string::npos || end > size)
            end = size;
        std::string line = trim(list.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        std::string path = localPathFromFileUri(line, hostName);
        if (!path.empty())
            paths.push_back(path);
    }
    return paths;
}

std::string currentHostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof(name) - 1) != 0)
        return {};
    return name;
}

} // namespace VSTGUI
