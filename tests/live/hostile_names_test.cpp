// Processes on this very computer whose names try to disguise themselves
// or their neighbours: format directives, line breaks, tabs, parentheses,
// bytes that are not UTF-8, bidirectional controls, a name the kernel cut
// at its 15-byte limit, an executable deleted while it runs. The target
// list shows each literally or visibly escaped, with its true id.

#include "app/palisk_dlg.h"
#include "host/live_linux_machine.h"
#include "host/user.h"
#include "program_resources.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The build folder, or the temporary folder where this user may not write
// there (a run as an ordinary user of a build made as root).
std::string ScratchParent() {
    return access(PALISK_LIVE_SCRATCH_DIR, W_OK | X_OK) == 0 ? PALISK_LIVE_SCRATCH_DIR
                                                            : std::filesystem::temp_directory_path().string();
}

// A copy of /bin/sleep under a hostile file name, running: the list names a
// process after its executable.
class NamedProcess {
public:
    NamedProcess(const std::string& dir, const std::string& name) : path_(dir + "/" + name) {
        if (!Copy("/bin/sleep", path_)) return;
        pid_ = fork();
        if (pid_ == 0) {
            execl(path_.c_str(), "sleep", "60", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Ready once the kernel names the new executable.
        for (int i = 0; i < 400 && !Runs(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~NamedProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        unlink(path_.c_str());
    }
    NamedProcess(const NamedProcess&) = delete;
    NamedProcess& operator=(const NamedProcess&) = delete;

    bool Runs() const {
        if (pid_ <= 0) return false;
        char link[4096];
        const ssize_t n = readlink(("/proc/" + std::to_string(pid_) + "/exe").c_str(), link, sizeof link);
        return n > 0 && std::string(link, static_cast<std::size_t>(n)).rfind(path_, 0) == 0;
    }
    pid_t Pid() const { return pid_; }
    // The executable goes while the process runs on.
    void DeleteExecutable() { unlink(path_.c_str()); }

private:
    static bool Copy(const std::string& from, const std::string& to) {
        std::ifstream in(from, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        const int fd = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
        if (!in || fd < 0) return false;
        const std::string text = bytes.str();
        const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        close(fd);
        return written;
    }

    std::string path_;
    pid_t pid_ = -1;
};

// A child that names itself and ends without being waited for: a zombie,
// whose executable the kernel no longer knows, so that it is listed by its
// command name, cut by the kernel at 15 bytes.
class NamedZombie {
public:
    explicit NamedZombie(const char* name) {
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_NAME, name, 0, 0, 0);
            _exit(0);
        }
        for (int i = 0; i < 400 && !IsZombie(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~NamedZombie() {
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    NamedZombie(const NamedZombie&) = delete;
    NamedZombie& operator=(const NamedZombie&) = delete;

    bool IsZombie() const {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const std::size_t close = text.rfind(')');
        return close != std::string::npos && text.compare(close, 4, ") Z ") == 0;
    }
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = ScratchParent() + "/palisk-names-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        if (!path_.empty()) rmdir(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

struct DestroyDialog {
    void operator()(CPaliskDlg* dialog) const {
        if (dialog->GetSafeHwnd()) dialog->DestroyWindow();
        delete dialog;
    }
};

// The target list's entry for a process, or nothing.
std::wstring EntryOf(const std::vector<std::wstring>& items, pid_t pid) {
    const std::wstring id = L"[" + std::to_wstring(pid) + L"]";
    for (const std::wstring& item : items)
        if (item.size() > id.size() && item.ends_with(id)) return item;
    return L"(not listed)";
}

TEST(HostileNames, EachIsShownLiterallyOrEscapedWithItsTrueId) {
    ScratchFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    // File name as created, and the entry the list must show before the id.
    const std::vector<std::pair<std::string, std::wstring>> names = {
        {"%s%n%x", L"%s%n%x"},
        {"two\nlines", L"two\\nlines"},
        {"tab\there", L"tab\\there"},
        {") (", L") ("},
        {"\xFF\xFE not UTF-8", L"\\xFF\\xFE not UTF-8"},
        {"\xE2\x80\xAE" "exe.txt", L"\\u202Eexe.txt"},                   // right-to-left override
        {"\xE2\x81\xA7" "rtl\xE2\x81\xA9", L"\\u2067rtl\\u2069"},        // isolate and its end
        {"\xE2\x80\x8F" "mark\xE2\x80\x8B", L"\\u200Fmark\\u200B"},      // mark, zero width
        {"deleted-exe", L"deleted-exe"},
    };
    std::vector<std::unique_ptr<NamedProcess>> processes;
    for (const auto& [file, shown] : names) {
        processes.push_back(std::make_unique<NamedProcess>(folder.Path(), file));
        ASSERT_TRUE(processes.back()->Runs()) << "cannot run a copy of /bin/sleep in " << folder.Path();
    }
    processes.back()->DeleteExecutable();
    // 14 bytes and the first byte of "é": the kernel keeps 15.
    const NamedZombie cut("fifteen-bytes-\xC3\xA9xyz");
    ASSERT_TRUE(cut.IsZombie());

    host::LiveLinuxMachine machine;
    host::SetActiveMachine(&machine);
    host::RegisterProgramResources();
    {
        const std::unique_ptr<CPaliskDlg, DestroyDialog> dialog(new CPaliskDlg);
        ASSERT_TRUE(dialog->Create(IDD_PALISK_DIALOG));
        const HWND combo = GetDlgItem(dialog->GetSafeHwnd(), IDC_TARGET_PROCESS);
        ASSERT_TRUE(host::user::DropDown(combo));
        host::user::CloseDropDown(combo);
        const std::vector<std::wstring> items = host::user::ComboItems(combo);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::wstring id = L"[" + std::to_wstring(processes[i]->Pid()) + L"]";
            EXPECT_EQ(EntryOf(items, processes[i]->Pid()), names[i].second + id) << "process " << i;
        }
        EXPECT_EQ(EntryOf(items, cut.Pid()), L"fifteen-bytes-\\xC3[" + std::to_wstring(cut.Pid()) + L"]");
        // No entry spans lines or hides characters that reorder it.
        for (const std::wstring& item : items) {
            EXPECT_EQ(item.find_first_of(L"\t\n\r\u202A\u202B\u202C\u202D\u202E\u2066\u2067\u2068\u2069"),
                      std::wstring::npos);
        }
    }
    host::user::ProcessEvents();
    host::SetActiveMachine(nullptr);
}

}  // namespace
