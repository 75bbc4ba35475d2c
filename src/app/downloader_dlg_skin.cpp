// The window's skin: the background image composed from the bitmaps, the controls' requests for
// the piece of it under them, the plain statics' colours, and dragging by the background.

#include "app/downloader_dlg.h"
#include "controls/transparent_ctrl.h"
#include "resource.h"

namespace {

// The left edge of the dark box behind the target folder in phase 1, in client coordinates.
constexpr int kFolderBoxLeft = 16;
constexpr COLORREF kPlainTextColour = RGB(255, 255, 255);

// Copies a bitmap into the DC at (x, y), whole.
void Draw(CDC& target, CDC& compatibleWith, const CBitmap& bitmap, int x, int y) {
  CDC source;
  source.CreateCompatibleDC(&compatibleWith);
  const ScopedSelection selection(source, bitmap);
  const CSize size = bitmap.GetSize();
  target.BitBlt(x, y, size.cx, size.cy, &source, 0, 0, SRCCOPY);
}

}  // namespace

void CDownloaderDlg::BuildBackground() {
  CBitmap background;
  background.LoadBitmap(IDB_BACKGROUND);
  const CSize size = background.GetSize();
  // The window always has the background's size. A change sends WM_SIZE at once, and the build
  // it runs is replaced by this one.
  SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);

  CClientDC windowDC(this);
  CRect client;
  GetClientRect(&client);
  m_pMemDC.reset();
  m_pMemDC = std::make_unique<CMemoryDC>(windowDC, client.Width(), client.Height());
  Draw(*m_pMemDC, windowDC, background, 0, 0);
  const HWND status = ::GetDlgItem(m_hWnd, IDC_STATUS);
  // The build during the window's creation comes before the status line exists; the one at the
  // end of start-up draws the box.
  if (m_job.m_nPhase == 1 && status != nullptr) {
    CBitmap folderBox;
    folderBox.LoadBitmap(IDB_FOLDER_BOX);
    // Centred on the status line where it really is: the template's place in pixels depends on
    // the system's dialog units (Arial 8 gives 6 x 12 under Wine; 6 x 14 puts it at y 153).
    const CRect line = RectInParent(status);
    const int top = line.top + (line.Height() - folderBox.GetSize().cy + 1) / 2;
    Draw(*m_pMemDC, windowDC, folderBox, kFolderBoxLeft, top);
  }
  RefreshTransparentChildren(m_hWnd);
}

void CDownloaderDlg::OnSize(UINT type, int, int) {
  Default();
  // An iconic window shows no client area; the image is built again when it is restored.
  if (type == SIZE_MINIMIZED) {
    return;
  }
  BuildBackground();
  Invalidate(FALSE);
}

LRESULT CDownloaderDlg::OnParentBkgnd(WPARAM wParam, LPARAM lParam) {
  CDC childDC(reinterpret_cast<HDC>(wParam));
  CopyParentBackground(m_pMemDC.get(), childDC, reinterpret_cast<HWND>(lParam));
  return 1;  // also without an image: the control then keeps what its DC held
}

HBRUSH CDownloaderDlg::OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor) {
  // The base lets a control that colours itself (the link label) answer first.
  const HBRUSH brush = CDialog::OnCtlColor(dc, control, ctlColor);
  const bool textControl =
      ctlColor == CTLCOLOR_EDIT || ctlColor == CTLCOLOR_LISTBOX || ctlColor == CTLCOLOR_STATIC;
  if (!textControl || control == nullptr || control->GetDlgCtrlID() == IDC_LINK) {
    return brush;
  }
  // White text straight on the skin: the window repaints the image under a static before its
  // text changes (SetLabelText).
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(kPlainTextColour);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CDownloaderDlg::OnMouseMove(UINT flags, CPoint) {
  // The left button alone drags the window by its background, as a caption would.
  if (flags == MK_LBUTTON) {
    ReleaseCapture();
    SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return;
  }
  Default();
}
