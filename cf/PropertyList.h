// A property list dictionary read from and written to an XML file. Files that
// are missing, too large, nested too deeply, malformed or not a dictionary at
// their root do not load.
#pragma once

#include <cstddef>
#include <string>

namespace cf {

class Dictionary
{
public:
    // Larger files are refused rather than parsed.
    static constexpr std::size_t kMaxFileBytes = 1 << 20;
    // The parser recurses per level; deeper files are refused so that a
    // hostile file cannot exhaust a small thread stack.
    static constexpr int kMaxDepth = 64;

    Dictionary();
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;
    Dictionary(Dictionary&& other) noexcept;
    Dictionary& operator=(Dictionary&& other) noexcept;
    ~Dictionary();

    // Replaces this dictionary with the one in `file`; unchanged on failure.
    bool load(const std::string& file);
    // Same, from XML text in memory.
    bool parse(const std::string& xml);

    // False if the key is absent or its value is not a string.
    bool getString(const std::string& key, std::string& value) const;
    // Keys and values with NUL bytes cannot be stored.
    bool setString(const std::string& key, const std::string& value);
    bool contains(const std::string& key) const;
    std::size_t size() const;

    std::string toXml() const;
    // Writes a temporary file next to `file` and renames it over `file`, so
    // readers see the old or the new contents, never a part.
    bool save(const std::string& file) const;

private:
    void* root;
};

// Nesting depth of the elements in XML text, never less than the depth a
// parser reaches; closing tags stop counting once the markup gets irregular.
int xmlNestingDepth(const char* text, std::size_t length);

} // namespace cf
