// ParseProcStat and ParseStatus: the per-process files.

#include "host/linux_proc.h"

#include "text_scan.h"

#include <array>
#include <limits>

namespace host::linux_proc {

namespace {

// Fields of /proc/[pid]/stat counted from 1 as proc(5) numbers them; the
// first field after the command name is 3.
constexpr int kStateField = 3;
constexpr int kPpidField = 4;
constexpr int kFlagsField = 9;
constexpr int kMinorFaultsField = 10;
constexpr int kMajorFaultsField = 12;
constexpr int kThreadsField = 20;
constexpr int kStartTimeField = 22;
constexpr int kVirtualSizeField = 23;
constexpr int kRssField = 24;

std::optional<int> ToInt(std::optional<std::int64_t> value) {
    if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// The fields after the command name, from the state up to the rss.
bool CollectStatFields(std::string_view tail, std::array<std::string_view, kRssField + 1>& fields) {
    FieldReader reader(tail);
    for (int n = kStateField; n <= kRssField; ++n) {
        if (!reader.Next(fields[n])) return false;
    }
    return true;
}

}  // namespace

std::optional<ProcStat> ParseProcStat(std::string_view text) {
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return std::nullopt;

    std::array<std::string_view, kRssField + 1> fields{};
    if (!CollectStatFields(text.substr(close + 1), fields)) return std::nullopt;

    const auto pid = ToInt(ParseSigned(TrimBlanks(text.substr(0, open))));
    const auto ppid = ToInt(ParseSigned(fields[kPpidField]));
    const auto flags = ParseUnsigned(fields[kFlagsField]);
    const auto start = ParseUnsigned(fields[kStartTimeField]);
    // rss is signed in the kernel; a negative count is a kernel accounting
    // transient and reads as nothing resident.
    const auto rss = ParseSigned(fields[kRssField]);
    const auto minor = ParseUnsigned(fields[kMinorFaultsField]);
    const auto major = ParseUnsigned(fields[kMajorFaultsField]);
    const auto threads = ParseSigned(fields[kThreadsField]);
    const auto vsize = ParseUnsigned(fields[kVirtualSizeField]);
    if (!pid || !ppid || !flags || *flags > std::numeric_limits<std::uint32_t>::max() || !start || !rss || !minor ||
        !major || !threads || !vsize || fields[kStateField].size() != 1) {
        return std::nullopt;
    }

    ProcStat stat;
    stat.pid = *pid;
    stat.comm = std::string(text.substr(open + 1, close - open - 1));
    stat.state = fields[kStateField].front();
    stat.ppid = *ppid;
    stat.flags = static_cast<std::uint32_t>(*flags);
    stat.startTicks = *start;
    stat.rssPages = *rss > 0 ? static_cast<std::uint64_t>(*rss) : 0;
    stat.minorFaults = *minor;
    stat.majorFaults = *major;
    stat.threads = *threads > 0 ? static_cast<std::uint64_t>(*threads) : 0;
    stat.virtualBytes = *vsize;
    return stat;
}

namespace {

Figure KibValue(std::string_view rest) {
    FieldReader fields(rest);
    std::string_view number;
    std::string_view unit;
    if (!fields.Next(number) || !fields.Next(unit) || unit != "kB") return std::nullopt;
    const Figure kib = ParseUnsigned(number);
    return kib ? CheckedMultiply(*kib, 1024) : std::nullopt;
}

// "Uid:  real  effective  saved  filesystem".
void ReadUids(std::string_view rest, ProcStatus& status) {
    FieldReader fields(rest);
    std::string_view real;
    std::string_view effective;
    if (!fields.Next(real) || !fields.Next(effective)) return;
    const auto r = ParseUnsigned(real);
    const auto e = ParseUnsigned(effective);
    constexpr std::uint64_t kMaxUid = std::numeric_limits<std::uint32_t>::max();
    if (r && *r <= kMaxUid) status.realUid = static_cast<std::uint32_t>(*r);
    if (e && *e <= kMaxUid) status.effectiveUid = static_cast<std::uint32_t>(*e);
}

void ReadStatusLine(std::string_view key, std::string_view rest, ProcStatus& status) {
    if (key == "VmRSS") {
        status.vmRss = KibValue(rest);
    } else if (key == "VmHWM") {
        status.vmHwm = KibValue(rest);
    } else if (key == "VmSwap") {
        status.vmSwap = KibValue(rest);
    } else if (key == "VmPeak") {
        status.vmPeak = KibValue(rest);
    } else if (key == "VmSize") {
        status.vmSize = KibValue(rest);
    } else if (key == "RssAnon") {
        status.rssAnon = KibValue(rest);
    } else if (key == "Tgid") {
        status.tgid = ToInt(ParseSigned(TrimBlanks(rest)));
    } else if (key == "PPid") {
        status.ppid = ToInt(ParseSigned(TrimBlanks(rest)));
    } else if (key == "Uid") {
        ReadUids(rest, status);
    } else if (key == "CapEff") {
        status.capEff = ParseHex(TrimBlanks(rest));
    }
}

}  // namespace

ProcStatus ParseStatus(std::string_view text) {
    ProcStatus status;
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, colon);
        // The name line carries the command name, which the process chose;
        // nothing on it is read.
        if (key == "Name") continue;
        ReadStatusLine(key, line.substr(colon + 1), status);
    }
    return status;
}

}  // namespace host::linux_proc

namespace host::linux_proc {

namespace {

// Mappings the kernel installs that madvise refuses or that lie outside the
// process's address space.
bool IsKernelSpecialMapping(std::string_view name) {
    return name == "[vsyscall]" || name == "[vvar]" || name == "[vvar_vclock]";
}

std::optional<MemoryRange> ParseMapsLine(std::string_view line) {
    // start-end perms offset dev inode [name]
    FieldReader fields(line);
    std::string_view span;
    if (!fields.Next(span)) return std::nullopt;
    const std::size_t dash = span.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const auto start = ParseHex(span.substr(0, dash));
    const auto end = ParseHex(span.substr(dash + 1));
    if (!start || !end || *end <= *start) return std::nullopt;
    // Permissions, offset, device and inode come before the name, which
    // anonymous memory does not have.
    std::string_view field;
    std::string_view name;
    for (int n = 1; n <= 5 && fields.Next(field); ++n) {
        if (n == 5) name = field;
    }
    if (IsKernelSpecialMapping(name)) return std::nullopt;
    return MemoryRange{*start, *end};
}

}  // namespace

std::vector<MemoryRange> ParseMapsRanges(std::string_view maps) {
    std::vector<MemoryRange> ranges;
    LineReader lines(maps);
    std::string_view line;
    while (lines.Next(line)) {
        if (const auto range = ParseMapsLine(line)) ranges.push_back(*range);
    }
    return ranges;
}

}  // namespace host::linux_proc
