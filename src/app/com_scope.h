#pragma once

#include <objbase.h>

// COM for the calling thread while the object lives; uninitialised only when this object's
// initialisation succeeded (a thread already in another apartment model keeps it).
class ScopedComInit {
 public:
  ScopedComInit() : m_hr(CoInitialize(nullptr)) {}
  ~ScopedComInit() {
    if (SUCCEEDED(m_hr)) {
      CoUninitialize();
    }
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  HRESULT m_hr;
};
