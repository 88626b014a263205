#pragma once
// Saved copies of the kernel's files, read from tests/live/fixtures.

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace live_test {

inline std::string Fixture(const std::string& name) {
    const std::string path = std::string(PALISK_SOURCE_DIR) + "/tests/live/fixtures/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("missing fixture " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace live_test
