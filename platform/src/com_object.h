// com_object.h -- reference counting shared by every object the stand-in hands out as an interface.
#pragma once
#include <windows.h>

#include <cstdint>

// Implements IUnknown for `Interface`; the object deletes itself when the last reference goes.
template <class Interface>
class ComObject : public Interface {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }
    ULONG reference_count() const { return references; }

private:
    ULONG references = 1;
};

// Releases `object` if non-null and nulls the pointer.
template <class T>
void release_and_clear(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}
