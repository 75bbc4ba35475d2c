#pragma once

#include <type_traits>

#include "framework/dc.h"
#include "framework/wnd.h"

// The entries of a message table (see BEGIN_MESSAGE_MAP). Each kind of entry calls its handler
// through an adapter that unpacks the message's parameters; a handler whose signature does not
// fit its entry is a compile error.

namespace fw {

template <class Member>
struct MemberClass;
template <class Class, class Type>
struct MemberClass<Type Class::*> {
  using type = Class;
};

// The object to call a handler of T's table on, once the handler's signature is checked.
template <class T, auto Handler, class Signature>
typename MemberClass<decltype(Handler)>::type& HandlerTarget(CWnd& wnd) {
  using Class = typename MemberClass<decltype(Handler)>::type;
  static_assert(std::is_same_v<decltype(Handler), Signature Class::*>,
                "the handler's signature does not fit this message table entry");
  static_assert(std::is_base_of_v<Class, T>,
                "the handler is not a member of the table's class or its bases");
  return static_cast<T&>(wnd);
}

// The object for a window handle passed in a message: the bound object, or a stand-in that
// lives for the handler's call.
class WindowArgument {
 public:
  explicit WindowArgument(HWND hwnd) : m_bound(CWnd::FromHandlePermanent(hwnd)) {
    m_standIn.m_hWnd = hwnd;
  }
  CWnd* get() {
    if (m_bound != nullptr) {
      return m_bound;
    }
    return m_standIn.m_hWnd != nullptr ? &m_standIn : nullptr;
  }

 private:
  CWnd* m_bound;
  CWnd m_standIn;
};

template <class T, auto H>
bool CallVoid(CWnd& wnd, UINT, WPARAM, LPARAM, LRESULT& result) {
  (HandlerTarget<T, H, void()>(wnd).*H)();
  result = 0;
  return true;
}

template <class T, auto H>
bool CallMessage(CWnd& wnd, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = (HandlerTarget<T, H, LRESULT(WPARAM, LPARAM)>(wnd).*H)(wParam, lParam);
  return true;
}

template <class T, auto H>
bool CallTimer(CWnd& wnd, UINT, WPARAM wParam, LPARAM, LRESULT& result) {
  (HandlerTarget<T, H, void(UINT_PTR)>(wnd).*H)(wParam);
  result = 0;
  return true;
}

template <class T, auto H>
bool CallSize(CWnd& wnd, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  (HandlerTarget<T, H, void(UINT, int, int)>(wnd).*H)(static_cast<UINT>(wParam), LOWORD(lParam),
                                                      HIWORD(lParam));
  result = 0;
  return true;
}

template <class T, auto H>
bool CallMouse(CWnd& wnd, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  (HandlerTarget<T, H, void(UINT, CPoint)>(wnd).*H)(static_cast<UINT>(wParam),
                                                    CPoint::FromLParam(lParam));
  result = 0;
  return true;
}

template <class T, auto H>
bool CallEraseBkgnd(CWnd& wnd, UINT, WPARAM wParam, LPARAM, LRESULT& result) {
  CDC dc(reinterpret_cast<HDC>(wParam));
  result = (HandlerTarget<T, H, BOOL(CDC*)>(wnd).*H)(&dc);
  return true;
}

template <class T, auto H>
bool CallSetCursor(CWnd& wnd, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  WindowArgument window(reinterpret_cast<HWND>(wParam));
  result = (HandlerTarget<T, H, BOOL(CWnd*, UINT, UINT)>(wnd).*H)(window.get(), LOWORD(lParam),
                                                                  HIWORD(lParam));
  return true;
}

template <class T, auto H>
bool CallQueryDragIcon(CWnd& wnd, UINT, WPARAM, LPARAM, LRESULT& result) {
  result = reinterpret_cast<LRESULT>((HandlerTarget<T, H, HCURSOR()>(wnd).*H)());
  return true;
}

// nCtlColor is the CTLCOLOR_* kind: the WM_CTLCOLOR* messages are numbered in that order.
template <class T, auto H>
bool CallCtlColor(CWnd& wnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  CDC dc(reinterpret_cast<HDC>(wParam));
  WindowArgument control(reinterpret_cast<HWND>(lParam));
  result = reinterpret_cast<LRESULT>((HandlerTarget<T, H, HBRUSH(CDC*, CWnd*, UINT)>(wnd).*H)(
      &dc, control.get(), message - WM_CTLCOLORMSGBOX));
  return true;
}

// A null brush declines the request, which the parent then answers itself.
template <class T, auto H>
bool CallCtlColorReflect(CWnd& wnd, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  CDC dc(reinterpret_cast<HDC>(wParam));
  const HBRUSH brush = (HandlerTarget<T, H, HBRUSH(CDC*, UINT)>(wnd).*H)(
      &dc, message - WM_REFLECT_BASE - WM_CTLCOLORMSGBOX);
  result = reinterpret_cast<LRESULT>(brush);
  return brush != nullptr;
}

template <class T, auto H>
bool CallDrawItemReflect(CWnd& wnd, UINT, WPARAM, LPARAM lParam, LRESULT& result) {
  (HandlerTarget<T, H, void(DRAWITEMSTRUCT*)>(wnd).*H)(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
  result = TRUE;
  return true;
}

}  // namespace fw

#define FW_MESSAGE_ENTRY(message, invoker) ::fw::MessageEntry{message, message, 0, 0, invoker},

// Messages with the handler's conventional name and signature.
#define ON_WM_PAINT() FW_MESSAGE_ENTRY(WM_PAINT, (&::fw::CallVoid<ThisClass, &ThisClass::OnPaint>))
#define ON_WM_TIMER() FW_MESSAGE_ENTRY(WM_TIMER, (&::fw::CallTimer<ThisClass, &ThisClass::OnTimer>))
#define ON_WM_SIZE() FW_MESSAGE_ENTRY(WM_SIZE, (&::fw::CallSize<ThisClass, &ThisClass::OnSize>))
#define ON_WM_MOUSEMOVE() \
  FW_MESSAGE_ENTRY(WM_MOUSEMOVE, (&::fw::CallMouse<ThisClass, &ThisClass::OnMouseMove>))
#define ON_WM_ERASEBKGND() \
  FW_MESSAGE_ENTRY(WM_ERASEBKGND, (&::fw::CallEraseBkgnd<ThisClass, &ThisClass::OnEraseBkgnd>))
#define ON_WM_SETCURSOR() \
  FW_MESSAGE_ENTRY(WM_SETCURSOR, (&::fw::CallSetCursor<ThisClass, &ThisClass::OnSetCursor>))
#define ON_WM_QUERYDRAGICON()        \
  FW_MESSAGE_ENTRY(WM_QUERYDRAGICON, \
                   (&::fw::CallQueryDragIcon<ThisClass, &ThisClass::OnQueryDragIcon>))
// All seven WM_CTLCOLOR* messages.
#define ON_WM_CTLCOLOR()                                         \
  ::fw::MessageEntry{WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, 0, \
                     &::fw::CallCtlColor<ThisClass, &ThisClass::OnCtlColor>},

// Any message, handled as LRESULT Handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) \
  FW_MESSAGE_ENTRY(message, (&::fw::CallMessage<ThisClass, memberFxn>))

// A message registered at run time, handled as LRESULT Handler(WPARAM, LPARAM); the variable
// holds its number (from RegisterWindowMessage) by the time messages arrive.
#define ON_REGISTERED_MESSAGE(messageVariable, memberFxn)      \
  ::fw::MessageEntry{::fw::kFirstRegisteredMessage,            \
                     ::fw::kLastRegisteredMessage,             \
                     0,                                        \
                     0,                                        \
                     &::fw::CallMessage<ThisClass, memberFxn>, \
                     &messageVariable},

// A menu or accelerator command, or a control's notification, by id; void Handler().
#define ON_COMMAND(id, memberFxn) \
  ::fw::MessageEntry{WM_COMMAND, WM_COMMAND, id, 0, &::fw::CallVoid<ThisClass, memberFxn>},
#define ON_CONTROL(code, id, memberFxn) \
  ::fw::MessageEntry{WM_COMMAND, WM_COMMAND, id, code, &::fw::CallVoid<ThisClass, memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// Messages the parent passes back to this control (see WM_REFLECT_BASE).
#define ON_CONTROL_REFLECT(code, memberFxn)                                               \
  ::fw::MessageEntry{WM_REFLECT_BASE + WM_COMMAND, WM_REFLECT_BASE + WM_COMMAND, 0, code, \
                     &::fw::CallVoid<ThisClass, memberFxn>},
// HBRUSH CtlColor(CDC*, UINT nCtlColor); a null brush leaves the request to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                  \
  ::fw::MessageEntry{WM_REFLECT_BASE + WM_CTLCOLORMSGBOX, WM_REFLECT_BASE + WM_CTLCOLORSTATIC, 0, \
                     0, &::fw::CallCtlColorReflect<ThisClass, &ThisClass::CtlColor>},
// void DrawItem(DRAWITEMSTRUCT*)
#define ON_WM_DRAWITEM_REFLECT()                  \
  FW_MESSAGE_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, \
                   (&::fw::CallDrawItemReflect<ThisClass, &ThisClass::DrawItem>))
