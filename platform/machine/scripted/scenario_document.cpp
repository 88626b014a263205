#include "host/scenario_document.h"

#include <algorithm>
#include <vector>

namespace host {

int LineOfOffset(const std::string& text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

std::string JsonPointerToken(const std::string& key) {
    std::string out;
    for (char c : key) {
        if (c == '~') out += "~0";
        else if (c == '/') out += "~1";
        else out += c;
    }
    return out;
}

namespace {

// Maps the JSON pointer of every value of an already validated document to
// its line. The text is known to be well-formed, so the scan only has to
// follow the structure: containers, keys, strings and plain tokens.
class LineScanner {
public:
    explicit LineScanner(const std::string& text) : text_(text) {}

    std::map<std::string, int> Scan() {
        while (pos_ < text_.size()) Step();
        return std::move(lines_);
    }

private:
    struct Frame {
        bool object = false;
        std::string pointer;
        std::size_t index = 0;
        bool expectKey = true;
        std::string key;
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
            frame.pointer = BeginValue();
            stack_.push_back(std::move(frame));
            ++pos_;
            return;
        }
        case '}': case ']':
            stack_.pop_back();
            ++pos_;
            return;
        case '"': {
            const int line = line_;
            std::string s = ReadString();
            if (!stack_.empty() && stack_.back().object && stack_.back().expectKey) {
                stack_.back().key = std::move(s);
                stack_.back().keyLine = line;
                stack_.back().expectKey = false;
            } else {
                BeginValue(line);
            }
            return;
        }
        default:
            BeginValue();
            while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
        }
    }

    static bool IsDelimiter(char c) {
        return c == ',' || c == '}' || c == ']' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    // Records the value starting here and answers its pointer.
    std::string BeginValue(int line = 0) {
        if (line == 0) line = line_;
        std::string pointer;
        if (!stack_.empty()) {
            const Frame& top = stack_.back();
            if (top.object) {
                pointer = top.pointer + "/" + JsonPointerToken(top.key);
                line = top.keyLine;
            } else {
                pointer = top.pointer + "/" + std::to_string(top.index);
            }
        }
        lines_.emplace(pointer, line);
        return pointer;
    }

    // Reads a string token; keys are decoded so that pointers match the
    // parsed document (\uXXXX escapes become UTF-8).
    std::string ReadString() {
        std::string out;
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = text_[pos_++];
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
        unsigned cp = std::stoul(text_.substr(pos_, 4), nullptr, 16);
        pos_ += 4;
        if (cp >= 0xD800 && cp < 0xDC00 && text_.compare(pos_, 2, "\\u") == 0) {
            const unsigned low = std::stoul(text_.substr(pos_ + 2, 4), nullptr, 16);
            pos_ += 6;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        EncodeUtf8(out, cp);
    }

    static void EncodeUtf8(std::string& out, unsigned cp) {
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

    const std::string& text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::vector<Frame> stack_;
    std::map<std::string, int> lines_;
};

// What the parser found wrong, without its own position prefix
// ("[json.exception.parse_error.101] parse error at line 3, column 5: ").
std::string ParserComplaint(const std::string& what) {
    const std::size_t column = what.find("column ");
    const std::size_t colon = column == std::string::npos ? std::string::npos : what.find(": ", column);
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

}  // namespace

std::optional<ScenarioDocument> ScenarioDocument::Parse(const std::string& text, std::string* error) {
    ScenarioDocument doc;
    try {
        doc.root_ = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        // The parser counts bytes from 1 and stops at the byte at fault.
        if (error) *error = "line " + std::to_string(LineOfOffset(text, e.byte > 0 ? e.byte - 1 : 0)) +
                            ": not valid JSON: " + ParserComplaint(e.what());
        return std::nullopt;
    }
    doc.lines_ = LineScanner(text).Scan();
    return doc;
}

int ScenarioDocument::LineOf(const std::string& pointer) const {
    auto it = lines_.find(pointer);
    return it == lines_.end() ? 0 : it->second;
}

}  // namespace host
