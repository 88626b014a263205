#pragma once
// A copy of /proc and /sys laid out in a temporary folder, so that a whole
// machine can run on saved kernel files; removed again at the end.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "live/fixture.h"

namespace live_test {

class FakeTree {
public:
    FakeTree() {
        // In memory where the system offers it: a tree per test stays cheap.
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (base / "palisk-live-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        std::filesystem::create_directories(root_ / "proc");
        std::filesystem::create_directories(root_ / "sys");
    }
    ~FakeTree() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FakeTree(const FakeTree&) = delete;
    FakeTree& operator=(const FakeTree&) = delete;

    std::string Proc() const { return (root_ / "proc").string(); }
    std::string Sys() const { return (root_ / "sys").string(); }
    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

    // Writes `text` at `relative` (folders made as needed).
    void Write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    void CopyFixture(const std::string& relative, const std::string& fixture) const {
        Write(relative, Fixture(fixture));
    }
    void Link(const std::string& relative, const std::string& target) const {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::create_symlink(target, path);
    }
    std::string Read(const std::string& relative) const {
        std::ifstream in(root_ / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path root_;
};

}  // namespace live_test
