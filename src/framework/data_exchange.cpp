#include "framework/data_exchange.h"

#include "framework/wnd.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.m_hWnd == nullptr && !control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd)) {
    dx->Fail();
  }
}
