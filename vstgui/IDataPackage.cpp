#include "vstgui/IDataPackage.h"

namespace VSTGUI {

CDropSource::CDropSource(const void* buffer, uint32_t bufferSize, Type type) { add(buffer, bufferSize, type); }

bool CDropSource::add(const void* buffer, uint32_t bufferSize, Type type)
{
    if (type == kError || (!buffer && bufferSize > 0))
        return false;
    Entry entry{type, {}};
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    if (bytes)
        entry.data.assign(bytes, bytes + bufferSize);
    if ((type == kFilePath || type == kText) && (entry.data.empty() || entry.data.back() != 0))
        entry.data.push_back(0);
    entries.push_back(std::move(entry));
    return true;
}

uint32_t CDropSource::getCount() const { return static_cast<uint32_t>(entries.size()); }

uint32_t CDropSource::getDataSize(uint32_t index) const
{
    return index < entries.size() ? static_cast<uint32_t>(entries[index].data.size()) : 0;
}

IDataPackage::Type CDropSource::getDataType(uint32_t index) const
{
    return index < entries.size() ? entries[index].type : kError;
}

uint32_t CDropSource::getData(uint32_t index, const void*& buffer, Type& type) const
{
    if (index >= entries.size())
    {
        buffer = nullptr;
        type = kError;
        return 0;
    }
    buffer = entries[index].data.data();
    type = entries[index].type;
    return static_cast<uint32_t>(entries[index].data.size());
}

} // namespace VSTGUI
