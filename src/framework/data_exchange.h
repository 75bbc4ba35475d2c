#pragma once

#include <windows.h>

class CWnd;

// One run of a dialog's DoDataExchange.
class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate)
      : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

  void Fail() { m_bFailed = true; }
  bool Failed() const { return m_bFailed; }

  CWnd* m_pDlgWnd;
  BOOL m_bSaveAndValidate;

 private:
  bool m_bFailed = false;
};

// Binds the control object to the dialog's item with that id, once: the object then receives
// the item's messages. A missing item fails the exchange; the other bindings still happen.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
