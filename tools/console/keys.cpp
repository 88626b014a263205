#include "keys.h"

#include <optional>
#include <string_view>

namespace console {

namespace {

constexpr char kEscape = '\x1b';

struct Sequence {
    std::string_view bytes;
    Key key;
};

// After ESC: CSI ("[") and SS3 ("O") forms.
constexpr Sequence kSequences[] = {
    {"[A", Key::Up},     {"OA", Key::Up},   {"[B", Key::Down},   {"OB", Key::Down},    {"[5~", Key::PageUp},
    {"[6~", Key::PageDown}, {"[H", Key::Home}, {"OH", Key::Home}, {"[1~", Key::Home}, {"[7~", Key::Home},
    {"[F", Key::End},    {"OF", Key::End},  {"[4~", Key::End},   {"[8~", Key::End},
};

std::optional<Key> PlainKey(char c) {
    switch (c) {
        case 'q': case 'Q': case '\x03': return Key::Quit;   // Ctrl+C, should it arrive as a byte
        case 'k': return Key::Up;
        case 'j': case '\r': case '\n': return Key::Down;
        case 'b': return Key::PageUp;
        case ' ': case 'f': return Key::PageDown;
        case 'g': return Key::Home;
        case 'G': return Key::End;
        case '\x0c': return Key::Redraw;   // Ctrl+L
        default: return std::nullopt;
    }
}

// The length of a CSI or SS3 sequence at the start of `rest` (after ESC),
// 0 while it is incomplete.
std::size_t SequenceLength(std::string_view rest) {
    if (rest.empty()) return 0;
    if (rest[0] == 'O') return rest.size() >= 2 ? 2 : 0;
    if (rest[0] != '[') return 1;  // ESC and another key: the ESC alone is dropped
    for (std::size_t i = 1; i < rest.size(); ++i) {
        const auto c = static_cast<unsigned char>(rest[i]);
        if (c >= 0x40 && c <= 0x7E) return i + 1;  // the final byte
    }
    return 0;
}

}  // namespace

std::vector<Key> TakeKeys(std::string& pending) {
    std::vector<Key> keys;
    std::size_t at = 0;
    while (at < pending.size()) {
        if (pending[at] != kEscape) {
            if (const auto key = PlainKey(pending[at])) keys.push_back(*key);
            ++at;
            continue;
        }
        const std::string_view rest = std::string_view(pending).substr(at + 1);
        const std::size_t length = SequenceLength(rest);
        if (length == 0) break;  // wait for the rest of it
        for (const Sequence& s : kSequences)
            if (rest.substr(0, length) == s.bytes) keys.push_back(s.key);
        at += 1 + (rest[0] == '[' || rest[0] == 'O' ? length : 0);
    }
    pending.erase(0, at);
    return keys;
}

}  // namespace console
