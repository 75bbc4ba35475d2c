#include "test_controls.h"

namespace framework_test {

BEGIN_MESSAGE_MAP(RecordingButton, CButton)
ON_MESSAGE(kPrivateMessage, &RecordingButton::OnPrivateMessage)
END_MESSAGE_MAP()

void RecordingButton::DrawItem(DRAWITEMSTRUCT* item) {
  drawnItemIds.push_back(item->CtlID);
}

void RecordingButton::PreSubclassWindow() {
  hwndWhenBound = m_hWnd;
}

LRESULT RecordingButton::OnPrivateMessage(WPARAM, LPARAM) {
  ++privateMessages;
  return 5;
}

BEGIN_MESSAGE_MAP(ColouredStatic, CStatic)
ON_WM_CTLCOLOR_REFLECT()
ON_CONTROL_REFLECT(STN_CLICKED, &ColouredStatic::OnClicked)
END_MESSAGE_MAP()

HBRUSH ColouredStatic::CtlColor(CDC* dc, UINT ctlColor) {
  colourRequests.push_back(ctlColor);
  if (declines) {
    return nullptr;
  }
  dc->SetTextColor(kTextColour);
  return brush;
}

void ColouredStatic::OnClicked() {
  ++clicks;
}

}  // namespace framework_test
