// ParseVmstat: "name value" lines of running page counts.

#include "host/linux_proc.h"

#include "text_scan.h"

namespace host::linux_proc {

namespace {

// pgsteal_kswapd_file, pgsteal_direct_file, ...: file pages reclaimed by
// one source, printed by kernels that keep no single file total.
bool IsPerSourceFileSteal(std::string_view name) {
    constexpr std::string_view prefix = "pgsteal_";
    constexpr std::string_view suffix = "_file";
    return name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) && name.ends_with(suffix);
}

void AddTo(Figure& sum, std::uint64_t value) { sum = sum.value_or(0) + value; }

// Where a counter of `name` goes, or null for the many this machine does
// not read (their numbers are not even parsed).
Figure* Slot(Vmstat& stat, Figure& perSourceSteal, std::string_view name) {
    if (name == "pswpin") return &stat.pswpin;
    if (name == "pswpout") return &stat.pswpout;
    if (name == "nr_written") return &stat.nrWritten;
    if (name == "pgfault") return &stat.pgfault;
    if (name == "pgsteal_file") return &stat.pgstealFile;
    if (IsPerSourceFileSteal(name)) return &perSourceSteal;
    return nullptr;
}

}  // namespace

Vmstat ParseVmstat(std::string_view text) {
    Vmstat stat;
    Figure perSourceSteal;
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        FieldReader fields(line);
        std::string_view name;
        std::string_view number;
        if (!fields.Next(name)) continue;
        Figure* slot = Slot(stat, perSourceSteal, name);
        if (!slot || !fields.Next(number)) continue;
        const Figure value = ParseUnsigned(number);
        if (!value) continue;
        if (slot == &perSourceSteal) {
            AddTo(perSourceSteal, *value);
        } else {
            *slot = value;
        }
    }
    if (!stat.pgstealFile) stat.pgstealFile = perSourceSteal;
    return stat;
}

}  // namespace host::linux_proc
