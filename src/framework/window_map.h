#pragma once

#include <windows.h>

class CWnd;

namespace fw {

// What the framework's window procedure knows about a window it subclassed: the bound object
// (null once the object let go while another subclass still sits on top of the framework's
// procedure) and the procedure the window had before.
struct WindowBinding {
  CWnd* object = nullptr;
  WNDPROC previous = nullptr;
};

// The process's HWND -> binding table. Windows are bound and dispatched on their own threads,
// but those may be several, so every access holds the table's lock (never across a call out).

// False when the window has an entry already.
bool AddBinding(HWND hwnd, CWnd* object);
void SetPreviousProcedure(HWND hwnd, WNDPROC previous);
// An empty binding when the window has no entry.
WindowBinding FindBinding(HWND hwnd);
// Keeps forwarding the window's messages to its previous procedure without an object.
void DropObject(HWND hwnd);
void RemoveBinding(HWND hwnd);

}  // namespace fw
