#pragma once

// Owning wrappers for platform handles: one alias per handle kind, closed exactly once.

#include <windows.h>

#include <cstdint>
#include <utility>

template <typename T, auto Close, std::intptr_t Invalid = 0>
class unique_any {
 public:
  unique_any() noexcept = default;
  explicit unique_any(T value) noexcept : value_(value) {}
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    reset(other.release());
    return *this;
  }
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  ~unique_any() { reset(); }

  static T invalid() noexcept { return reinterpret_cast<T>(Invalid); }

  T get() const noexcept { return value_; }
  bool is_valid() const noexcept { return value_ != invalid(); }
  explicit operator bool() const noexcept { return is_valid(); }

  T release() noexcept { return std::exchange(value_, invalid()); }
  void reset(T value = invalid()) noexcept {
    T old = std::exchange(value_, value);
    if (old != invalid()) Close(old);
  }

 private:
  T value_ = invalid();
};

using unique_hfile = unique_any<HANDLE, ::CloseHandle, -1>;
using unique_hfind = unique_any<HANDLE, ::FindClose, -1>;
using unique_hhook = unique_any<HHOOK, ::UnhookWindowsHookEx>;
using unique_hbrush = unique_any<HBRUSH, ::DeleteObject>;
using unique_hicon = unique_any<HICON, ::DestroyIcon>;
using unique_hwnd = unique_any<HWND, ::DestroyWindow>;
using unique_hdc = unique_any<HDC, ::DeleteDC>;
using unique_hbitmap = unique_any<HBITMAP, ::DeleteObject>;
using unique_hrgn = unique_any<HRGN, ::DeleteObject>;
