// ParseSwaps: one SwapDevice per line of /proc/swaps after its heading.

#include "host/linux_proc.h"

#include "text_scan.h"

#include <limits>

namespace host::linux_proc {

namespace {

std::optional<SwapDevice> ParseSwapLine(std::string_view line) {
    FieldReader fields(line);
    std::string_view path, type, size, used, priority;
    if (!fields.Next(path) || !fields.Next(type) || !fields.Next(size) || !fields.Next(used) ||
        !fields.Next(priority)) {
        return std::nullopt;
    }
    const auto sizeKiB = ParseUnsigned(size);
    const auto usedKiB = ParseUnsigned(used);
    const auto prio = ParseSigned(priority);
    if (!sizeKiB || !usedKiB || !prio || *prio < std::numeric_limits<int>::min() ||
        *prio > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    SwapDevice device;
    device.path = DecodeOctalEscapes(path);
    device.type = std::string(type);
    device.sizeKiB = *sizeKiB;
    device.usedKiB = *usedKiB;
    device.priority = static_cast<int>(*prio);
    return device;
}

}  // namespace

std::vector<SwapDevice> ParseSwaps(std::string_view text) {
    std::vector<SwapDevice> devices;
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (line.starts_with("Filename")) continue;  // the heading
        if (auto device = ParseSwapLine(line)) devices.push_back(std::move(*device));
    }
    return devices;
}

}  // namespace host::linux_proc
