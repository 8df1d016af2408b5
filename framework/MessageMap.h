// Message routing tables. Each window class that handles messages declares
// DECLARE_MESSAGE_MAP() and defines a table with BEGIN_MESSAGE_MAP(Class, Base) ... END_MESSAGE_MAP().
// An entry matches a message, a notification code and a control id range, and calls its
// member through a thunk that fixes the handler's signature once per entry kind. A table
// chains to its base class's table; the first matching entry, most derived class first,
// handles the message.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CWnd;

// Where an entry applies: to the window's own messages, or to notifications that the
// parent received about this window and offered it first (reflection).
enum class MsgKind { Own, Reflected };

struct MsgMapEntry {
    MsgKind kind;
    UINT message;      // WM_... (WM_COMMAND / WM_NOTIFY for control notifications)
    UINT code;         // notification code for WM_COMMAND / WM_NOTIFY, else 0
    UINT idFirst;      // control id range for WM_COMMAND / WM_NOTIFY, else 0
    UINT idLast;
    // Calls the handler; returns false when the handler declines (the message then goes on
    // to later entries and finally to the default processing).
    bool (*thunk)(CWnd* self, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

struct MsgMap {
    const MsgMap* (*base)();      // the base class's table, null at the root
    const MsgMapEntry* entries;   // ends with an entry whose thunk is null
};

#define DECLARE_MESSAGE_MAP()                          \
public:                                                \
    static const MsgMap* GetThisMessageMap();          \
    const MsgMap* GetMessageMap() const override;      \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
    const MsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }      \
    const MsgMap* theClass::GetThisMessageMap()                                        \
    {                                                                                  \
        using ThisClass = theClass;                                                    \
        using TheBaseClass = baseClass;                                                \
        static const MsgMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                              \
            { MsgKind::Own, 0, 0, 0, 0, nullptr }                                      \
        };                                                                             \
        static const MsgMap map = { &TheBaseClass::GetThisMessageMap, entries };       \
        return &map;                                                                   \
    }

// Entry kinds. Each names the handler signature it calls.
// void Handler() on WM_COMMAND with a notification code from control id.
#define ON_CONTROL(code, id, fn) \
    { MsgKind::Own, WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
      [](CWnd* w, UINT, WPARAM, LPARAM, LRESULT*) { (static_cast<ThisClass*>(w)->*(fn))(); return true; } },
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
// void Handler(NMHDR*, LRESULT*) on WM_NOTIFY with a code from control id.
#define ON_NOTIFY(code, id, fn) \
    { MsgKind::Own, WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
      [](CWnd* w, UINT, WPARAM, LPARAM l, LRESULT* r) { *r = 0; (static_cast<ThisClass*>(w)->*(fn))(reinterpret_cast<NMHDR*>(l), r); return true; } },
// void Handler() on a notification the parent reflects back to this control (WM_COMMAND code).
#define ON_CONTROL_REFLECT(code, fn) \
    { MsgKind::Reflected, WM_COMMAND, static_cast<UINT>(code), 0, 0xFFFF, \
      [](CWnd* w, UINT, WPARAM, LPARAM, LRESULT*) { (static_cast<ThisClass*>(w)->*(fn))(); return true; } },
// BOOL Handler() on a reflected WM_COMMAND code that the control may decline: TRUE ends the
// routing, FALSE lets the parent's own entries run as well (a button that takes the focus on
// a click and still lets the dialog run its command).
#define ON_CONTROL_REFLECT_EX(code, fn) \
    { MsgKind::Reflected, WM_COMMAND, static_cast<UINT>(code), 0, 0xFFFF, \
      [](CWnd* w, UINT, WPARAM, LPARAM, LRESULT* r) { *r = 0; return (static_cast<ThisClass*>(w)->*(fn))() != FALSE; } },
// void Handler(NMHDR*, LRESULT*) on a reflected WM_NOTIFY code.
#define ON_NOTIFY_REFLECT(code, fn) \
    { MsgKind::Reflected, WM_NOTIFY, static_cast<UINT>(code), 0, 0xFFFF, \
      [](CWnd* w, UINT, WPARAM, LPARAM l, LRESULT* r) { *r = 0; (static_cast<ThisClass*>(w)->*(fn))(reinterpret_cast<NMHDR*>(l), r); return true; } },
// HBRUSH Handler(HDC dc, UINT nCtlColor) on a reflected WM_CTLCOLOR* (any control kind);
// a null brush declines, and the parent's own handling follows. Whatever answer comes out,
// the parent's CWnd::OnCtlColor hook sees it last and may replace it.
#define WM_CTLCOLOR_ANY 0x0019
#define ON_WM_CTLCOLOR_REFLECT(fn) \
    { MsgKind::Reflected, WM_CTLCOLOR_ANY, 0, 0, 0, \
      [](CWnd* w, UINT m, WPARAM wp, LPARAM, LRESULT* r) { \
        HBRUSH b = (static_cast<ThisClass*>(w)->*(fn))(reinterpret_cast<HDC>(wp), m - WM_CTLCOLORMSGBOX); \
        *r = reinterpret_cast<LRESULT>(b); return b != nullptr; } },
// void Handler(LPDRAWITEMSTRUCT) on a reflected WM_DRAWITEM.
#define ON_WM_DRAWITEM_REFLECT(fn) \
    { MsgKind::Reflected, WM_DRAWITEM, 0, 0, 0, \
      [](CWnd* w, UINT, WPARAM, LPARAM l, LRESULT* r) { (static_cast<ThisClass*>(w)->*(fn))(reinterpret_cast<LPDRAWITEMSTRUCT>(l)); *r = TRUE; return true; } },
// void Handler(LPMEASUREITEMSTRUCT) on a reflected WM_MEASUREITEM.
#define ON_WM_MEASUREITEM_REFLECT(fn) \
    { MsgKind::Reflected, WM_MEASUREITEM, 0, 0, 0, \
      [](CWnd* w, UINT, WPARAM, LPARAM l, LRESULT* r) { (static_cast<ThisClass*>(w)->*(fn))(reinterpret_cast<LPMEASUREITEMSTRUCT>(l)); *r = TRUE; return true; } },
// void Handler() on a window message with no arguments (WM_PAINT, WM_DESTROY ...).
#define ON_MESSAGE_VOID(msg, fn) \
    { MsgKind::Own, static_cast<UINT>(msg), 0, 0, 0, \
      [](CWnd* w, UINT, WPARAM, LPARAM, LRESULT* r) { (static_cast<ThisClass*>(w)->*(fn))(); *r = 0; return true; } },
// LRESULT Handler(WPARAM, LPARAM) on any window message.
#define ON_MESSAGE(msg, fn) \
    { MsgKind::Own, static_cast<UINT>(msg), 0, 0, 0, \
      [](CWnd* w, UINT, WPARAM wp, LPARAM lp, LRESULT* r) { *r = (static_cast<ThisClass*>(w)->*(fn))(wp, lp); return true; } },
// void Handler(UINT_PTR id) on WM_TIMER.
#define ON_WM_TIMER(fn) \
    { MsgKind::Own, WM_TIMER, 0, 0, 0, \
      [](CWnd* w, UINT, WPARAM wp, LPARAM, LRESULT* r) { (static_cast<ThisClass*>(w)->*(fn))(static_cast<UINT_PTR>(wp)); *r = 0; return true; } },
// void Handler(UINT nID, LPARAM) on WM_SYSCOMMAND.
#define ON_WM_SYSCOMMAND(fn) \
    { MsgKind::Own, WM_SYSCOMMAND, 0, 0, 0, \
      [](CWnd* w, UINT, WPARAM wp, LPARAM lp, LRESULT* r) { (static_cast<ThisClass*>(w)->*(fn))(static_cast<UINT>(wp), lp); *r = 0; return true; } },
// HCURSOR Handler() on WM_QUERYDRAGICON.
#define ON_WM_QUERYDRAGICON(fn) \
    { MsgKind::Own, WM_QUERYDRAGICON, 0, 0, 0, \
      [](CWnd* w, UINT, WPARAM, LPARAM, LRESULT* r) { *r = reinterpret_cast<LRESULT>((static_cast<ThisClass*>(w)->*(fn))()); return true; } },
// void Handler(UINT nFlags, POINT pt) on mouse messages.
#define ON_MOUSE(msg, fn) \
    { MsgKind::Own, static_cast<UINT>(msg), 0, 0, 0, \
      [](CWnd* w, UINT, WPARAM wp, LPARAM lp, LRESULT* r) { \
        POINT pt = { static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)) }; \
        (static_cast<ThisClass*>(w)->*(fn))(static_cast<UINT>(wp), pt); *r = 0; return true; } },
// void Handler() on WM_COMMAND id (menu command, IDOK, IDCANCEL), any notification code
// from a push button or an accelerator.
#define ON_COMMAND(id, fn) \
    { MsgKind::Own, WM_COMMAND, 0xFFFFFFFFu, static_cast<UINT>(id), static_cast<UINT>(id), \
      [](CWnd* w, UINT, WPARAM, LPARAM, LRESULT* r) { (static_cast<ThisClass*>(w)->*(fn))(); *r = 0; return true; } },
