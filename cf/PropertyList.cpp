#include "cf/PropertyList.h"

#include <plist/plist.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cf {

namespace {

plist_t node(void* root) { return static_cast<plist_t>(root); }

bool hasNul(const std::string& s) { return s.find('\0') != std::string::npos; }

// Reads a regular file of at most `limit` bytes; O_NONBLOCK keeps a FIFO
// planted at the path from blocking the open.
bool readSmallFile(const std::string& file, std::size_t limit, std::string& data)
{
    if (file.empty() || hasNul(file))
        return false;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (std::size_t)st.st_size > limit) {
        ::close(fd);
        return false;
    }
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || text.size() + (std::size_t)n > limit) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        text.append(buffer, (std::size_t)n);
    }
    ::close(fd);
    data.swap(text);
    return true;
}

bool writeAll(int fd, const char* data, std::size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        length -= (std::size_t)n;
    }
    return true;
}

} // namespace

int xmlNestingDepth(const char* text, std::size_t length)
{
    std::size_t depth = 0, deepest = 0;
    // Before the first element a bogus closing tag can only clamp at zero;
    // after it, comments, CDATA and processing instructions may hide text
    // that looks like closing tags, so from then on only openings count.
    // The parser hangs elements after the first top-level one under it, so
    // depth never drops below one once an element was seen.
    bool trustClosings = true;
    std::size_t i = 0;
    while (i < length) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        const char next = i + 1 < length ? text[i + 1] : '\0';
        if (next == '!' || next == '?') {
            if (deepest > 0)
                trustClosings = false;
            i += 2;
            continue;
        }
        std::size_t end = i + 1;
        while (end < length && text[end] != '>' && text[end] != '<')
            ++end;
        const bool closed = end < length && text[end] == '>';
        if (!closed)
            trustClosings = false;
        if (next == '/') {
            if (trustClosings && depth > 1)
                --depth;
        } else {
            if (++depth > deepest)
                deepest = depth;
            if (closed && text[end - 1] == '/' && depth > 1)
                --depth;
        }
        i = closed ? end + 1 : end;
    }
    return deepest > 0x7fffffff ? 0x7fffffff : (int)deepest;
}

Dictionary::Dictionary() : root(plist_new_dict()) {}

Dictionary::Dictionary(Dictionary&& other) noexcept : root(other.root)
{
    other.root = plist_new_dict();
}

Dictionary& Dictionary::operator=(Dictionary&& other) noexcept
{
    if (this != &other)
        std::swap(root, other.root);
    return *this;
}

Dictionary::~Dictionary()
{
    if (root)
        plist_free(node(root));
}

bool Dictionary::parse(const std::string& xml)
{
    // XML text never holds NUL; the parser would let one into a string.
    if (xml.empty() || xml.size() > kMaxFileBytes || hasNul(xml))
        return false;
    if (xmlNestingDepth(xml.data(), xml.size()) > kMaxDepth)
        return false;
    // The copy ends in NULs past the given length, in case the parser peeks.
    std::string padded(xml);
    padded.append(16, '\0');
    plist_t parsed = nullptr;
    plist_from_xml(padded.data(), (uint32_t)xml.size(), &parsed);
    if (!parsed)
        return false;
    if (plist_get_node_type(parsed) != PLIST_DICT) {
        plist_free(parsed);
        return false;
    }
    if (root)
        plist_free(node(root));
    root = parsed;
    return true;
}

bool Dictionary::load(const std::string& file)
{
    std::string xml;
    return readSmallFile(file, kMaxFileBytes, xml) && parse(xml);
}

bool Dictionary::getString(const std::string& key, std::string& value) const
{
    if (!root || hasNul(key))
        return false;
    const plist_t item = plist_dict_get_item(node(root), key.c_str());
    if (!item || plist_get_node_type(item) != PLIST_STRING)
        return false;
    // By pointer and length: the copying getter asserts on an inner NUL.
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(item, &length);
    if (!text || length > kMaxFileBytes || std::memchr(text, '\0', (std::size_t)length))
        return false;
    value.assign(text, (std::size_t)length);
    return true;
}

bool Dictionary::setString(const std::string& key, const std::string& value)
{
    if (!root || hasNul(key) || hasNul(value))
        return false;
    plist_dict_set_item(node(root), key.c_str(), plist_new_string(value.c_str()));
    return true;
}

bool Dictionary::contains(const std::string& key) const
{
    return root && !hasNul(key) && plist_dict_get_item(node(root), key.c_str()) != nullptr;
}

std::size_t Dictionary::size() const
{
    return root ? plist_dict_get_size(node(root)) : 0;
}

std::string Dictionary::toXml() const
{
    if (!root)
        return std::string();
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node(root), &xml, &length);
    if (!xml)
        return std::string();
    std::string text(xml, length);
    plist_to_xml_free(xml);
    return text;
}

bool Dictionary::save(const std::string& file) const
{
    if (file.empty() || hasNul(file))
        return false;
    const std::string xml = toXml();
    if (xml.empty())
        return false;
    std::string temporary = file + ".XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, xml.data(), xml.size()) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), file.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace cf
