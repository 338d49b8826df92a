#include "sources/PathNames.h"

#include <cctype>

bool endsWithMp3(const std::string& path)
{
    static const char kExtension[] = ".mp3";
    if (path.size() < 4)
        return false;
    const std::size_t start = path.size() - 4;
    for (std::size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(path[start + i])) != kExtension[i])
            return false;
    return true;
}

std::string getBaseName(const std::string& path)
{
    // Paths saved on other systems may use either separator.
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

bool starts_with(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}
