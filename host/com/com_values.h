// The host's COM values as the tool's HostValue, and back: wide strings,
// VARIANTs and the SAFEARRAYs of points and exploded entities.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>

#include "host/host_api.h"

namespace velmora::com {

template <class I>
using ComPtr = Microsoft::WRL::ComPtr<I>;

// The host application's class identifier, under which the running host
// registers its application object as active.
inline constexpr CLSID kHostApplicationClass = {
    0x449354E9, 0xCDD8, 0x4A11, {0xBD, 0x82, 0x0D, 0x4A, 0x3C, 0x21, 0xE7, 0xD2}};

// The text of a BSTR (a null BSTR is the empty text).
std::u16string textOf(BSTR value);

// Throws HostError naming `operation` when `result` is a failure code.
void check(HRESULT result, const char* operation);

// An entity of the host's drawing, held by its dispatch interface.
class ComEntity : public HostEntity {
public:
    explicit ComEntity(ComPtr<IDispatch> object) : object_(std::move(object)) {}
    IDispatch* get() const { return object_.Get(); }

private:
    ComPtr<IDispatch> object_;
};

// A BSTR owned for the length of a call.
class Bstr {
public:
    explicit Bstr(const std::u16string& text);
    Bstr() = default;
    ~Bstr() { ::SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }
    BSTR* out() { return &text_; }  // for a call that returns one; must be empty
    std::u16string text() const;

private:
    BSTR text_ = nullptr;
};

// A VARIANT cleared when it goes.
class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT& get() { return value_; }
    const VARIANT& get() const { return value_; }
    VARIANT* out() { return &value_; }

private:
    VARIANT value_;
};

// The VARIANT the host takes for `value`: VT_EMPTY, the missing optional
// argument (VT_ERROR holding DISP_E_PARAMNOTFOUND), VT_I4, VT_BSTR, an array
// of three doubles with bounds 0 to 2, or one entity as VT_DISPATCH. An
// entity that did not come from the host, or an entity array, is a HostError.
void toVariant(const HostValue& value, Variant& out);

// The HostValue of a value the host gave: nothing, an integer (VT_I2 or
// VT_I4), a string, or a one-dimensional array with lower bound 0 of
// VARIANTs each holding one entity. Anything else, a missing entity or
// another array shape is a HostError.
HostValue fromVariant(const VARIANT& value);

}  // namespace velmora::com
