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

struct Directive {
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
bool TakesWideText(const Directive& directive) {
    if (directive.wideLetter || directive.size == SizePrefix::Long) return true;
    if (directive.size == SizePrefix::Short || directive.size == SizePrefix::Char) return false;
    return directive.conversion == L's' || directive.conversion == L'c';
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
    const wchar_t* ParseFlags(const wchar_t* p, Directive& directive);
    const wchar_t* ParseWidthAndPrecision(const wchar_t* p, Directive& directive);
    const wchar_t* ParseSize(const wchar_t* p, Directive& directive);
    bool Convert(const Directive& directive);

    void FormatInteger(Directive directive);
    void FormatFloating(const Directive& directive);
    void FormatString(const Directive& directive);
    void FormatCharacter(const Directive& directive);
    void FormatPointer(const Directive& directive);
    long long ReadSigned(SizePrefix size);
    unsigned long long ReadUnsigned(SizePrefix size);

    // Writes prefix (sign, "0x") and body into the field: spaces before,
    // zeros between prefix and body ('0' flag), or spaces after ('-' flag).
    void Pad(const Directive& directive, std::wstring_view prefix, std::wstring_view body);

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
        Directive directive;
        p = ParseFlags(p, directive);
        p = ParseWidthAndPrecision(p, directive);
        p = ParseSize(p, directive);
        directive.conversion = *p;
        if (directive.conversion == 0) return;
        // An unknown conversion is dropped; its letter is then copied as text.
        if (Convert(directive)) ++p;
    }
}

const wchar_t* Formatter::ParseFlags(const wchar_t* p, Directive& directive) {
    for (;; ++p) {
        switch (*p) {
            case L'+': directive.sign = L'+'; break;
            case L' ':
                if (directive.sign != L'+') directive.sign = L' ';
                break;
            case L'-': directive.leftAlign = true; break;
            case L'0': directive.padZero = true; break;
            case L'#': directive.alternate = true; break;
            default: return p;
        }
    }
}

const wchar_t* Formatter::ParseWidthAndPrecision(const wchar_t* p, Directive& directive) {
    if (*p == L'*') {
        ++p;
        const int width = va_arg(args_, int);
        if (width < 0) directive.leftAlign = true;
        directive.width = width == INT_MIN ? INT_MAX : std::abs(width);
    }
    // Digits after '*' replace the argument's width, as the runtime does.
    if (*p >= L'0' && *p <= L'9') directive.width = ParseNumber(p);
    if (*p == L'.') {
        ++p;
        if (*p == L'*') {
            ++p;
            directive.precision = std::max(va_arg(args_, int), -1);
        } else {
            directive.precision = ParseNumber(p);
        }
    }
    return p;
}

const wchar_t* Formatter::ParseSize(const wchar_t* p, Directive& directive) {
    for (;;) {
        if (p[0] == L'l' && p[1] == L'l') {
            directive.size = SizePrefix::Int64, p += 2;
        } else if (p[0] == L'h' && p[1] == L'h') {
            directive.size = SizePrefix::Char, p += 2;
        } else if (*p == L'l') {
            directive.size = SizePrefix::Long, ++p;
        } else if (*p == L'h') {
            directive.size = SizePrefix::Short, ++p;
        } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            directive.size = SizePrefix::Int64, p += 3;
        } else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') {
            directive.size = SizePrefix::Int32, p += 3;
        } else if ((*p == L'I' || *p == L'z' || *p == L't') && IsIntegerConversion(p[1])) {
            directive.size = SizePrefix::Native, ++p;
        } else if (*p == L'j') {
            directive.size = SizePrefix::Int64, ++p;
        } else if (*p == L'L') {
            directive.size = SizePrefix::LongDouble, ++p;
        } else if (*p == L'w') {
            directive.wideLetter = true, ++p;
        } else {
            return p;
        }
    }
}

bool Formatter::Convert(const Directive& directive) {
    switch (directive.conversion) {
        case L's': case L'S': FormatString(directive); return true;
        case L'c': case L'C': FormatCharacter(directive); return true;
        case L'p': FormatPointer(directive); return true;
        case L'n':
            // The runtime refuses to write through %n; the argument is
            // consumed so that the ones after it stay in step.
            (void)va_arg(args_, void*);
            return true;
        case L'd': case L'i': case L'o': case L'u': case L'x': case L'X': FormatInteger(directive); return true;
        case L'a': case L'A': case L'e': case L'E': case L'f': case L'F': case L'g': case L'G':
            FormatFloating(directive);
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

void Formatter::FormatInteger(Directive directive) {
    const bool isSigned = directive.conversion == L'd' || directive.conversion == L'i';
    bool negative = false;
    unsigned long long magnitude;
    if (isSigned) {
        const long long value = ReadSigned(directive.size);
        negative = value < 0;
        magnitude = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    } else {
        magnitude = ReadUnsigned(directive.size);
    }
    const unsigned base = directive.conversion == L'o' ? 8 : (directive.conversion == L'x' || directive.conversion == L'X') ? 16 : 10;

    std::wstring digits;
    if (magnitude != 0) {
        digits = Digits(magnitude, base, directive.conversion == L'X');
    } else {
        directive.alternate = false;  // no "0x" on zero
        if (directive.precision != 0) digits = L"0";
    }
    if (directive.precision > static_cast<int>(digits.size())) {
        digits.insert(0, static_cast<std::size_t>(directive.precision) - digits.size(), L'0');
    }

    std::wstring prefix;
    if (negative) {
        prefix = L"-";
    } else if (isSigned && directive.sign != 0) {
        prefix.assign(1, directive.sign);
    }
    if (directive.alternate && base == 16) prefix += directive.conversion == L'X' ? L"0X" : L"0x";
    if (directive.alternate && base == 8 && digits[0] != L'0') digits.insert(0, 1, L'0');
    Pad(directive, prefix, digits);
}

void Formatter::FormatFloating(const Directive& directive) {
    const double value = directive.size == SizePrefix::LongDouble ? static_cast<double>(va_arg(args_, long double))
                                                             : va_arg(args_, double);
    const bool upperCase = directive.conversion >= L'A' && directive.conversion <= L'Z';
    const bool negative = std::signbit(value);
    std::wstring prefix;
    if (negative) {
        prefix = L"-";
    } else if (directive.sign != 0) {
        prefix.assign(1, directive.sign);
    }

    std::string text;
    Directive field = directive;
    if (std::isinf(value) || std::isnan(value)) {
        text = std::isinf(value) ? "inf" : negative ? "nan(ind)" : "nan";
        field.padZero = false;
    } else {
        const double magnitude = std::fabs(value);
        switch (directive.conversion) {
            case L'f': case L'F':
                text = FormatFixed(magnitude, directive.precision < 0 ? 6 : directive.precision, directive.alternate);
                break;
            case L'e': case L'E':
                text = FormatScientific(magnitude, directive.precision < 0 ? 6 : directive.precision, directive.alternate);
                break;
            case L'g': case L'G': text = FormatGeneral(magnitude, directive.precision, directive.alternate); break;
            default:
                text = FormatHexFloat(magnitude, directive.precision, directive.alternate);
                prefix += upperCase ? L"0X" : L"0x";
                break;
        }
    }
    if (upperCase) {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    Pad(field, prefix, std::wstring(text.begin(), text.end()));
}

void Formatter::FormatString(const Directive& directive) {
    const void* argument = va_arg(args_, const void*);
    if (argument == nullptr) {
        const wchar_t* null = L"(null)";
        Pad(directive, {}, std::wstring_view(null, BoundedLength(null, directive.precision)));
    } else if (TakesWideText(directive)) {
        const auto* text = static_cast<const wchar_t*>(argument);
        Pad(directive, {}, std::wstring_view(text, BoundedLength(text, directive.precision)));
    } else {
        // The precision counts bytes of narrow text, before it is widened.
        const auto* text = static_cast<const char*>(argument);
        Pad(directive, {}, WidenText(text, BoundedLength(text, directive.precision)));
    }
}

void Formatter::FormatCharacter(const Directive& directive) {
    const int argument = va_arg(args_, int);
    std::wstring text;
    if (TakesWideText(directive)) {
        text.assign(1, static_cast<wchar_t>(argument));
    } else {
        const char byte = static_cast<char>(argument & 0xFF);
        text = WidenText(&byte, 1);
    }
    // As for strings, a precision limits what is printed: "%.0c" prints nothing.
    if (directive.precision >= 0 && static_cast<std::size_t>(directive.precision) < text.size()) text.resize(directive.precision);
    Pad(directive, {}, text);
}

void Formatter::FormatPointer(const Directive& directive) {
    const auto value = reinterpret_cast<std::uintptr_t>(va_arg(args_, void*));
    std::wstring digits = Digits(value, 16, true);
    digits.insert(0, 2 * sizeof(void*) - digits.size(), L'0');
    Directive field = directive;
    field.padZero = false;
    Pad(field, directive.alternate ? L"0X" : L"", digits);
}

void Formatter::Pad(const Directive& directive, std::wstring_view prefix, std::wstring_view body) {
    const std::size_t length = prefix.size() + body.size();
    const std::size_t width = static_cast<std::size_t>(std::max(directive.width, 0));
    const std::size_t fill = width > length ? width - length : 0;
    if (directive.leftAlign) {
        out_.append(prefix).append(body).append(fill, L' ');
    } else if (directive.padZero) {
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
