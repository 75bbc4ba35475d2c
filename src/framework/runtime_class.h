#pragma once

// A class's run-time record: its name and the record of its nearest base class that has one, so
// that code holding a CWnd* can ask what kind of control it is (CWnd::IsKindOf).
struct CRuntimeClass {
  const char* m_lpszClassName;
  const CRuntimeClass* m_pBaseClass;

  bool IsDerivedFrom(const CRuntimeClass* base) const;
};

#define RUNTIME_CLASS(theClass) (theClass::GetThisClass())

// In the class body: the class's record and the query that returns it for an object.
#define DECLARE_DYNAMIC(theClass)             \
 public:                                      \
  static const CRuntimeClass* GetThisClass(); \
  const CRuntimeClass* GetRuntimeClass() const override;

// In a source file.
#define IMPLEMENT_DYNAMIC(theClass, baseClass)                              \
  const CRuntimeClass* theClass::GetThisClass() {                           \
    static const CRuntimeClass record{#theClass, RUNTIME_CLASS(baseClass)}; \
    return &record;                                                         \
  }                                                                         \
  const CRuntimeClass* theClass::GetRuntimeClass() const {                  \
    return GetThisClass();                                                  \
  }
