#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "framework/geometry.h"
#include "framework/message_map.h"
#include "framework/runtime_class.h"

class CDC;
class CFont;

// A C++ object bound to a window. Binding subclasses the window: its messages go first through
// the object's message table (the class's, then its bases'), then to the window procedure it
// had before. The binding ends when the window is destroyed or the object is.
//
// Objects are used on the thread that owns their window; only posting reaches a window from
// other threads.
class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The object's run-time record: its class's, or its nearest base's that has one.
  static const CRuntimeClass* GetThisClass();
  virtual const CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* runtimeClass) const;

  HWND GetSafeHwnd() const { return m_hWnd; }
  // The object bound to the window, or null when none is.
  static CWnd* FromHandlePermanent(HWND hwnd);

  // Binds this object to an existing window of the calling thread. Fails when the object is
  // bound already or the window is bound to another object.
  BOOL SubclassWindow(HWND hwnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  // Hands the window back to its previous window procedure; returns it.
  HWND UnsubclassWindow();
  virtual BOOL DestroyWindow();
  // Sees a message of the modal loop before it is dispatched, for this window or one of its
  // children, while a fw::PreTranslateHook lives on the thread; TRUE keeps it from being
  // dispatched.
  virtual BOOL PreTranslateMessage(MSG* msg);

  // A child window by id. A child bound to an object gives that object; any other child gives
  // a stand-in that this window keeps until it is destroyed. Null when there is no such child.
  CWnd* GetDlgItem(int id);
  int GetDlgCtrlID() const;

  // Window texts are UTF-8 here and UTF-16 in the window.
  void SetWindowText(const char* text);
  void GetWindowText(std::string& text) const;
  // A message box owned by the window.
  int MessageBox(const char* text, const char* caption, UINT type = MB_OK);
  BOOL ShowWindow(int command);
  BOOL IsWindowVisible() const;
  BOOL IsIconic() const;
  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
  void UpdateWindow();
  void GetClientRect(RECT* rect) const;
  void GetWindowRect(RECT* rect) const;
  void ScreenToClient(POINT* point) const;
  void ScreenToClient(RECT* rect) const;
  void ClientToScreen(POINT* point) const;
  void ClientToScreen(RECT* rect) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
  BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags);
  DWORD GetStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add);
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC timerProc = nullptr);
  BOOL KillTimer(UINT_PTR id);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  void SetFont(CFont* font, BOOL redraw = TRUE);
  HFONT GetFont() const;
  HICON SetIcon(HICON icon, BOOL big);
  BOOL LockWindowUpdate();
  void UnlockWindowUpdate();

  HWND m_hWnd = nullptr;

 protected:
  // Called when a window is bound to the object, with m_hWnd already set and before the
  // object receives the window's messages.
  virtual void PreSubclassWindow();
  // Creates a window that this object owns and destroys with itself.
  BOOL CreateEx(DWORD exStyle, const char* className, DWORD style, HWND parent);

  // The previous window procedure's answer to the message being handled.
  LRESULT Default();
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // WM_CTLCOLOR*: the child's answer when the child colours itself (a reflected entry), else
  // the default one. Derived handlers call it first and may then change the colours.
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor);

  static const fw::MessageMap* GetThisMessageMap();
  virtual const fw::MessageMap* GetMessageMap() const;

 private:
  struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  // Runs the message through the table (and reflection); false when nothing handled it.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void ForgetWindow();

  const CurrentMessage* m_pCurrentMessage = nullptr;
  bool m_bOwnsWindow = false;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> m_itemStandIns;
};
