// ParseBootTime, ParseZramMmStat and ParseCpuList.

#include "host/linux_proc.h"

#include "text_scan.h"

#include <algorithm>
#include <limits>

namespace host::linux_proc {

Figure ParseBootTime(std::string_view text) {
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        FieldReader fields(line);
        std::string_view name;
        std::string_view value;
        if (fields.Next(name) && name == "btime" && fields.Next(value)) return ParseUnsigned(value);
    }
    return std::nullopt;
}

std::optional<ZramStat> ParseZramMmStat(std::string_view text) {
    // orig_data_size compr_data_size mem_used_total mem_limit ...
    FieldReader fields(text);
    std::string_view orig, compr, used;
    if (!fields.Next(orig) || !fields.Next(compr) || !fields.Next(used)) return std::nullopt;
    const Figure origBytes = ParseUnsigned(orig);
    const Figure comprBytes = ParseUnsigned(compr);
    const Figure usedBytes = ParseUnsigned(used);
    if (!origBytes || !comprBytes || !usedBytes) return std::nullopt;
    return ZramStat{*origBytes, *comprBytes, *usedBytes};
}

std::optional<std::string> FindCgroup2Mount(std::string_view mountinfo) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    LineReader lines(mountinfo);
    std::string_view line;
    while (lines.Next(line)) {
        const std::size_t separator = line.find(" - ");
        if (separator == std::string_view::npos) continue;
        FieldReader tail(line.substr(separator + 3));
        std::string_view type;
        if (!tail.Next(type) || type != "cgroup2") continue;
        FieldReader head(line.substr(0, separator));
        std::string_view field;
        for (int n = 0; n < 5; ++n) {
            if (!head.Next(field)) break;
            if (n == 4) return DecodeOctalEscapes(field);
        }
    }
    return std::nullopt;
}

std::optional<CpuIdentity> ParseCpuIdentity(std::string_view cpuinfo) {
    std::optional<std::uint64_t> family, model, stepping;
    LineReader lines(cpuinfo);
    std::string_view line;
    while (lines.Next(line) && !TrimBlanks(line).empty()) {  // the first block only
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = TrimBlanks(line.substr(0, colon));
        const auto value = ParseUnsigned(TrimBlanks(line.substr(colon + 1)));
        if (key == "cpu family") family = value;
        if (key == "model") model = value;
        if (key == "stepping") stepping = value;
    }
    if (!family || !model || !stepping || *family > 0xFFFF || *model > 0xFF || *stepping > 0xFF) {
        return std::nullopt;
    }
    return CpuIdentity{static_cast<unsigned>(*family), static_cast<unsigned>(*model), static_cast<unsigned>(*stepping)};
}

namespace {

struct Zone {
    Figure spanned;
    Figure present;
    Figure startPfn;
};

void AddZone(const Zone& zone, std::optional<PageFrameRange>& range) {
    if (!zone.spanned || !zone.present || !zone.startPfn || *zone.spanned == 0) return;
    const std::uint64_t highest = *zone.startPfn + *zone.spanned - 1;
    if (!range) range = PageFrameRange{std::numeric_limits<std::uint64_t>::max(), 0};
    if (*zone.present > 0) range->lowest = std::min(range->lowest, *zone.startPfn);
    range->highest = std::max(range->highest, highest);
}

}  // namespace

std::optional<PageFrameRange> ParseZoneSpan(std::string_view zoneinfo) {
    std::optional<PageFrameRange> range;
    Zone zone;
    LineReader lines(zoneinfo);
    std::string_view line;
    while (lines.Next(line)) {
        FieldReader fields(line);
        std::string_view key;
        std::string_view value;
        if (!fields.Next(key)) continue;
        if (key == "Node") {  // a new zone begins
            AddZone(zone, range);
            zone = Zone{};
            continue;
        }
        if (!fields.Next(value)) continue;
        if (key == "spanned") zone.spanned = ParseUnsigned(value);
        if (key == "present") zone.present = ParseUnsigned(value);
        if (key == "start_pfn:") zone.startPfn = ParseUnsigned(value);
    }
    AddZone(zone, range);
    if (range && range->lowest > range->highest) return std::nullopt;  // no zone with present pages
    return range;
}

namespace {

// Far above any kernel's CPU limit: a larger number is a corrupt list.
constexpr std::uint64_t kMaxCpuNumber = 1u << 16;

bool AppendCpuRange(std::string_view item, std::vector<unsigned>& cpus) {
    const std::size_t dash = item.find('-');
    const Figure first = ParseUnsigned(item.substr(0, dash));
    const Figure last = dash == std::string_view::npos ? first : ParseUnsigned(item.substr(dash + 1));
    if (!first || !last || *first > *last || *last >= kMaxCpuNumber) return false;
    for (std::uint64_t cpu = *first; cpu <= *last; ++cpu) cpus.push_back(static_cast<unsigned>(cpu));
    return true;
}

}  // namespace

std::optional<std::vector<unsigned>> ParseCpuList(std::string_view text) {
    text = TrimBlanks(text);
    std::vector<unsigned> cpus;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        if (!AppendCpuRange(text.substr(0, comma), cpus)) return std::nullopt;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
        if (text.empty()) return std::nullopt;  // a trailing comma
    }
    if (cpus.empty()) return std::nullopt;
    return cpus;
}

}  // namespace host::linux_proc
