#include "ms_format.h"

#include "text_convert.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <vector>

namespace afx_internal {
namespace {

enum class SizePrefix { None, Char, Short, Long, Int32, Int64, Native, LongDouble };

struct Spec {
    bool leftAlign = false;
    bool padZero = false;
    bool alternate = false;
    wchar_t sign = 0;  // '+' or ' ' when a flag asks for a sign on non-negative values
    int width = 0;
    int precision = -1;  // -1: none given
    SizePrefix size = SizePrefix::None;
    bool wideLetter = false;  // the 'w' prefix
    wchar_t conversion = 0;
};

bool IsIntegerConversion(wchar_t c) { return c != 0 && std::wcschr(L"diouxX", c) != nullptr; }

// Reads decimal digits, saturating at INT_MAX.
int ParseNumber(const wchar_t*& p) {
    long long value = 0;
    while (*p >= L'0' && *p <= L'9') {
        value = std::min<long long>(value * 10 + (*p - L'0'), INT_MAX);
        ++p;
    }
    return static_cast<int>(value);
}

// Strings and characters: wide unless a prefix or the upper-case letter
// says narrow (the runtime's rule for its wide functions).
bool TakesWideText(const Spec& spec) {
    if (spec.wideLetter || spec.size == SizePrefix::Long) return true;
    if (spec.size == SizePrefix::Short || spec.size == SizePrefix::Char) return false;
    return spec.conversion == L's' || spec.conversion == L'c';
}

template <class Char>
std::size_t BoundedLength(const Char* text, int precision) {
    std::size_t length = 0;
    const std::size_t limit = precision < 0 ? SIZE_MAX : static_cast<std::size_t>(precision);
    while (length < limit && text[length] != 0) ++length;
    return length;
}

std::wstring Digits(unsigned long long value, unsigned base, bool upperCase) {
    const char* const symbols = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::wstring digits;
    do {
        digits.push_back(static_cast<wchar_t>(symbols[value % base]));
        value /= base;
    } while (value != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

// ---- floating point, exact and locale-free through std::to_chars ----------

std::string ToChars(double value, std::chars_format format, int precision) {
    // Fixed notation of the largest double has 309 integer digits.
    std::vector<char> buffer(static_cast<std::size_t>(precision) + 400);
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    return std::string(buffer.data(), result.ptr);
}

// '#' keeps the decimal point even when no digit follows it.
void EnsureDecimalPoint(std::string& text, char exponentLetter) {
    if (text.find('.') != std::string::npos) return;
    const std::size_t exponent = text.find(exponentLetter);
    text.insert(exponent == std::string::npos ? text.size() : exponent, 1, '.');
}

void StripTrailingZeros(std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return;
    std::size_t end = text.find('e');
    if (end == std::string::npos) end = text.size();
    std::size_t keep = end;
    while (keep > point + 1 && text[keep - 1] == '0') --keep;
    if (keep == point + 1) keep = point;
    text.erase(keep, end - keep);
}

std::string FormatFixed(double value, int precision, bool alternate) {
    std::string text = ToChars(value, std::chars_format::fixed, precision);
    if (alternate) EnsureDecimalPoint(text, 'e');
    return text;
}

std::string FormatScientific(double value, int precision, bool alternate) {
    std::string text = ToChars(value, std::chars_format::scientific, precision);
    if (alternate) EnsureDecimalPoint(text, 'e');
    return text;
}

// %g: P significant digits; fixed notation when the decimal exponent X
// after rounding satisfies -4 <= X < P, scientific otherwise.
std::string FormatGeneral(double value, int precision, bool alternate) {
    const int significant = precision < 0 ? 6 : std::max(precision, 1);
    std::string text = ToChars(value, std::chars_format::scientific, significant - 1);
    const int exponent = std::atoi(text.c_str() + text.find('e') + 1);
    if (exponent >= -4 && exponent < significant) {
        text = ToChars(value, std::chars_format::fixed, significant - 1 - exponent);
    }
    if (alternate) {
        EnsureDecimalPoint(text, 'e');
    } else {
        StripTrailingZeros(text);
    }
    return text;
}

// %a: the runtime prints thirteen hex digits unless told otherwise.
std::string FormatHexFloat(double value, int precision, bool alternate) {
    std::string text = ToChars(value, std::chars_format::hex, precision < 0 ? 13 : precision);
    if (alternate) EnsureDecimalPoint(text, 'p');
    return text;
}

class Formatter {
public:
    Formatter(std::wstring& out, va_list args) : out_(out) { va_copy(args_, args); }
    ~Formatter() { va_end(args_); }
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    void Run(const wchar_t* format);

private:
    const wchar_t* ParseFlags(const wchar_t* p, Spec& spec);
    const wchar_t* ParseWidthAndPrecision(const wchar_t* p, Spec& spec);
    const wchar_t* ParseSize(const wchar_t* p, Spec& spec);
    bool Convert(const Spec& spec);

    void FormatInteger(Spec spec);
    void FormatFloating(const Spec& spec);
    void FormatString(const Spec& spec);
    void FormatCharacter(const Spec& spec);
    void FormatPointer(const Spec& spec);
    long long ReadSigned(SizePrefix size);
    unsigned long long ReadUnsigned(SizePrefix size);

    // Writes prefix (sign, "0x") and body into the field: spaces before,
    // zeros between prefix and body ('0' flag), or spaces after ('-' flag).
    void Pad(const Spec& spec, std::wstring_view prefix, std::wstring_view body);

    std::wstring& out_;
    va_list args_;
};

void Formatter::Run(const wchar_t* p) {
    while (*p != 0) {
        const wchar_t* percent = std::wcschr(p, L'%');
        if (percent == nullptr) {
            out_.append(p);
            return;
        }
        out_.append(p, static_cast<std::size_t>(percent - p));
        p = percent + 1;
        if (*p == L'%') {
            out_.push_back(L'%');
            ++p;
            continue;
        }
        Spec spec;
        p = ParseFlags(p, spec);
        p = ParseWidthAndPrecision(p, spec);
        p = ParseSize(p, spec);
        spec.conversion = *p;
        if (spec.conversion == 0) return;
        // An unknown conversion is dropped; its letter is then copied as text.
        if (Convert(spec)) ++p;
    }
}

const wchar_t* Formatter::ParseFlags(const wchar_t* p, Spec& spec) {
    for (;; ++p) {
        switch (*p) {
            case L'+': spec.sign = L'+'; break;
            case L' ':
                if (spec.sign != L'+') spec.sign = L' ';
                break;
            case L'-': spec.leftAlign = true; break;
            case L'0': spec.padZero = true; break;
            case L'#': spec.alternate = true; break;
            default: return p;
        }
    }
}

const wchar_t* Formatter::ParseWidthAndPrecision(const wchar_t* p, Spec& spec) {
    if (*p == L'*') {
        ++p;
        const int width = va_arg(args_, int);
        if (width < 0) spec.leftAlign = true;
        spec.width = width == INT_MIN ? INT_MAX : std::abs(width);
    }
    // Digits after '*' replace the argument's width, as the runtime does.
    if (*p >= L'0' && *p <= L'9') spec.width = ParseNumber(p);
    if (*p == L'.') {
        ++p;
        if (*p == L'*') {
            ++p;
            spec.precision = std::max(va_arg(args_, int), -1);
        } else {
            spec.precision = ParseNumber(p);
        }
    }
    return p;
}

const wchar_t* Formatter::ParseSize(const wchar_t* p, Spec& spec) {
    for (;;) {
        if (p[0] == L'l' && p[1] == L'l') {
            spec.size = SizePrefix::Int64, p += 2;
        } else if (p[0] == L'h' && p[1] == L'h') {
            spec.size = SizePrefix::Char, p += 2;
        } else if (*p == L'l') {
            spec.size = SizePrefix::Long, ++p;
        } else if (*p == L'h') {
            spec.size = SizePrefix::Short, ++p;
        } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            spec.size = SizePrefix::Int64, p += 3;
        } else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') {
            spec.size = SizePrefix::Int32, p += 3;
        } else if ((*p == L'I' || *p == L'z' || *p == L't') && IsIntegerConversion(p[1])) {
            spec.size = SizePrefix::Native, ++p;
        } else if (*p == L'j') {
            spec.size = SizePrefix::Int64, ++p;
        } else if (*p == L'L') {
            spec.size = SizePrefix::LongDouble, ++p;
        } else if (*p == L'w') {
            spec.wideLetter = true, ++p;
        } else {
            return p;
        }
    }
}

bool Formatter::Convert(const Spec& spec) {
    switch (spec.conversion) {
        case L's': case L'S': FormatString(spec); return true;
        case L'c': case L'C': FormatCharacter(spec); return true;
        case L'p': FormatPointer(spec); return true;
        case L'n':
            // The runtime refuses to write through %n; the argument is
            // consumed so that the ones after it stay in step.
            (void)va_arg(args_, void*);
            return true;
        case L'd': case L'i': case L'o': case L'u': case L'x': case L'X': FormatInteger(spec); return true;
        case L'a': case L'A': case L'e': case L'E': case L'f': case L'F': case L'g': case L'G':
            FormatFloating(spec);
            return true;
        default: return false;
    }
}

long long Formatter::ReadSigned(SizePrefix size) {
    switch (size) {
        case SizePrefix::Int64: return va_arg(args_, long long);
        case SizePrefix::Native: return va_arg(args_, std::intptr_t);
        case SizePrefix::Short: return static_cast<short>(va_arg(args_, int));
        case SizePrefix::Char: return static_cast<signed char>(va_arg(args_, int));
        default: return va_arg(args_, int);
    }
}

unsigned long long Formatter::ReadUnsigned(SizePrefix size) {
    switch (size) {
        case SizePrefix::Int64: return va_arg(args_, unsigned long long);
        case SizePrefix::Native: return va_arg(args_, std::uintptr_t);
        case SizePrefix::Short: return static_cast<unsigned short>(va_arg(args_, int));
        case SizePrefix::Char: return static_cast<unsigned char>(va_arg(args_, int));
        default: return va_arg(args_, unsigned int);
    }
}

void Formatter::FormatInteger(Spec spec) {
    const bool isSigned = spec.conversion == L'd' || spec.conversion == L'i';
    bool negative = false;
    unsigned long long magnitude;
    if (isSigned) {
        const long long value = ReadSigned(spec.size);
        negative = value < 0;
        magnitude = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    } else {
        magnitude = ReadUnsigned(spec.size);
    }
    const unsigned base = spec.conversion == L'o' ? 8 : (spec.conversion == L'x' || spec.conversion == L'X') ? 16 : 10;

    std::wstring digits;
    if (magnitude != 0) {
        digits = Digits(magnitude, base, spec.conversion == L'X');
    } else {
        spec.alternate = false;  // no "0x" on zero
        if (spec.precision != 0) digits = L"0";
    }
    if (spec.precision > static_cast<int>(digits.size())) {
        digits.insert(0, static_cast<std::size_t>(spec.precision) - digits.size(), L'0');
    }

    std::wstring prefix;
    if (negative) {
        prefix = L"-";
    } else if (isSigned && spec.sign != 0) {
        prefix.assign(1, spec.sign);
    }
    if (spec.alternate && base == 16) prefix += spec.conversion == L'X' ? L"0X" : L"0x";
    if (spec.alternate && base == 8 && digits[0] != L'0') digits.insert(0, 1, L'0');
    Pad(spec, prefix, digits);
}

void Formatter::FormatFloating(const Spec& spec) {
    const double value = spec.size == SizePrefix::LongDouble ? static_cast<double>(va_arg(args_, long double))
                                                             : va_arg(args_, double);
    const bool upperCase = spec.conversion >= L'A' && spec.conversion <= L'Z';
    const bool negative = std::signbit(value);
    std::wstring prefix;
    if (negative) {
        prefix = L"-";
    } else if (spec.sign != 0) {
        prefix.assign(1, spec.sign);
    }

    std::string text;
    Spec field = spec;
    if (std::isinf(value) || std::isnan(value)) {
        text = std::isinf(value) ? "inf" : negative ? "nan(ind)" : "nan";
        field.padZero = false;
    } else {
        const double magnitude = std::fabs(value);
        switch (spec.conversion) {
            case L'f': case L'F':
                text = FormatFixed(magnitude, spec.precision < 0 ? 6 : spec.precision, spec.alternate);
                break;
            case L'e': case L'E':
                text = FormatScientific(magnitude, spec.precision < 0 ? 6 : spec.precision, spec.alternate);
                break;
            case L'g': case L'G': text = FormatGeneral(magnitude, spec.precision, spec.alternate); break;
            default:
                text = FormatHexFloat(magnitude, spec.precision, spec.alternate);
                prefix += upperCase ? L"0X" : L"0x";
                break;
        }
    }
    if (upperCase) {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    Pad(field, prefix, std::wstring(text.begin(), text.end()));
}

void Formatter::FormatString(const Spec& spec) {
    const void* argument = va_arg(args_, const void*);
    if (argument == nullptr) {
        const wchar_t* null = L"(null)";
        Pad(spec, {}, std::wstring_view(null, BoundedLength(null, spec.precision)));
    } else if (TakesWideText(spec)) {
        const auto* text = static_cast<const wchar_t*>(argument);
        Pad(spec, {}, std::wstring_view(text, BoundedLength(text, spec.precision)));
    } else {
        // The precision counts bytes of narrow text, before it is widened.
        const auto* text = static_cast<const char*>(argument);
        Pad(spec, {}, WidenText(text, BoundedLength(text, spec.precision)));
    }
}

void Formatter::FormatCharacter(const Spec& spec) {
    const int argument = va_arg(args_, int);
    std::wstring text;
    if (TakesWideText(spec)) {
        text.assign(1, static_cast<wchar_t>(argument));
    } else {
        const char byte = static_cast<char>(argument & 0xFF);
        text = WidenText(&byte, 1);
    }
    // As for strings, a precision limits what is printed: "%.0c" prints nothing.
    if (spec.precision >= 0 && static_cast<std::size_t>(spec.precision) < text.size()) text.resize(spec.precision);
    Pad(spec, {}, text);
}

void Formatter::FormatPointer(const Spec& spec) {
    const auto value = reinterpret_cast<std::uintptr_t>(va_arg(args_, void*));
    std::wstring digits = Digits(value, 16, true);
    digits.insert(0, 2 * sizeof(void*) - digits.size(), L'0');
    Spec field = spec;
    field.padZero = false;
    Pad(field, spec.alternate ? L"0X" : L"", digits);
}

void Formatter::Pad(const Spec& spec, std::wstring_view prefix, std::wstring_view body) {
    const std::size_t length = prefix.size() + body.size();
    const std::size_t width = static_cast<std::size_t>(std::max(spec.width, 0));
    const std::size_t fill = width > length ? width - length : 0;
    if (spec.leftAlign) {
        out_.append(prefix).append(body).append(fill, L' ');
    } else if (spec.padZero) {
        out_.append(prefix).append(fill, L'0').append(body);
    } else {
        out_.append(fill, L' ').append(prefix).append(body);
    }
}

}  // namespace

void AppendMsFormat(std::wstring& out, const wchar_t* format, va_list args) {
    if (format == nullptr) return;
    Formatter formatter(out, args);
    formatter.Run(format);
}

}  // namespace afx_internal
