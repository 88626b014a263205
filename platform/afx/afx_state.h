#pragma once
// The framework's per-thread state: the message being handled, the window
// being created, the handle maps from Win32 handles to C++ objects.
//
// Each map has permanent entries (objects that attached their handle; not
// owned) and temporary wrappers made by FromHandle (owned). A temporary
// wrapper lives as long as its handle names a live object, so a pointer
// obtained inside a handler stays good for the rest of the handler and
// longer; PurgeTemporaries frees the wrappers of handles that are gone.

#include "afxwin.h"

#include <memory>
#include <unordered_map>

namespace afx_internal {

// How each kind of wrapper holds its handle.
template <class Object>
struct HandleTraits;

template <>
struct HandleTraits<CWnd> {
    static HWND Get(const CWnd& object) { return object.m_hWnd; }
    static void Set(CWnd& object, HWND handle) { object.m_hWnd = handle; }
    static void Clear(CWnd& object) { object.m_hWnd = nullptr; }
};

template <>
struct HandleTraits<CDC> {
    static HDC Get(const CDC& object) { return object.m_hDC; }
    static void Set(CDC& object, HDC handle) { object.m_hDC = object.m_hAttribDC = handle; }
    static void Clear(CDC& object) { object.m_hDC = object.m_hAttribDC = nullptr; }
};

template <>
struct HandleTraits<CGdiObject> {
    static HGDIOBJ Get(const CGdiObject& object) { return object.m_hObject; }
    static void Set(CGdiObject& object, HGDIOBJ handle) { object.m_hObject = handle; }
    static void Clear(CGdiObject& object) { object.m_hObject = nullptr; }
};

template <>
struct HandleTraits<CMenu> {
    static HMENU Get(const CMenu& object) { return object.m_hMenu; }
    static void Set(CMenu& object, HMENU handle) { object.m_hMenu = handle; }
    static void Clear(CMenu& object) { object.m_hMenu = nullptr; }
};

template <class Handle, class Object>
class HandleMap {
public:
    HandleMap() = default;
    HandleMap(const HandleMap&) = delete;
    HandleMap& operator=(const HandleMap&) = delete;
    ~HandleMap() { ClearTemporaries(); }

    Object* LookupPermanent(Handle handle) const {
        const auto it = permanent_.find(handle);
        return it == permanent_.end() ? nullptr : it->second;
    }
    void SetPermanent(Handle handle, Object* object) { permanent_[handle] = object; }
    // Removes the entry only if it still names `object`.
    void RemovePermanent(Handle handle, const Object* object) {
        const auto it = permanent_.find(handle);
        if (it != permanent_.end() && it->second == object) permanent_.erase(it);
    }

    // The permanent object for the handle when it is a T, else a temporary T.
    template <class T>
    T* FromHandle(Handle handle) {
        if (handle == nullptr) return nullptr;
        if (T* object = dynamic_cast<T*>(LookupPermanent(handle))) return object;
        const auto range = temporary_.equal_range(handle);
        for (auto it = range.first; it != range.second; ++it) {
            // A wrapper that let go of its handle (Detach) no longer counts.
            if (HandleTraits<Object>::Get(*it->second) != handle) continue;
            if (T* object = dynamic_cast<T*>(it->second.get())) return object;
        }
        auto wrapper = std::make_unique<T>();
        HandleTraits<Object>::Set(*wrapper, handle);
        T* object = wrapper.get();
        temporary_.emplace(handle, std::move(wrapper));
        return object;
    }

    bool IsTemporary(const Object* object) const {
        for (const auto& entry : temporary_) {
            if (entry.second.get() == object) return true;
        }
        return false;
    }

    // Frees the temporaries whose handle `isAlive` no longer accepts, and
    // those that let go of their handle.
    template <class IsAlive>
    void PurgeTemporaries(IsAlive isAlive) {
        for (auto it = temporary_.begin(); it != temporary_.end();) {
            if (HandleTraits<Object>::Get(*it->second) == it->first && isAlive(it->first)) {
                ++it;
            } else {
                Release(it->second);
                it = temporary_.erase(it);
            }
        }
    }

    // Frees the temporaries of one handle (its object was just deleted).
    void DropTemporaries(Handle handle) {
        const auto range = temporary_.equal_range(handle);
        for (auto it = range.first; it != range.second; ++it) Release(it->second);
        temporary_.erase(range.first, range.second);
    }

    void ClearTemporaries() {
        for (auto& entry : temporary_) Release(entry.second);
        temporary_.clear();
    }

    std::size_t TemporaryCount() const { return temporary_.size(); }

private:
    // A wrapper's handle is cleared first so that its destructor leaves the
    // object it wrapped alone.
    static void Release(std::unique_ptr<Object>& wrapper) {
        HandleTraits<Object>::Clear(*wrapper);
        wrapper.reset();
    }

    std::unordered_map<Handle, Object*> permanent_;
    std::unordered_multimap<Handle, std::unique_ptr<Object>> temporary_;
};

// A call of the dialog manager's default procedure for the message a
// dialog's handler is handling; the dialog procedure lets that one message
// through to the default handling instead of dispatching it again.
struct DialogDefaultCall {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool passedThrough;
};

struct ThreadState {
    MSG currentMessage{};              // what Default() passes on
    CWnd* creatingWindow = nullptr;    // bound on its first message
    bool creatingDialog = false;       // ... by the dialog procedure, not AfxWndProc
    HWND lockoutNotifyWindow = nullptr;  // parent whose control notifications are ignored
    int dispatchDepth = 0;
    DialogDefaultCall* dialogDefault = nullptr;

    HandleMap<HWND, CWnd> windows;
    HandleMap<HDC, CDC> dcs;
    HandleMap<HGDIOBJ, CGdiObject> gdiObjects;
    HandleMap<HMENU, CMenu> menus;
};

// This thread's state; null once it has been torn down at thread exit (the
// destructors of static objects may still run after that).
ThreadState* CurrentThreadState();

// Frees the temporary wrappers of every handle that is gone, keeping the
// thread's last error as it was.
void PurgeTemporaries();

template <class Object>
struct MapSelector;
template <>
struct MapSelector<CWnd> {
    static HandleMap<HWND, CWnd>& Get(ThreadState& state) { return state.windows; }
};
template <>
struct MapSelector<CDC> {
    static HandleMap<HDC, CDC>& Get(ThreadState& state) { return state.dcs; }
};
template <>
struct MapSelector<CGdiObject> {
    static HandleMap<HGDIOBJ, CGdiObject>& Get(ThreadState& state) { return state.gdiObjects; }
};
template <>
struct MapSelector<CMenu> {
    static HandleMap<HMENU, CMenu>& Get(ThreadState& state) { return state.menus; }
};

// This thread's map for one kind of wrapper; null once the state is gone.
template <class Object>
auto* MapFor() {
    ThreadState* state = CurrentThreadState();
    return state == nullptr ? nullptr : &MapSelector<Object>::Get(*state);
}

// The wrapper of type T for a handle of the map of Base (see HandleMap).
template <class Base, class T, class Handle>
T* WrapperFor(Handle handle) {
    auto* map = MapFor<Base>();
    return map == nullptr ? nullptr : map->template FromHandle<T>(handle);
}

// Privileged access to CWnd for the dispatch code.
struct WndAccess {
    static bool IsDialogProc(const CWnd& wnd) { return wnd.m_bDialogProc; }
    static void SetDialogProc(CWnd& wnd, bool value) { wnd.m_bDialogProc = value; }
    static WNDPROC& Super(CWnd& wnd) { return wnd.m_pfnSuper; }
};

}  // namespace afx_internal
