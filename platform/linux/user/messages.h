#pragma once
// Sending, posting and the thread's message queue.
//
// Posted messages wait in one queue. A program that runs its own loop takes
// them with GetMessageW / PeekMessageW; otherwise the Qt event loop (and every
// nested modal loop, which is a Qt loop too) dispatches them.

#include <windows.h>

#include "window.h"

namespace host::user {

// WM_COMMAND from a control to its parent: (id, code) and the control's handle.
void NotifyParent(const Window& control, WORD code);

// Dispatches every posted message now (the Qt loop's share of the queue).
void DeliverPostedMessages();

// Drops the queue and the quit request (the host going down).
void ResetMessageQueue();

}  // namespace host::user
