#pragma once
// The program's resources put where the window host finds them, as the
// resource compiler puts them into a Windows executable: the dialog
// templates, the string table and the application icon.
//
// Host-only: the system's own code never includes this header.

namespace host {

// Registers the resources of the resources/ folder for the executable's
// module (GetModuleHandleW(NULL)). Safe to call more than once.
void RegisterProgramResources();

}  // namespace host
