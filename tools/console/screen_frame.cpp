#include "screen_frame.h"

#include <algorithm>

namespace console {

namespace {

// Terminals that know synchronized output show the frame at once when it
// is complete; the others ignore these two sequences.
constexpr std::string_view kBeginUpdate = "\x1b[?2026h";
constexpr std::string_view kEndUpdate = "\x1b[?2026l";
constexpr std::string_view kClearToEnd = "\x1b[K";
constexpr std::string_view kClearScreen = "\x1b[2J";
constexpr std::string_view kReverse = "\x1b[7m";
constexpr std::string_view kPlain = "\x1b[0m";

std::string MoveTo(int row) { return "\x1b[" + std::to_string(row) + ";1H"; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The status line fills the row but its last cell: writing the bottom-right
// cell would make some terminals scroll.
std::string StatusRow(std::string_view status, int columns) {
    std::string text = ClipToColumns(status, std::max(columns - 1, 0));
    std::size_t shown = 0;
    for (char c : text) shown += IsContinuationByte(c) ? 0 : 1;
    text.append(static_cast<std::size_t>(std::max(columns - 1, 0)) - shown, ' ');
    return std::string(kReverse) + text + std::string(kPlain);
}

}  // namespace

int ContentRows(TerminalSize size) { return std::max(size.rows - 1, 0); }

int MaxScroll(std::size_t lineCount, TerminalSize size) {
    const auto rows = static_cast<std::size_t>(ContentRows(size));
    return lineCount > rows ? static_cast<int>(lineCount - rows) : 0;
}

std::string ClipToColumns(std::string_view line, int columns) {
    int shown = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (IsContinuationByte(line[i])) continue;
        if (shown == columns) return std::string(line.substr(0, i));
        ++shown;
    }
    return std::string(line);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        lines.emplace_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

std::string ComposeFrame(const ScreenContent& content, TerminalSize size, int firstLine, bool clearFirst) {
    const int rows = ContentRows(size);
    firstLine = std::clamp(firstLine, 0, MaxScroll(content.lines.size(), size));
    std::string frame(kBeginUpdate);
    if (clearFirst) frame += kClearScreen;
    for (int row = 0; row < rows; ++row) {
        frame += MoveTo(row + 1);
        const auto index = static_cast<std::size_t>(firstLine + row);
        if (index < content.lines.size()) frame += ClipToColumns(content.lines[index], size.columns);
        frame += kClearToEnd;
    }
    if (size.rows > 0) frame += MoveTo(size.rows) + StatusRow(content.status, size.columns) + std::string(kClearToEnd);
    frame += kEndUpdate;
    return frame;
}

}  // namespace console
