// Data carried by drag and drop.
#pragma once

#include "vstgui/CBaseObject.h"

#include <cstdint>
#include <vector>

namespace VSTGUI {

class IDataPackage : public CBaseObject
{
public:
    enum Type { kFilePath = 0, kText, kBinary, kError = -1 };

    virtual uint32_t getCount() const = 0;
    virtual uint32_t getDataSize(uint32_t index) const = 0;
    virtual Type getDataType(uint32_t index) const = 0;
    // Returns the size; `buffer` stays owned by the package.
    virtual uint32_t getData(uint32_t index, const void*& buffer, Type& type) const = 0;
};

// Copies what it is given; text and file paths keep a terminating zero, counted in their size.
class CDropSource : public IDataPackage
{
public:
    CDropSource() = default;
    CDropSource(const void* buffer, uint32_t bufferSize, Type type);

    bool add(const void* buffer, uint32_t bufferSize, Type type);

    uint32_t getCount() const override;
    uint32_t getDataSize(uint32_t index) const override;
    Type getDataType(uint32_t index) const override;
    uint32_t getData(uint32_t index, const void*& buffer, Type& type) const override;

private:
    struct Entry
    {
        Type type;
        std::vector<uint8_t> data;
    };
    std::vector<Entry> entries;
};

} // namespace VSTGUI
