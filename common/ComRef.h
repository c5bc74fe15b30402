// Owners for COM interface pointers, BSTRs and VARIANTs, shared by the program and its sensor server. Windows only.
#pragma once

#include <utility>

#include <oleauto.h>
#include <windows.h>

template <class T> class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            m_pointer = std::exchange(other.m_pointer, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    // For out-parameters: releases what was held first.
    T** Put() {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (m_pointer != nullptr)
            std::exchange(m_pointer, nullptr)->Release();
    }

private:
    T* m_pointer = nullptr;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return m_text; }

private:
    BSTR m_text;
};

class Variant {
public:
    Variant() { VariantInit(&m_value); }
    explicit Variant(const wchar_t* text) : Variant() {
        m_value.vt = VT_BSTR;
        m_value.bstrVal = SysAllocString(text);
    }
    ~Variant() { VariantClear(&m_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Get() { return &m_value; }
    operator const VARIANT&() const { return m_value; }

private:
    VARIANT m_value;
};
