#include "framework/dialog.h"

#include "framework/common_controls.h"
#include "framework/data_exchange.h"
#include "framework/message_entries.h"
#include "framework/modal_hooks.h"
#include "framework/win_app.h"

namespace {

// The dialog's messages reach its object through the subclassed window procedure; the dialog
// procedure only leaves the rest to the dialog manager.
INT_PTR CALLBACK LeaveToDialogManager(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
  if (m_hWnd != nullptr) {
    return -1;
  }
  fw::EnsureCommonControls();
  const fw::DialogCreationHook creationHook(*this);
  return DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                         m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr,
                         &LeaveToDialogManager, 0);
}

void CDialog::EndDialog(int result) {
  ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.Failed();
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) {
    EndDialog(IDOK);
  }
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
  return OnInitDialog();
}
