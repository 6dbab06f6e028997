#include "host/com/com_values.h"

#include <cstdio>
#include <memory>

namespace velmora::com {
namespace {

std::string hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

struct SafeArrayDestroyer {
    void operator()(SAFEARRAY* array) const { ::SafeArrayDestroy(array); }
};
using SafeArrayPtr = std::unique_ptr<SAFEARRAY, SafeArrayDestroyer>;

SafeArrayPtr pointArray(const HostPoint& point) {
    SafeArrayPtr array(::SafeArrayCreateVector(VT_R8, 0, 3));
    if (!array) throw HostError("no memory for a point");
    const double xyz[3] = {point.x, point.y, point.z};
    for (LONG i = 0; i < 3; ++i) check(::SafeArrayPutElement(array.get(), &i, const_cast<double*>(&xyz[i])), "point");
    return array;
}

HostEntityArray entityArray(SAFEARRAY* array) {
    if (!array || ::SafeArrayGetDim(array) != 1) throw HostError("the host gave an array that is not one-dimensional");
    LONG low = 0, high = -1;
    check(::SafeArrayGetLBound(array, 1, &low), "array bounds");
    check(::SafeArrayGetUBound(array, 1, &high), "array bounds");
    if (low != 0) throw HostError("the host gave an array whose lower bound is not 0");
    HostEntityArray entities;
    for (LONG i = 0; i <= high; ++i) {
        Variant element;
        check(::SafeArrayGetElement(array, &i, element.out()), "array element");
        const VARIANT& v = element.get();
        if ((v.vt != VT_DISPATCH && v.vt != VT_UNKNOWN) || !v.punkVal)
            throw HostError("an element of the host's array is not an entity");
        ComPtr<IDispatch> entity;
        check(v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(entity.GetAddressOf())),
              "entity");
        entities.push_back(std::make_shared<ComEntity>(std::move(entity)));
    }
    return entities;
}

}  // namespace

void check(HRESULT result, const char* operation) {
    if (FAILED(result)) throw HostError(std::string("the host's ") + operation + " failed (" + hex(result) + ")");
}

Bstr::Bstr(const std::u16string& text)
    : text_(::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()))) {
    if (!text_) throw HostError("no memory for a host string");
}

std::u16string textOf(BSTR value) {
    if (!value) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(value), ::SysStringLen(value));
}

std::u16string Bstr::text() const { return textOf(text_); }

void toVariant(const HostValue& value, Variant& out) {
    ::VariantClear(out.out());
    VARIANT& v = out.get();
    if (std::holds_alternative<std::monostate>(value)) return;
    if (std::holds_alternative<HostOmitted>(value)) {
        v.vt = VT_ERROR;
        v.scode = DISP_E_PARAMNOTFOUND;
    } else if (const auto* i = std::get_if<std::int32_t>(&value)) {
        v.vt = VT_I4;
        v.lVal = *i;
    } else if (const auto* s = std::get_if<std::u16string>(&value)) {
        Bstr text(*s);
        v.bstrVal = text.get();
        *text.out() = nullptr;
        v.vt = VT_BSTR;
    } else if (const auto* p = std::get_if<HostPoint>(&value)) {
        v.parray = pointArray(*p).release();
        v.vt = VT_ARRAY | VT_R8;
    } else if (const auto* e = std::get_if<std::shared_ptr<HostEntity>>(&value)) {
        const auto* entity = dynamic_cast<const ComEntity*>(e->get());
        if (!entity || !entity->get()) throw HostError("the entity did not come from the host");
        v.pdispVal = entity->get();
        v.pdispVal->AddRef();
        v.vt = VT_DISPATCH;
    } else {
        throw HostError("an entity array is not sent to the host");
    }
}

HostValue fromVariant(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY: return std::monostate{};
        case VT_I2: return std::int32_t{value.iVal};
        case VT_I4: return std::int32_t{value.lVal};
        case VT_BSTR: return textOf(value.bstrVal);
        case VT_ARRAY | VT_VARIANT: return entityArray(value.parray);
        default: break;
    }
    throw HostError("the host gave a value of an unexpected type (" + std::to_string(value.vt) + ")");
}

}  // namespace velmora::com
