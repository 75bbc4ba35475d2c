#include "framework/message_map.h"

namespace fw {
namespace {

bool Takes(const MessageEntry& entry, UINT message, WPARAM wParam) {
  if (message < entry.firstMessage || message > entry.lastMessage) {
    return false;
  }
  if (entry.registeredMessage != nullptr) {
    return message == *entry.registeredMessage;
  }
  if (message == WM_COMMAND) {
    return LOWORD(wParam) == entry.id && HIWORD(wParam) == entry.code;
  }
  // A reflected notification is the control's own: only its code tells entries apart.
  if (message == WM_REFLECT_BASE + WM_COMMAND) {
    return HIWORD(wParam) == entry.code;
  }
  return true;
}

}  // namespace

const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam) {
  for (; map != nullptr; map = map->base != nullptr ? map->base() : nullptr) {
    for (const MessageEntry* entry = map->entries; entry->invoke != nullptr; ++entry) {
      if (Takes(*entry, message, wParam)) {
        return entry;
      }
    }
  }
  return nullptr;
}

}  // namespace fw
