#pragma once
// Dialogs: everything lives in afxwin.h.

#include "afxwin.h"
