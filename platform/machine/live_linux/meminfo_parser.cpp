// ParseMeminfo: "Key:   value kB" lines into bytes.

#include "host/linux_proc.h"

#include "text_scan.h"

#include <array>

namespace host::linux_proc {

namespace {

struct MeminfoField {
    std::string_view key;
    Figure Meminfo::*member;
};

constexpr std::array<MeminfoField, 24> kMeminfoFields{{
    {"MemTotal", &Meminfo::memTotal},
    {"MemFree", &Meminfo::memFree},
    {"MemAvailable", &Meminfo::memAvailable},
    {"Buffers", &Meminfo::buffers},
    {"Cached", &Meminfo::cached},
    {"Active(file)", &Meminfo::activeFile},
    {"Inactive(file)", &Meminfo::inactiveFile},
    {"Dirty", &Meminfo::dirty},
    {"Writeback", &Meminfo::writeback},
    {"Shmem", &Meminfo::shmem},
    {"SReclaimable", &Meminfo::sReclaimable},
    {"SUnreclaim", &Meminfo::sUnreclaim},
    {"KReclaimable", &Meminfo::kReclaimable},
    {"KernelStack", &Meminfo::kernelStack},
    {"PageTables", &Meminfo::pageTables},
    {"SecPageTables", &Meminfo::secPageTables},
    {"Percpu", &Meminfo::percpu},
    {"HardwareCorrupted", &Meminfo::hardwareCorrupted},
    {"SwapTotal", &Meminfo::swapTotal},
    {"SwapFree", &Meminfo::swapFree},
    {"Zswap", &Meminfo::zswap},
    {"Zswapped", &Meminfo::zswapped},
    {"CommitLimit", &Meminfo::commitLimit},
    {"Committed_AS", &Meminfo::committedAs},
}};

// The value of one line in bytes: "123 kB" is KiB, a bare number is a count.
Figure LineValue(std::string_view rest) {
    FieldReader fields(rest);
    std::string_view number;
    std::string_view unit;
    if (!fields.Next(number)) return std::nullopt;
    const Figure value = ParseUnsigned(number);
    if (!value || !fields.Next(unit)) return value;
    if (unit == "kB") return CheckedMultiply(*value, 1024);
    return std::nullopt;  // a unit we do not know: better absent than wrong
}

void ReadMeminfoLine(std::string_view line, Meminfo& info) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view key = line.substr(0, colon);
    for (const MeminfoField& field : kMeminfoFields) {
        if (field.key != key) continue;
        Figure& slot = info.*field.member;
        if (!slot) slot = LineValue(line.substr(colon + 1));
        return;
    }
}

// "Node 0 MemFree: ..." without its "Node 0 ", or nothing.
std::optional<std::string_view> WithoutNodePrefix(std::string_view line) {
    FieldReader fields(line);
    std::string_view node;
    std::string_view number;
    if (!fields.Next(node) || node != "Node" || !fields.Next(number) || !ParseUnsigned(number)) return std::nullopt;
    return TrimBlanks(fields.Rest());
}

}  // namespace

Meminfo ParseMeminfo(std::string_view text) {
    Meminfo info;
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(line)) ReadMeminfoLine(line, info);
    return info;
}

Meminfo ParseNodeMeminfo(std::string_view text) {
    Meminfo info;
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (const auto rest = WithoutNodePrefix(line)) ReadMeminfoLine(*rest, info);
    }
    return info;
}

}  // namespace host::linux_proc
