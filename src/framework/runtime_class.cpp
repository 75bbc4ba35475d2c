#include "framework/runtime_class.h"

#include "framework/wnd.h"

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* record = this; record != nullptr; record = record->m_pBaseClass) {
    if (record == base) {
      return true;
    }
  }
  return false;
}

const CRuntimeClass* CWnd::GetThisClass() {
  static const CRuntimeClass record{"CWnd", nullptr};
  return &record;
}

const CRuntimeClass* CWnd::GetRuntimeClass() const {
  return GetThisClass();
}

BOOL CWnd::IsKindOf(const CRuntimeClass* runtimeClass) const {
  return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}
