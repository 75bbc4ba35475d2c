#pragma once

#include <windows.h>

class CWnd;

// A message a parent passes back to the child control it concerns (WM_COMMAND notifications,
// WM_DRAWITEM, WM_CTLCOLOR*) is offered to that control's table as WM_REFLECT_BASE + message.
// The base lies above every real message number, so a reflected entry never matches one.
constexpr UINT WM_REFLECT_BASE = 0x10000;

namespace fw {

// Calls one handler with the message's parameters unpacked for its kind. Returns false when the
// handler declined the message (only reflected colour requests can), so that default
// processing runs instead.
using HandlerInvoker = bool (*)(CWnd& target, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result);

// The numbers RegisterWindowMessage gives out.
constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr UINT kLastRegisteredMessage = 0xFFFF;

// One line of a message table: the messages it takes (a range, for the WM_CTLCOLOR* family)
// and, for commands, the command or control id and the notification code. A message registered
// at run time (RegisterWindowMessage) has no number when the table is made: the entry points to
// the variable that holds it and takes only that message of the registered range.
struct MessageEntry {
  UINT firstMessage;
  UINT lastMessage;
  UINT id;
  UINT code;
  HandlerInvoker invoke;
  const UINT* registeredMessage = nullptr;
};

// A class's table: its entries, in order, ended by an entry without invoker, and the table of
// its base class.
struct MessageMap {
  const MessageMap* (*base)();
  const MessageEntry* entries;
};

// The first entry that takes the message, searching the class's own table and then its bases'.
const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam);

}  // namespace fw

// Declares a class's message table; goes in the class body.
#define DECLARE_MESSAGE_MAP()                         \
 protected:                                           \
  static const ::fw::MessageMap* GetThisMessageMap(); \
  const ::fw::MessageMap* GetMessageMap() const override;

// Defines the table, in a source file: BEGIN_MESSAGE_MAP(Class, Base), entries written with the
// ON_ macros of message_entries.h, END_MESSAGE_MAP(). Handlers are named with their class
// (&Class::OnSomething) except for the ON_WM_ macros, which use the conventional names.
// The two macros open and close one definition, which the formatter cannot follow.
// clang-format off
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                             \
  const ::fw::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const ::fw::MessageMap* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                          \
    using TheBaseClass = baseClass;                                                       \
    static const ::fw::MessageEntry kEntries[] = {

#define END_MESSAGE_MAP()                                                                  \
      ::fw::MessageEntry{0, 0, 0, 0, nullptr}};                                           \
    static const ::fw::MessageMap kMap{&TheBaseClass::GetThisMessageMap, kEntries};       \
    return &kMap;                                                                         \
  }
// clang-format on
