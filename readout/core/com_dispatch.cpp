#include "readout/core/com_dispatch.h"

#include <ole2.h>
#include <oleauto.h>

#include <climits>
#include <cstdint>

namespace ulvo::com {
namespace {

// The automation functions take their source VARIANT as non-const but leave it alone.
VARIANT* Source(const VARIANT& v) {
  return const_cast<VARIANT*>(&v);
}

}  // namespace

std::optional<std::wstring> Utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  if (utf8.size() > static_cast<size_t>(INT_MAX)) return std::nullopt;
  const int length = static_cast<int>(utf8.size());
  const int wide =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (wide <= 0) return std::nullopt;
  std::wstring text(static_cast<size_t>(wide), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, text.data(), wide) !=
      wide) {
    return std::nullopt;
  }
  return text;
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty() || wide.size() > static_cast<size_t>(INT_MAX) / 3) return {};
  // Unpaired surrogates are replaced here rather than by the system, which not every
  // version of does the same way.
  std::wstring clean(wide);
  for (size_t i = 0; i < clean.size(); ++i) {
    const wchar_t c = clean[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < clean.size() && clean[i + 1] >= 0xDC00 &&
        clean[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      clean[i] = 0xFFFD;
    }
  }
  const int length = static_cast<int>(clean.size());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, clean.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string text(static_cast<size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, clean.data(), length, text.data(), bytes, nullptr, nullptr) !=
      bytes) {
    return {};
  }
  return text;
}

std::string BstrToUtf8(BSTR text) {
  if (text == nullptr) return {};
  return WideToUtf8(std::wstring_view(text, SysStringLen(text)));
}

Variant::Variant(const Variant& other) {
  VariantInit(&v_);
  if (FAILED(VariantCopy(&v_, Source(other.v_)))) VariantInit(&v_);
}

Variant::Variant(Variant&& other) noexcept : v_(other.v_) {
  VariantInit(&other.v_);
}

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(v_, other.v_);
  return *this;
}

Variant Variant::Bool(bool value) {
  Variant v;
  v.v_.vt = VT_BOOL;
  v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Variant Variant::Long(long value) {
  Variant v;
  v.v_.vt = VT_I4;
  v.v_.lVal = value;
  return v;
}

std::optional<Variant> Variant::Text(std::string_view utf8) {
  std::optional<std::wstring> wide = Utf8ToWide(utf8);
  if (!wide) return std::nullopt;
  BSTR text = SysAllocStringLen(wide->data(), static_cast<UINT>(wide->size()));
  if (text == nullptr) return std::nullopt;
  Variant v;
  v.v_.vt = VT_BSTR;
  v.v_.bstrVal = text;
  return v;
}

Variant Variant::Object(IDispatch* object) {
  Variant v;
  if (object == nullptr) return v;
  object->AddRef();
  v.v_.vt = VT_DISPATCH;
  v.v_.pdispVal = object;
  return v;
}

Variant Variant::Unknown(IUnknown* object) {
  Variant v;
  if (object == nullptr) return v;
  object->AddRef();
  v.v_.vt = VT_UNKNOWN;
  v.v_.punkVal = object;
  return v;
}

std::optional<Variant> Variant::Array(const std::vector<Variant>& elements) {
  if (elements.size() > static_cast<size_t>(LONG_MAX)) return std::nullopt;
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(elements.size()));
  if (array == nullptr) return std::nullopt;
  for (LONG i = 0; i < static_cast<LONG>(elements.size()); ++i) {
    // SafeArrayPutElement copies the VARIANT.
    VARIANT element = elements[static_cast<size_t>(i)].v_;
    if (FAILED(SafeArrayPutElement(array, &i, &element))) {
      SafeArrayDestroy(array);
      return std::nullopt;
    }
  }
  Variant v;
  v.v_.vt = VT_ARRAY | VT_VARIANT;
  v.v_.parray = array;
  return v;
}

VARIANT* Variant::Put() {
  VariantClear(&v_);
  return &v_;
}

std::optional<long> Variant::AsLong() const {
  Variant converted;
  if (FAILED(VariantChangeType(converted.Put(), Source(v_), 0, VT_I4))) return std::nullopt;
  return converted.v_.lVal;
}

std::optional<bool> Variant::AsBool() const {
  Variant converted;
  if (FAILED(VariantChangeType(converted.Put(), Source(v_), 0, VT_BOOL))) return std::nullopt;
  return converted.v_.boolVal != VARIANT_FALSE;
}

std::optional<std::string> Variant::AsText() const {
  if (v_.vt == VT_BSTR) return BstrToUtf8(v_.bstrVal);
  Variant converted;
  if (FAILED(VariantChangeType(converted.Put(), Source(v_), 0, VT_BSTR))) return std::nullopt;
  return BstrToUtf8(converted.v_.bstrVal);
}

Ref<IDispatch> Variant::AsDispatch() const {
  if (v_.vt == VT_DISPATCH) return Ref<IDispatch>::Share(v_.pdispVal);
  Ref<IDispatch> object;
  if (v_.vt == VT_UNKNOWN && v_.punkVal != nullptr) {
    v_.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object.Put()));
  }
  return object;
}

Ref<IUnknown> Variant::Query(REFIID iid) const {
  IUnknown* held = nullptr;
  if (v_.vt == VT_DISPATCH) held = v_.pdispVal;
  if (v_.vt == VT_UNKNOWN) held = v_.punkVal;
  Ref<IUnknown> object;
  if (held != nullptr) held->QueryInterface(iid, reinterpret_cast<void**>(object.Put()));
  return object;
}

std::optional<std::vector<Variant>> Variant::Elements() const {
  if ((v_.vt & VT_ARRAY) == 0 || (v_.vt & VT_BYREF) != 0) return std::nullopt;
  SAFEARRAY* array = v_.parray;
  if (array == nullptr || SafeArrayGetDim(array) != 1) return std::nullopt;
  const VARTYPE type = v_.vt & VT_TYPEMASK;
  switch (type) {
    // Element types that fit the VARIANT's value field; SafeArrayGetElement copies them
    // (BSTRs duplicated, interfaces with a reference of their own).
    case VT_VARIANT:
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_BOOL:
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      break;
    default:
      return std::nullopt;
  }
  // SafeArrayGetElement copies as many bytes as the array says its elements have: no more
  // than the place they are copied to may hold.
  const UINT size = SafeArrayGetElemsize(array);
  if (type == VT_VARIANT ? size != sizeof(VARIANT) : size == 0 || size > sizeof(LONGLONG)) {
    return std::nullopt;
  }
  LONG lower = 0, upper = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper))) {
    return std::nullopt;
  }
  std::vector<Variant> elements;
  for (int64_t at = lower; at <= upper; ++at) {
    LONG i = static_cast<LONG>(at);
    Variant element;
    HRESULT hr;
    if (type == VT_VARIANT) {
      hr = SafeArrayGetElement(array, &i, element.Put());
    } else {
      VARIANT* raw = element.Put();
      hr = SafeArrayGetElement(array, &i, &raw->llVal);
      if (SUCCEEDED(hr)) raw->vt = type;
    }
    if (FAILED(hr)) return std::nullopt;
    elements.push_back(std::move(element));
  }
  return elements;
}

HRESULT Dispatch::Create(const wchar_t* progId, Dispatch& created) {
  created.Reset();
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) return hr;
  Ref<IDispatch> object;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                        reinterpret_cast<void**>(object.Put()));
  if (FAILED(hr)) return hr;
  if (!object) return E_NOINTERFACE;
  created = Dispatch(std::move(object));
  return S_OK;
}

HRESULT Dispatch::Get(const wchar_t* name, Variant& value,
                      const std::vector<Variant>& arguments) const {
  return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, arguments, nullptr, &value);
}

HRESULT Dispatch::GetDispatch(const wchar_t* name, Dispatch& value,
                              const std::vector<Variant>& arguments) const {
  value.Reset();
  Variant held;
  HRESULT hr = Get(name, held, arguments);
  if (FAILED(hr)) return hr;
  Ref<IDispatch> object = held.AsDispatch();
  if (!object) return E_NOINTERFACE;
  value = Dispatch(std::move(object));
  return S_OK;
}

HRESULT Dispatch::Put(const wchar_t* name, const Variant& value) const {
  return Invoke(name, DISPATCH_PROPERTYPUT, {}, &value, nullptr);
}

HRESULT Dispatch::Call(const wchar_t* name, const std::vector<Variant>& arguments,
                       Variant* result) const {
  return Invoke(name, DISPATCH_METHOD, arguments, nullptr, result);
}

HRESULT Dispatch::Invoke(const wchar_t* name, WORD flags, const std::vector<Variant>& arguments,
                         const Variant* putValue, Variant* result) const {
  if (!object_) return E_POINTER;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;

  // DISPPARAMS wants the arguments last first, a put's value in front of them all. Shallow
  // copies: Invoke leaves its [in] arguments alone.
  std::vector<VARIANTARG> raw;
  raw.reserve(arguments.size() + 1);
  if (putValue != nullptr) raw.push_back(putValue->raw());
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) raw.push_back(it->raw());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = raw.empty() ? nullptr : raw.data();
  params.cArgs = static_cast<UINT>(raw.size());
  if (putValue != nullptr) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT badArgument = 0;
  Variant out;
  hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                       putValue != nullptr ? nullptr : out.Put(), &exception, &badArgument);
  if (hr == DISP_E_EXCEPTION) {
    // The member's own failure comes wrapped: IMAPI2's error numbers are in scode.
    if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
    hr = FAILED(exception.scode) ? exception.scode : E_FAIL;
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  if (SUCCEEDED(hr) && result != nullptr) *result = std::move(out);
  return hr;
}

}  // namespace ulvo::com
