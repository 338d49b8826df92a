// Reference counting shared by every toolkit object.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum CMessageResult { kMessageUnknown = 0, kMessageNotified = 1 };

class CBaseObject
{
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) : nbReference(1) {}
    CBaseObject& operator=(const CBaseObject&) { return *this; }
    virtual ~CBaseObject() = default;

    void remember() { ++nbReference; }
    void forget()
    {
        if (--nbReference == 0)
            delete this;
    }
    int32_t getNbReference() const { return nbReference; }

    virtual CMessageResult notify(CBaseObject* /*sender*/, const char* /*message*/) { return kMessageUnknown; }

private:
    int32_t nbReference = 1;
};

// Holds a reference for as long as it lives; keeps objects alive across calls that may release them.
template <typename T>
class SharedPointer
{
public:
    SharedPointer() = default;
    explicit SharedPointer(T* p, bool remember = true) : ptr(p)
    {
        if (ptr && remember)
            ptr->remember();
    }
    SharedPointer(const SharedPointer& o) : SharedPointer(o.ptr) {}
    SharedPointer& operator=(const SharedPointer& o)
    {
        reset(o.ptr);
        return *this;
    }
    ~SharedPointer()
    {
        if (ptr)
            ptr->forget();
    }
    void reset(T* p = nullptr)
    {
        if (p)
            p->remember();
        if (ptr)
            ptr->forget();
        ptr = p;
    }
    T* get() const { return ptr; }
    T* operator->() const { return ptr; }
    explicit operator bool() const { return ptr != nullptr; }

private:
    T* ptr = nullptr;
};

} // namespace VSTGUI
