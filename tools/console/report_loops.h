#pragma once
// The two ways palisk-report shows the report after start-up: drawn in
// place on a terminal until q or Ctrl+C, or printed as plain text, one
// report per refresh (to a pipe or a file, or once).

#include "console_options.h"
#include "report_session.h"
#include "terminal.h"

namespace console {

// Both return the program's exit status.
int RunLive(ReportSession& session, LiveTerminal& terminal, SignalPipe& signals, const Options& options);
int RunPlain(ReportSession& session, SignalPipe& signals, int outFd, const Options& options);

// Writes message boxes to standard error, one line each:
// "palisk-report: message box CAPTION: TEXT".
void PrintMessageBoxes(const std::vector<std::string>& messages);

// The report's live status line: when it was refreshed, how often, how to
// quit and, when the report is taller than the screen, which lines show
// and how to scroll.
std::string StatusLine(const std::string& refreshedAt, std::uint32_t intervalMs, int firstLine, int shownLines,
                       std::size_t totalLines);

}  // namespace console
