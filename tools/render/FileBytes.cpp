#include "tools/render/FileBytes.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>

#include <fstream>

bool readFileBytes(const std::string& path, std::size_t limit, std::vector<uint8_t>& bytes, std::string& problem)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        problem = "is a directory";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "cannot open it";
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) {
        problem = "cannot read it";
        return false;
    }
    // Refuse to pull in something huge by mistake.
    if ((unsigned long long)size > limit) {
        problem = "too large (" + std::to_string((long long)size) + " bytes)";
        return false;
    }
    in.seekg(0);
    bytes.assign((std::size_t)size, 0);
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        problem = "cannot read it";
        return false;
    }
    return true;
}

std::string formatMessage(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}
