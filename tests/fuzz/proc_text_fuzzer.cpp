// Every parser of the text Linux publishes under /proc and /sys, on text
// the fuzzer makes up: the first byte picks the parser, the rest is the
// file. Besides never crashing, each keeps the promises it makes.

#include "fuzz_support.h"

#include "host/linux_memory_figures.h"
#include "host/linux_proc.h"
#include "host/linux_processes.h"
#include "platform/machine/live_linux/text_scan.h"

#include <string>
#include <string_view>
#include <vector>

namespace lp = host::linux_proc;

namespace {

// The bytes WidenUtf8 was given, from its answer: characters as UTF-8, and
// U+DC80 to U+DCFF as the byte that was no part of a character.
std::string Narrow(const std::wstring& wide) {
    std::string out;
    for (wchar_t w : wide) {
        const auto c = static_cast<std::uint32_t>(w);
        if (c >= 0xDC80 && c <= 0xDCFF) {
            out += static_cast<char>(c - 0xDC00);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void CheckWiden(std::string_view text) {
    const std::wstring wide = lp::WidenUtf8(text);
    FUZZ_REQUIRE(wide.size() <= text.size());
    FUZZ_REQUIRE(Narrow(wide) == text);  // nothing lost, nothing made up
}

void CheckProcStat(std::string_view text) {
    const auto stat = lp::ParseProcStat(text);
    if (!stat) return;
    FUZZ_REQUIRE(text.find("(" + stat->comm + ")") != std::string_view::npos);
}

void CheckSwaps(std::string_view text) {
    const std::vector<lp::SwapDevice> devices = lp::ParseSwaps(text);
    for (const lp::SwapDevice& device : devices) FUZZ_REQUIRE(device.path.size() <= text.size());
    const auto files = lp::ComputePagingFiles(devices, 4096);
    FUZZ_REQUIRE(files.size() == devices.size());
    for (const auto& file : files) FUZZ_REQUIRE(file.inUsePages <= file.totalPages);
}

void CheckCpuList(std::string_view text) {
    const auto cpus = lp::ParseCpuList(text);
    if (cpus) FUZZ_REQUIRE(cpus->size() <= 65536);
}

// Three files in one input, split at NUL bytes: meminfo, vmstat, swaps.
void CheckFigures(std::string_view text, std::uint8_t pageShift) {
    const std::size_t first = text.find('\0');
    const std::size_t second = first == std::string_view::npos ? first : text.find('\0', first + 1);
    lp::SystemSample sample;
    sample.pageSize = std::uint64_t{1} << (pageShift % 24);
    sample.meminfo = lp::ParseMeminfo(text.substr(0, first));
    if (first != std::string_view::npos) sample.vmstat = lp::ParseVmstat(text.substr(first + 1, second - first - 1));
    if (second != std::string_view::npos) sample.swaps = lp::ParseSwaps(text.substr(second + 1));
    const auto figures = lp::ComputeMemoryFigures(sample);
    if (!figures) return;
    // The partition of physical memory adds up and stays inside it.
    std::uint64_t standby = 0;
    for (std::uint64_t pages : figures->standbyPages) standby += pages;
    FUZZ_REQUIRE(standby == figures->standbyTotalPages);
    FUZZ_REQUIRE(figures->availablePages == figures->zeroedPages + figures->freePages + standby);
    FUZZ_REQUIRE(figures->freePages + standby + figures->modifiedPages + figures->badPages <= figures->physicalPages);
    FUZZ_REQUIRE(figures->residentCachePages <= figures->physicalPages - figures->availablePages);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 16) {
    case 0: lp::ParseMeminfo(text); break;
    case 1: lp::ParseNodeMeminfo(text); break;
    case 2: lp::ParseVmstat(text); break;
    case 3: CheckSwaps(text); break;
    case 4: CheckProcStat(text); break;
    case 5: lp::ParseStatus(text); break;
    case 6: lp::ParseBootTime(text); break;
    case 7: lp::ParseZramMmStat(text); break;
    case 8: lp::ParseMapsRanges(text); break;
    case 9: lp::FindCgroup2Mount(text); break;
    case 10: lp::ParseCpuIdentity(text); break;
    case 11: lp::ParseZoneSpan(text); break;
    case 12: CheckCpuList(text); break;
    case 13: CheckWiden(text); break;
    case 14: {
        // A link target of /proc/[pid]/exe, then the command name.
        const std::size_t split = text.find('\0');
        const std::string exe(text.substr(0, split));
        const std::string comm(split == std::string_view::npos ? std::string_view() : text.substr(split + 1));
        lp::ProcessName(exe, comm);
        FUZZ_REQUIRE(lp::DecodeOctalEscapes(text).size() <= text.size());
        break;
    }
    default: CheckFigures(text.substr(text.empty() ? 0 : 1), text.empty() ? 12 : static_cast<std::uint8_t>(text[0]));
    }
    return 0;
}
