#include "framework/wnd.h"

#include <utility>

#include "framework/window_map.h"
#include "platform/wide_win32.h"

CWnd::CWnd() = default;

CWnd::~CWnd() {
  // Stand-ins and unbound objects leave the window alone.
  if (m_hWnd == nullptr || FromHandlePermanent(m_hWnd) != this) {
    return;
  }
  const bool ownsWindow = m_bOwnsWindow;
  // Unbound first: the window's last messages must not reach a half-destroyed object.
  const HWND hwnd = UnsubclassWindow();
  if (ownsWindow) {
    ::DestroyWindow(hwnd);
  }
}

const fw::MessageMap* CWnd::GetThisMessageMap() {
  static const fw::MessageEntry kNoEntries[] = {{0, 0, 0, 0, nullptr}};
  static const fw::MessageMap kMap{nullptr, kNoEntries};
  return &kMap;
}

const fw::MessageMap* CWnd::GetMessageMap() const {
  return GetThisMessageMap();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  return fw::FindBinding(hwnd).object;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (m_hWnd != nullptr || hwnd == nullptr || !fw::AddBinding(hwnd, this)) {
    return FALSE;
  }
  m_hWnd = hwnd;
  PreSubclassWindow();
  // A Unicode procedure: text messages reach the window and its controls in UTF-16, not
  // through the ANSI code page.
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure)));
  if (previous == nullptr) {
    // Not a window this process may subclass (or no window at all).
    fw::RemoveBinding(hwnd);
    m_hWnd = nullptr;
    return FALSE;
  }
  fw::SetPreviousProcedure(hwnd, previous);
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  const HWND item =
      parent != nullptr ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
  return item != nullptr && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() {
  const HWND hwnd = m_hWnd;
  if (hwnd == nullptr || FromHandlePermanent(hwnd) != this) {
    return nullptr;
  }
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (current == &WindowProcedure) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(fw::FindBinding(hwnd).previous));
    fw::RemoveBinding(hwnd);
  } else {
    // Another subclass sits on top and still calls ours, which must keep forwarding.
    fw::DropObject(hwnd);
  }
  ForgetWindow();
  return hwnd;
}

BOOL CWnd::DestroyWindow() {
  return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
  return FALSE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, DWORD style, HWND parent) {
  if (className == nullptr) {
    return FALSE;
  }
  const HWND hwnd = CreateWindowExW(exStyle, platform::WideText(className).c_str(), nullptr, style,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (hwnd == nullptr) {
    return FALSE;
  }
  if (!SubclassWindow(hwnd)) {
    ::DestroyWindow(hwnd);
    return FALSE;
  }
  m_bOwnsWindow = true;
  return TRUE;
}

CWnd* CWnd::GetDlgItem(int id) {
  const HWND child = ::GetDlgItem(m_hWnd, id);
  if (child == nullptr) {
    return nullptr;
  }
  if (CWnd* bound = FromHandlePermanent(child)) {
    return bound;
  }
  std::unique_ptr<CWnd>& standIn = m_itemStandIns[child];
  if (!standIn) {
    standIn = std::make_unique<CWnd>();
    standIn->m_hWnd = child;
  }
  return standIn.get();
}

// Exceptions must not unwind through the system's frames that called this procedure: one that
// escapes a handler ends the program here instead.
LRESULT CALLBACK CWnd::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
  const fw::WindowBinding binding = fw::FindBinding(hwnd);
  if (binding.object != nullptr) {
    return binding.object->Dispatch(message, wParam, lParam);
  }
  const LRESULT result = binding.previous != nullptr
                             ? CallWindowProcW(binding.previous, hwnd, message, wParam, lParam)
                             : ::DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    fw::RemoveBinding(hwnd);
  }
  return result;
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!HandleMessage(message, wParam, lParam, result)) {
    result = DefWindowProc(message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    // The window is gone: nothing to hand back, only the binding to forget.
    fw::RemoveBinding(m_hWnd);
    ForgetWindow();
  }
  return result;
}

void CWnd::ForgetWindow() {
  m_hWnd = nullptr;
  m_bOwnsWindow = false;
  m_itemStandIns.clear();
}

bool CWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const CurrentMessage current{message, wParam, lParam};
  const CurrentMessage* const outer = std::exchange(m_pCurrentMessage, &current);
  bool handled = false;
  // A control's notification goes to the control first.
  if (message == WM_COMMAND && lParam != 0) {
    handled = ReflectToChild(message, wParam, lParam, result);
  }
  if (!handled) {
    if (const fw::MessageEntry* entry = fw::FindMessageEntry(GetMessageMap(), message, wParam)) {
      handled = entry->invoke(*this, message, wParam, lParam, result);
    } else if (message == WM_DRAWITEM ||
               (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)) {
      handled = ReflectToChild(message, wParam, lParam, result);
    }
  }
  m_pCurrentMessage = outer;
  return handled;
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = reinterpret_cast<HWND>(lParam);
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    child = item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
  }
  CWnd* const control = FromHandlePermanent(child);
  return control != nullptr && control != this &&
         control->HandleMessage(WM_REFLECT_BASE + message, wParam, lParam, result);
}

LRESULT CWnd::Default() {
  // A reflected message has no window procedure behind it.
  if (m_pCurrentMessage == nullptr || m_pCurrentMessage->message >= WM_REFLECT_BASE) {
    return 0;
  }
  return DefWindowProc(m_pCurrentMessage->message, m_pCurrentMessage->wParam,
                       m_pCurrentMessage->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = fw::FindBinding(m_hWnd).previous;
  return previous != nullptr ? CallWindowProcW(previous, m_hWnd, message, wParam, lParam)
                             : ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) {
  if (m_pCurrentMessage == nullptr) {
    return nullptr;
  }
  const CurrentMessage message = *m_pCurrentMessage;
  LRESULT result = 0;
  if (ReflectToChild(message.message, message.wParam, message.lParam, result)) {
    return reinterpret_cast<HBRUSH>(result);
  }
  return reinterpret_cast<HBRUSH>(Default());
}
