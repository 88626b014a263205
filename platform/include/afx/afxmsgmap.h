#pragma once
// Message maps: each class that handles messages declares a table of
// entries (message, notification code, id range, handler). The framework
// searches the object's own class first, then each base class in turn, and
// calls the first entry that matches.
//
// An entry's handler is a thunk made by the ON_... macros: a plain function
// that unpacks wParam and lParam and calls the member function with its own
// signature, so a handler with the wrong signature does not compile.

#include "afx.h"

#include <type_traits>

class CCmdTarget;

typedef LRESULT (*AFX_PMSG)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; WM_COMMAND for commands and control notifications
    UINT nCode;     // notification code of a WM_COMMAND entry (as a WORD), else 0
    UINT nID;       // first command or control id of a WM_COMMAND entry, else 0
    UINT nLastID;   // last id of the range
    AFX_PMSG pfn;   // null marks the end of a map
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root of the chain
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg when the caller only asks whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    AFX_PMSG pfn;
};

// Notification code of a menu or accelerator command (and of BN_CLICKED).
#define CN_COMMAND 0
// Notifications a control reflects back to itself carry this offset.
#define WM_REFLECT_BASE 0xBC00

// The first entry of `lpEntry` matching the message, code and id; or null.
const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode,
                                                   UINT nID);

class CCmdTarget : public CObject {
public:
    CCmdTarget() = default;

    // Routes command nID with notification nCode to this object's map. With
    // pHandlerInfo it only reports whether a handler exists.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The entry for the message in this object's map chain, own class first.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                 \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }          \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                          \
        typedef theClass ThisClass;                                                            \
        typedef baseClass TheBaseClass;                                                        \
        static_assert(std::is_base_of_v<TheBaseClass, ThisClass> &&                            \
                          !std::is_same_v<TheBaseClass, ThisClass>,                            \
                      "the map's base class must be a base of its class");                     \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                     \
            {0, 0, 0, 0, nullptr}                                                             \
        };                                                                                    \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                                   \
    }

#include "afxmsg_.h"
