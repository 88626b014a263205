// The format functions on directives and values the fuzzer makes up:
// CString::Format with one directive of any flags, width, precision, size
// prefix and conversion between two runs of text, given an argument of the
// type the rules say it takes; and the report's fixed-width formats, whose
// figures are worked out here independently.

#include "fuzz_support.h"

#include "report/value_format.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const char* const kSizes[] = {"", "hh", "h", "l", "ll", "I64", "I32", "I", "z", "t", "j", "w", "L"};
const char kConversions[] = "diouxXcCsSeEfFgGaApnk";

bool IsInteger(char c) { return std::strchr("diouxX", c) != nullptr; }
bool IsFloating(char c) { return std::strchr("eEfFgGaA", c) != nullptr; }

// Text with no directive in it: a '%' is doubled.
struct Text {
    std::wstring format;  // as written in the format
    std::wstring shown;   // as printed
};

Text MakeText(fuzz::Bytes& in) {
    Text text;
    for (int n = in.Byte() % 8; n > 0; --n) {
        const wchar_t c = static_cast<wchar_t>(in.Byte() == 0xFF ? 0x202E : 1 + in.Byte() % 0xFE);
        text.format += c;
        if (c == L'%') text.format += L'%';
        text.shown += c;
    }
    return text;
}

struct Directive {
    std::wstring text;
    char conversion = 'd';
    std::string size;
    bool starWidth = false, starPrecision = false;
    int width = -1;  // -1: none written
};

// A bounded number: a format's own widths and precisions are the
// program's literals, never text from outside.
int Number(fuzz::Bytes& in) { return (in.Byte() << 8 | in.Byte()) % 10000; }

Directive MakeDirective(fuzz::Bytes& in) {
    Directive d;
    d.conversion = kConversions[in.Byte() % (sizeof kConversions - 1)];
    d.size = kSizes[in.Byte() % (sizeof kSizes / sizeof *kSizes)];
    // Pointer-sized and long-double prefixes belong to integers and
    // floating point; the rules say nothing of them elsewhere.
    if ((d.size == "I" || d.size == "z" || d.size == "t") && !IsInteger(d.conversion)) d.size.clear();
    if (d.size == "L" && !IsFloating(d.conversion)) d.size.clear();
    d.text = L"%";
    const std::uint8_t flags = in.Byte();
    for (int bit = 0; bit < 5; ++bit)
        if (flags >> bit & 1) d.text += L"-+ 0#"[bit];
    switch (in.Byte() % 3) {
    case 1: d.width = Number(in); d.text += std::to_wstring(d.width); break;
    case 2: d.starWidth = true; d.text += L'*'; break;
    default: break;
    }
    switch (in.Byte() % 4) {
    case 1: d.text += L'.'; break;
    case 2: d.text += L'.' + std::to_wstring(Number(in)); break;
    case 3: d.starPrecision = true; d.text += L".*"; break;
    default: break;
    }
    d.text += std::wstring(d.size.begin(), d.size.end());
    d.text += static_cast<wchar_t>(d.conversion);
    return d;
}

// Strings and characters: wide with 'w' or 'l', narrow with 'h' or 'hh',
// else wide for the lower-case letter and narrow for the upper-case one.
bool TakesWide(const Directive& d) {
    if (d.size == "w" || d.size == "l") return true;
    if (d.size == "h" || d.size == "hh") return false;
    return d.conversion == 's' || d.conversion == 'c';
}

// Formats `d` with `value` after the star arguments, through the varargs
// call the rules make for it.
template <class Value>
CString FormatWith(const std::wstring& format, const Directive& d, int width, int precision, Value value) {
    CString out;
    if (d.starWidth && d.starPrecision) out.Format(format.c_str(), width, precision, value);
    else if (d.starWidth) out.Format(format.c_str(), width, value);
    else if (d.starPrecision) out.Format(format.c_str(), precision, value);
    else out.Format(format.c_str(), value);
    return out;
}

CString FormatOne(fuzz::Bytes& in, const std::wstring& format, const Directive& d, int width, int precision) {
    const char c = d.conversion;
    if (IsInteger(c)) {
        const std::uint64_t word = in.Word();
        if (d.size == "ll" || d.size == "I64" || d.size == "j")
            return FormatWith(format, d, width, precision, static_cast<long long>(word));
        if (d.size == "I" || d.size == "z" || d.size == "t")
            return FormatWith(format, d, width, precision, static_cast<std::intptr_t>(word));
        return FormatWith(format, d, width, precision, static_cast<int>(word));
    }
    if (IsFloating(c)) {
        double value;
        const std::uint64_t bits = in.Word();
        std::memcpy(&value, &bits, sizeof value);
        if (d.size == "L") return FormatWith(format, d, width, precision, static_cast<long double>(value));
        return FormatWith(format, d, width, precision, value);
    }
    if (c == 'c' || c == 'C') return FormatWith(format, d, width, precision, static_cast<int>(in.Word()));
    if (c == 'p') return FormatWith(format, d, width, precision, reinterpret_cast<void*>(in.Word()));
    if (c == 'n') {
        int written = 0x5A5A;
        const CString out = FormatWith(format, d, width, precision, &written);
        FUZZ_REQUIRE(written == 0x5A5A);  // %n writes nothing
        return out;
    }
    if (c == 's' || c == 'S') {
        if (in.Byte() % 8 == 0) return FormatWith(format, d, width, precision, static_cast<const void*>(nullptr));
        const std::size_t length = in.Byte() % 32;
        if (TakesWide(d)) {
            std::wstring text;
            for (std::size_t i = 0; i < length; ++i) text += static_cast<wchar_t>(1 + in.Word() % 0x10FFFF);
            return FormatWith(format, d, width, precision, text.c_str());
        }
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += static_cast<char>(1 + in.Byte() % 255);
        return FormatWith(format, d, width, precision, text.c_str());
    }
    return FormatWith(format, d, width, precision, 0);  // 'k': no conversion, no argument taken
}

void FuzzFormat(fuzz::Bytes& in) {
    const Text before = MakeText(in);
    const Directive d = MakeDirective(in);
    const Text after = MakeText(in);
    const int width = Number(in) * (in.Byte() % 2 ? -1 : 1);
    const int precision = Number(in) - 5;
    const CString out = FormatOne(in, before.format + d.text + after.format, d, width, precision);
    const std::wstring shown(out.GetString(), static_cast<std::size_t>(out.GetLength()));

    // The text around the directive comes out as written.
    FUZZ_REQUIRE(shown.rfind(before.shown, 0) == 0);
    if (d.conversion == 'k') return;  // dropped; its letter is then text
    FUZZ_REQUIRE(shown.size() >= before.shown.size() + after.shown.size());
    FUZZ_REQUIRE(shown.compare(shown.size() - after.shown.size(), after.shown.size(), after.shown) == 0);
    const std::size_t printed = shown.size() - before.shown.size() - after.shown.size();
    if (d.conversion == 'n') {
        FUZZ_REQUIRE(printed == 0);
        return;
    }
    // A field is at least as wide as the width asked for.
    const std::size_t asked = d.width >= 0 ? static_cast<std::size_t>(d.width)
                              : d.starWidth ? static_cast<std::size_t>(width < 0 ? -width : width)
                                            : 0;
    FUZZ_REQUIRE(printed >= asked);
}

// "% 8I64d.%02I64d MB" of whole megabytes and truncated hundredths, or
// "% 8I64d Bytes" below a kilobyte.
void FuzzBytes(std::uint64_t bytes) {
    CString text(L"x");
    AppendBytes(text, bytes);
    const std::wstring shown(text.GetString(), static_cast<std::size_t>(text.GetLength()));
    std::wstring expected;
    if (bytes >= 1024) {
        const std::uint64_t hundredths = (bytes % (1u << 20)) / 1024 * 100 / 1024;
        // The ' ' flag puts a blank before a number that has no sign.
        const std::wstring whole = L" " + std::to_wstring(static_cast<long long>(bytes >> 20));
        expected = std::wstring(whole.size() < 8 ? 8 - whole.size() : 0, L' ') + whole + L"." +
                   (hundredths < 10 ? L"0" : L"") + std::to_wstring(hundredths) + L" MB";
    } else {
        const std::wstring count = std::to_wstring(bytes);
        expected = std::wstring(8 - count.size(), L' ') + count + L" Bytes";
    }
    FUZZ_REQUIRE(shown == L"x" + expected);
}

void FuzzCount(long long count) {
    CString text;
    AppendCount(text, count);
    const std::wstring number = std::to_wstring(count);
    const std::wstring sign = count < 0 ? L"" : L" ";
    const std::wstring body = sign + number;
    FUZZ_REQUIRE(std::wstring(text.GetString()) ==
                 std::wstring(body.size() < 12 ? 12 - body.size() : 0, L' ') + body + L" ");
}

void FuzzShare(std::uint64_t bytes, std::uint64_t total) {
    const ULONGLONG share = ShareOfRam(bytes, total);
    if (total == 0) {
        FUZZ_REQUIRE(share == 0);
    } else if (bytes <= ~0ULL / 100) {
        FUZZ_REQUIRE(share == static_cast<ULONGLONG>(static_cast<unsigned __int128>(bytes) * 100 / total));
    } else if (bytes <= total) {
        FUZZ_REQUIRE(share <= 100);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    switch (in.Byte() % 4) {
    case 0: FuzzFormat(in); break;
    case 1: FuzzBytes(in.Word()); break;
    case 2: FuzzCount(static_cast<long long>(in.Word())); break;
    default: {
        const std::uint64_t bytes = in.Word();
        FuzzShare(bytes, in.Word());
        CString text;
        double percent;
        const std::uint64_t bits = in.Word();
        std::memcpy(&percent, &bits, sizeof percent);
        AppendPercent(text, percent);
        FUZZ_REQUIRE(text.GetLength() > 0 && text[text.GetLength() - 1] == L'%');
    }
    }
    return 0;
}
