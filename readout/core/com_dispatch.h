#pragma once
// Late-bound use of the system's COM automation objects: members called by name through
// IDispatch, with owning wrappers for interface references, VARIANTs and their SAFEARRAYs,
// and UTF-8 <-> UTF-16 for BSTRs. Windows only; the IMAPI2 recorder uses it because the
// mingw headers know no IMAPI2 interfaces.

// windows.h first: the other system headers build on it.
#include <windows.h>

#include <oaidl.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ulvo::com {

// One counted reference to a COM interface.
template <typename T>
class Ref {
 public:
  Ref() = default;
  // Takes over a reference the caller already holds.
  explicit Ref(T* adopted) : p_(adopted) {}
  // Adds a reference of its own.
  static Ref Share(T* p) {
    if (p != nullptr) p->AddRef();
    return Ref(p);
  }
  Ref(const Ref& other) : p_(other.p_) {
    if (p_ != nullptr) p_->AddRef();
  }
  Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Ref& operator=(Ref other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~Ref() { Reset(); }

  void Reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }
  // For out parameters: releases what it held.
  T** Put() {
    Reset();
    return &p_;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// nullopt for text that is not UTF-8.
std::optional<std::wstring> Utf8ToWide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);
// A BSTR's text (it may hold NULs; its length is its own).
std::string BstrToUtf8(BSTR text);

// An owned VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;

  static Variant Bool(bool value);
  static Variant Long(long value);
  // nullopt for text that is not UTF-8 (or out of memory).
  static std::optional<Variant> Text(std::string_view utf8);
  // Hold their own reference.
  static Variant Object(IDispatch* object);
  static Variant Unknown(IUnknown* object);
  // A one-dimensional SAFEARRAY of VARIANTs (lower bound 0); nullopt when out of memory.
  static std::optional<Variant> Array(const std::vector<Variant>& elements);

  const VARIANT& raw() const { return v_; }
  // Clears it and hands it out for filling.
  VARIANT* Put();
  VARTYPE type() const { return v_.vt; }

  // The value converted like automation does (VariantChangeType); nullopt when it does not go.
  std::optional<long> AsLong() const;
  std::optional<bool> AsBool() const;
  std::optional<std::string> AsText() const;
  // The object held (VT_DISPATCH, or VT_UNKNOWN that answers IDispatch); empty otherwise.
  Ref<IDispatch> AsDispatch() const;
  // Asks the object held for interface `iid`; empty when it has none.
  Ref<IUnknown> Query(REFIID iid) const;
  // The elements of a one-dimensional SAFEARRAY of any automation type, each as a VARIANT;
  // nullopt when it holds no such array.
  std::optional<std::vector<Variant>> Elements() const;

 private:
  VARIANT v_;
};

// An automation object reached by member names.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(Ref<IDispatch> object) : object_(std::move(object)) {}

  // CLSIDFromProgID and CoCreateInstance (in-process or local server). The HRESULT.
  static HRESULT Create(const wchar_t* progId, Dispatch& created);

  HRESULT Get(const wchar_t* name, Variant& value,
              const std::vector<Variant>& arguments = {}) const;
  // A property that holds an object; E_NOINTERFACE when it holds none.
  HRESULT GetDispatch(const wchar_t* name, Dispatch& value,
                      const std::vector<Variant>& arguments = {}) const;
  HRESULT Put(const wchar_t* name, const Variant& value) const;
  // Arguments in their declared order; `result` may be null.
  HRESULT Call(const wchar_t* name, const std::vector<Variant>& arguments = {},
               Variant* result = nullptr) const;

  IDispatch* get() const { return object_.get(); }
  explicit operator bool() const { return static_cast<bool>(object_); }
  void Reset() { object_.Reset(); }

 private:
  HRESULT Invoke(const wchar_t* name, WORD flags, const std::vector<Variant>& arguments,
                 const Variant* putValue, Variant* result) const;

  Ref<IDispatch> object_;
};

}  // namespace ulvo::com
