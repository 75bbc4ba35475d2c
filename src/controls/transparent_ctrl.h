#pragma once

#include <windows.h>

#include "framework/dc.h"

// The protocol by which a control shows its parent's background instead of one of its own.
//
// A transparent control bears the window property kTransparentCtrlProperty (value: its own
// handle). While it paints, it sends its parent WM_PARENTBKGND; a parent that holds its composed
// background image copies the piece under the control into the given DC (CopyParentBackground)
// and answers nonzero. A parent that answers 0 is asked for WM_ERASEBKGND with the same DC
// instead. After the parent rebuilt its image it repaints every marked child
// (RefreshTransparentChildren). Both messages are sent, never posted.

// wParam: the DC to paint into, origin at the control's top-left corner; lParam: the control's
// window. Result: nonzero when the parent has painted.
constexpr UINT WM_PARENTBKGND = 0x7FD;
// Sent by the refresh walk to each visible marked child; wParam and lParam 0. A child answering 1
// is left alone, any other answer gets it repainted.
constexpr UINT WM_SKIPREFRESH = 0x1095;
// The misspelling is part of the protocol: whatever looks for the mark looks for this name.
constexpr char kTransparentCtrlProperty[] = "###tranparentctrl_tag###";

// 1 when it put the mark on the window, 0 when the window bore it already.
int TagTransparentCtrl(HWND window);
int IsTransparentCtrl(HWND window);
// Invalidates, with erase, every visible marked child of the parent that does not answer
// WM_SKIPREFRESH with 1.
void RefreshTransparentChildren(HWND parent);
// The parent's side of WM_PARENTBKGND: copies the child's rectangle of the background (a DC in
// the parent's client coordinates; nothing is copied without one) into the child's DC at (0, 0).
void CopyParentBackground(CDC* background, CDC& childDC, HWND child);

// Replaces a text control's window text without its class's own handling, which under Wine
// paints the new text at once over the old one; the text shows at the control's next paint, so
// the caller invalidates the skin under the control first.
void ReplaceWindowText(HWND control, const char* text);

// A transparent control's part of the protocol; the control holds one as a member, attaches its
// window when it is bound and detaches it on WM_NCDESTROY.
class CTransparentHelper {
 public:
  // Remembers the control's window and marks it.
  void Attach(HWND control);
  // Takes the mark off again and forgets the window.
  void Detach();
  // Fills the DC with the parent's background under the control: the parent's answer to
  // WM_PARENTBKGND, else to WM_ERASEBKGND. Returns the last answer.
  LRESULT DrawParentBackground(CDC& dc) const;

  HWND m_hWndCtrl = nullptr;
};
