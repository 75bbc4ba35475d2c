#pragma once

#include <windows.h>

#include <string>

#include "framework/basic_controls.h"
#include "framework/gdi_object.h"
#include "framework/tooltip_ctrl.h"

// A static text that works as a link: its text in a link, hover or visited colour on no
// background, a link cursor, a tooltip with the address, and a click that opens the address in
// the user's browser. The static paints itself; it asks of its parent that the colour request
// (WM_CTLCOLORSTATIC) be passed back to it, as the framework's reflection does.
class CLinkLabel : public CStatic {
 public:
  static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
  static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
  static constexpr COLORREF kHoverColour = RGB(255, 0, 0);
  // As a hover colour: the system's highlight colour.
  static constexpr COLORREF kSystemHighlight = 0xFFFFFFFF;
  // Underline modes.
  static constexpr int kUnderlineOnHover = -1;
  static constexpr int kUnderlineNever = 0;
  static constexpr int kUnderlineAlways = 1;

  ~CLinkLabel() override;

  void SetTarget(const std::string& address);
  void SetLinkColors(COLORREF link, COLORREF visited, COLORREF hover);
  void SetVisitedState(BOOL visited);
  void SetUnderlineMode(int mode);
  // Sizes the window to its text, keeping its left edge, its right edge (SS_RIGHT) or its
  // centre (SS_CENTER), and its vertical centre with SS_CENTERIMAGE.
  void FitToText();
  void LoadLinkCursor();

  // Opens the address in the user's browser: through the shell, else through the command line
  // registered for ".htm" files. Returns a value above 32 on success, else an error code of
  // ShellExecute's kind (SE_ERR_OOM when the command line and the address are too long).
  static int OpenTarget(const std::string& address, int showCommand);
  // The default value of a registry key; on failure the registry's error code, and the output
  // is left as it was.
  static LONG ReadRegistryDefault(HKEY root, const std::string& subkey, std::string& output);
  // The text ShowOpenError shows for an error code of OpenTarget.
  static std::string OpenErrorText(int code);
  static void ShowOpenError(int code);

  BOOL DestroyWindow() override;

 protected:
  void PreSubclassWindow() override;
  HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnMouseMove(UINT flags, CPoint point);
  void OnTimer(UINT_PTR id);
  void OnLinkClicked();
  BOOL OnEraseBkgnd(CDC* dc);

 private:
  void SetHover(BOOL hover);
  // The parent repaints its skin under the label before the label's text is drawn again.
  void InvalidateParentUnderLabel();

  COLORREF m_crLink = kLinkColour;
  COLORREF m_crVisited = kVisitedColour;
  COLORREF m_crHover = kHoverColour;
  BOOL m_bHover = FALSE;
  BOOL m_bVisited = FALSE;
  int m_nUnderline = kUnderlineOnHover;
  std::string m_strTarget;
  CFont m_fontUnderline;
  CFont m_fontNormal;
  HCURSOR m_hLinkCursor = nullptr;
  CToolTipCtrl m_toolTip;
  // Watches for the pointer leaving while the label is hovered.
  static constexpr UINT_PTR kHoverTimer = 100;

  DECLARE_MESSAGE_MAP()
};
