#pragma once
// One screenful of the live report, as the bytes that draw it in place.
// Every row is written at its own place and cleared to its end, so a
// redraw never blanks the screen first: nothing flickers, and whatever a
// shorter line or a smaller report leaves behind is wiped.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace console {

struct TerminalSize {
    int rows = 24;
    int columns = 80;
};

struct ScreenContent {
    std::vector<std::string> lines;  // the report, then whatever follows it (messages)
    std::string status;              // the bottom line, drawn in reverse video
};

// Rows that show report lines: all but the status line.
int ContentRows(TerminalSize size);
// The furthest the report can be scrolled: 0 when it fits.
int MaxScroll(std::size_t lineCount, TerminalSize size);
// The first `columns` characters of a UTF-8 line (one column each: the
// report is plain text).
std::string ClipToColumns(std::string_view line, int columns);
// Splits a text at its line feeds; a final line feed ends the last line
// rather than starting an empty one.
std::vector<std::string> SplitLines(std::string_view text);

// The bytes that draw `content` on a terminal of `size`, its lines from
// `firstLine` on (clamped to MaxScroll), inside one synchronized update.
// `clearFirst` blanks the screen before (after a resize, when the terminal
// may have rearranged what it showed).
std::string ComposeFrame(const ScreenContent& content, TerminalSize size, int firstLine, bool clearFirst = false);

}  // namespace console
