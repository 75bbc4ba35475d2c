#pragma once

#include "framework/wnd.h"

class CDataExchange;

// A modal dialog made from a dialog template resource. The object is bound to the dialog window
// from the window's first message on, so its table also sees the messages of the window's
// creation (WM_SIZE among them) before OnInitDialog.
class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);

  // Runs the dialog until EndDialog; returns the code it ended with, or -1 when the dialog
  // could not be created.
  INT_PTR DoModal();
  void EndDialog(int result);
  // Runs DoDataExchange; FALSE when a control could not be bound.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

 protected:
  // Binds the member controls (DDX_Control); the base binds nothing.
  virtual void DoDataExchange(CDataExchange* dx);
  // Binds the controls. TRUE lets the dialog manager set the focus.
  virtual BOOL OnInitDialog();
  // IDOK (also Enter): exchanges data, then ends the dialog with IDOK.
  virtual void OnOK();
  // IDCANCEL (also Escape and the close command): ends the dialog with IDCANCEL.
  virtual void OnCancel();

 private:
  LRESULT HandleInitDialog(WPARAM, LPARAM);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

  DECLARE_MESSAGE_MAP()
};
