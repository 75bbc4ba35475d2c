#include "framework/basic_controls.h"

#include "framework/message_entries.h"

BEGIN_MESSAGE_MAP(CButton, CWnd)
ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

void CButton::DrawItem(DRAWITEMSTRUCT*) {}
