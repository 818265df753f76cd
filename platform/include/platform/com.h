// The component object model base: interface ids, result codes and IUnknown.
//
// Interfaces are abstract classes that start with IUnknown's three methods.
// Every interface is declared with ZV_COM_INTERFACE, which defines its
// IID_<name> constant and records the interface it extends, so that an
// object can answer QueryInterface for the whole chain.
#pragma once

#include <platform/types.h>

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const IID&;
using LPIID = IID*;

constexpr bool IsEqualIID(REFIID a, REFIID b) {
    return IsEqualGUID(a, b);
}

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

constexpr HRESULT MAKE_HRESULT(unsigned severity, unsigned facility, unsigned code) {
    return static_cast<HRESULT>((severity << 31) | (facility << 16) | code);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);

// The IID and the extended interface of every interface, filled in by
// ZV_COM_INTERFACE.
template <class Interface> struct ComInterface;

// Defines IID_<Interface> from the braced value that follows Base and ties
// it to the interface.
#define ZV_COM_INTERFACE(Interface, Base, ...)                                                     \
    inline constexpr IID IID_##Interface = __VA_ARGS__;                                            \
    template <> struct ComInterface<Interface> {                                                   \
        using BaseInterface = Base;                                                                \
        static constexpr const IID& iid = IID_##Interface;                                         \
    }

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    // Objects go away through Release, never through delete.
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

ZV_COM_INTERFACE(IUnknown, void,
                 {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}});
