#pragma once
// The keys the live report answers, decoded from what the terminal sends:
// plain letters, and the escape sequences of the arrow and paging keys in
// both the normal and the application cursor-key modes.

#include <string>
#include <vector>

namespace console {

enum class Key { Quit, Up, Down, PageUp, PageDown, Home, End, Redraw };

// Decodes the keys at the start of `pending` and removes them from it. An
// escape sequence that has not fully arrived stays in `pending` for the
// next read; bytes that mean nothing here are dropped.
std::vector<Key> TakeKeys(std::string& pending);

}  // namespace console
