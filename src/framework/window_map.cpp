#include "framework/window_map.h"

#include <mutex>
#include <unordered_map>

namespace fw {
namespace {

struct WindowTable {
  std::mutex lock;
  std::unordered_map<HWND, WindowBinding> bindings;
};

WindowTable& Table() {
  static WindowTable table;
  return table;
}

}  // namespace

bool AddBinding(HWND hwnd, CWnd* object) {
  WindowTable& table = Table();
  const std::lock_guard<std::mutex> guard(table.lock);
  return table.bindings.emplace(hwnd, WindowBinding{object, nullptr}).second;
}

void SetPreviousProcedure(HWND hwnd, WNDPROC previous) {
  WindowTable& table = Table();
  const std::lock_guard<std::mutex> guard(table.lock);
  const auto found = table.bindings.find(hwnd);
  if (found != table.bindings.end()) {
    found->second.previous = previous;
  }
}

WindowBinding FindBinding(HWND hwnd) {
  WindowTable& table = Table();
  const std::lock_guard<std::mutex> guard(table.lock);
  const auto found = table.bindings.find(hwnd);
  return found == table.bindings.end() ? WindowBinding{} : found->second;
}

void DropObject(HWND hwnd) {
  WindowTable& table = Table();
  const std::lock_guard<std::mutex> guard(table.lock);
  const auto found = table.bindings.find(hwnd);
  if (found != table.bindings.end()) {
    found->second.object = nullptr;
  }
}

void RemoveBinding(HWND hwnd) {
  WindowTable& table = Table();
  const std::lock_guard<std::mutex> guard(table.lock);
  table.bindings.erase(hwnd);
}

}  // namespace fw
