#pragma once
// The framework's core: the root class CObject, the exceptions the
// framework throws, the debugging macros, strings and geometry.

#include <windows.h>

#include "afxstr.h"
#include "atltypes.h"

#include <cassert>

#ifndef PASCAL
#define PASCAL
#endif
#define AFXAPI
#define afx_msg
#define AFX_MSG_CALL

// Run-time class information comes from C++ itself (dynamic_cast, typeid);
// these keep code written in the framework's usual style compiling.
#define DECLARE_DYNAMIC(class_name)
#define IMPLEMENT_DYNAMIC(class_name, base_class_name)
#define DECLARE_DYNCREATE(class_name)
#define IMPLEMENT_DYNCREATE(class_name, base_class_name)
#define DEBUG_NEW new

#ifdef _DEBUG
#define ASSERT(f) assert(f)
#define VERIFY(f) assert(f)
#else
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#endif
#define ASSERT_VALID(pOb) ((void)0)
#define TRACE(...) ((void)0)
#define UNUSED_ALWAYS(x) ((void)(x))

// The root of the framework's classes. Objects are not copyable.
class CObject {
public:
    virtual ~CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};

// Exceptions are thrown as pointers to heap objects, as the framework does:
//   try { ... } catch (CException* e) { e->Delete(); }
class CException : public CObject {
public:
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
    // Frees the exception if it lives on the heap (auto-delete).
    void Delete();
    virtual BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;

    BOOL m_bAutoDelete;
};

class CSimpleException : public CException {
public:
    using CException::CException;
};

// An argument out of its range (an index past the end, a negative length).
class CInvalidArgException : public CSimpleException {
public:
    using CSimpleException::CSimpleException;
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
};

// An operation this platform cannot perform.
class CNotSupportedException : public CSimpleException {
public:
    using CSimpleException::CSimpleException;
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
};

// A failed data exchange or validation; the user has already been told.
class CUserException : public CSimpleException {
public:
    using CSimpleException::CSimpleException;
};

[[noreturn]] void AFXAPI AfxThrowInvalidArgException();
[[noreturn]] void AFXAPI AfxThrowNotSupportedException();
[[noreturn]] void AFXAPI AfxThrowUserException();
