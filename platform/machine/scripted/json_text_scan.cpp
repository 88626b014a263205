#include "json_text_scan.h"

#include <vector>

namespace host::json_scan {

namespace {

// The tokens of a JSON pointer, unescaped ("/a~1b/0" -> "a/b", "0").
std::vector<std::string> PointerTokens(const std::string& pointer) {
    std::vector<std::string> tokens;
    for (std::size_t at = 0; at < pointer.size();) {
        const std::size_t next = pointer.find('/', at + 1);
        const std::size_t end = next == std::string::npos ? pointer.size() : next;
        std::string token;
        for (std::size_t i = at + 1; i < end; ++i) {
            if (pointer[i] == '~' && i + 1 < end) {
                token += pointer[i + 1] == '1' ? '/' : '~';
                ++i;
            } else {
                token += pointer[i];
            }
        }
        tokens.push_back(std::move(token));
        at = end;
    }
    return tokens;
}

void EncodeUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

unsigned HexValue(const std::string& text, std::size_t at) {
    unsigned value = 0;
    for (std::size_t i = at; i < at + 4 && i < text.size(); ++i) {
        const char c = text[i];
        value = value * 16 + static_cast<unsigned>(c >= '0' && c <= '9'   ? c - '0'
                                                   : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                   : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                          : 0);
    }
    return value;
}

// Walks a well-formed text value by value, keeping only the containers
// around the current place and, for each, whether it lies on the pointer's
// path: a value is found when its container is on the path and its own key
// or index is the pointer's next token.
class ValueFinder {
public:
    ValueFinder(const std::string& text, const std::string& pointer) : text_(text), target_(PointerTokens(pointer)) {}

    int Find() {
        while (pos_ < text_.size() && found_ == 0) Step();
        return found_;
    }

private:
    struct Frame {
        bool object = false;
        bool onPath = false;
        std::size_t index = 0;
        bool expectKey = true;
        bool keyMatches = false;
        int keyLine = 0;
    };

    void Step() {
        const char c = text_[pos_];
        switch (c) {
        case '\n': ++line_; ++pos_; return;
        case ' ': case '\t': case '\r': case ':': ++pos_; return;
        case ',':
            if (!stack_.empty()) {
                ++stack_.back().index;
                stack_.back().expectKey = stack_.back().object;
            }
            ++pos_;
            return;
        case '{': case '[': {
            Frame frame;
            frame.object = c == '{';
            frame.onPath = BeginValue(line_);
            stack_.push_back(frame);
            ++pos_;
            return;
        }
        case '}': case ']':
            if (!stack_.empty()) stack_.pop_back();
            ++pos_;
            return;
        case '"':
            if (!stack_.empty() && stack_.back().object && stack_.back().expectKey) {
                Frame& top = stack_.back();
                top.keyLine = line_;
                top.expectKey = false;
                const bool wanted = top.onPath && stack_.size() <= target_.size();
                top.keyMatches = wanted && ReadString(true) == target_[stack_.size() - 1];
            } else {
                BeginValue(line_);
                ReadString(false);
            }
            return;
        default:
            BeginValue(line_);
            while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
        }
    }

    static bool IsDelimiter(char c) {
        return c == ',' || c == '}' || c == ']' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    // A value starts here: answers whether it lies on the pointer's path,
    // and notes its line when it is the value sought.
    bool BeginValue(int line) {
        const std::size_t depth = stack_.size();
        bool onPath = depth == 0;
        if (depth > 0) {
            const Frame& top = stack_.back();
            if (top.object) {
                onPath = top.keyMatches;
                line = top.keyLine;
            } else {
                onPath = top.onPath && depth <= target_.size() && std::to_string(top.index) == target_[depth - 1];
            }
        }
        if (onPath && depth == target_.size()) found_ = line;
        return onPath;
    }

    // Reads a string token; when `decode`, answers it as the parser would
    // (\uXXXX escapes become UTF-8), else passes over it.
    std::string ReadString(bool decode) {
        std::string out;
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            const char c = text_[pos_++];
            if (c != '\\') {
                if (decode) out += c;
                continue;
            }
            if (pos_ >= text_.size()) break;
            const char e = text_[pos_++];
            if (!decode) {
                continue;
            }
            switch (e) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': AppendCodeUnit(out); break;
            default: out += e;
            }
        }
        ++pos_;
        return out;
    }

    void AppendCodeUnit(std::string& out) {
        unsigned cp = HexValue(text_, pos_);
        pos_ += 4;
        if (cp >= 0xD800 && cp < 0xDC00 && text_.compare(pos_, 2, "\\u") == 0) {
            const unsigned low = HexValue(text_, pos_ + 2);
            pos_ += 6;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        EncodeUtf8(out, cp);
    }

    const std::string& text_;
    const std::vector<std::string> target_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int found_ = 0;
    std::vector<Frame> stack_;
};

}  // namespace

int LineOfValue(const std::string& text, const std::string& pointer) { return ValueFinder(text, pointer).Find(); }

std::optional<std::size_t> OffsetBeyondDepth(const std::string& text, int maxDepth) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth) return i;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return std::nullopt;
}

}  // namespace host::json_scan
