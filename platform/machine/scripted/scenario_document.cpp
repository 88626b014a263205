#include "host/scenario_document.h"

#include "json_text_scan.h"

#include <algorithm>

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

// What the parser found wrong, without its own position prefix
// ("[json.exception.parse_error.101] parse error at line 3, column 5: ").
std::string ParserComplaint(const std::string& what) {
    const std::size_t column = what.find("column ");
    const std::size_t colon = column == std::string::npos ? std::string::npos : what.find(": ", column);
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

// Builds the document as the library's own parser does, but stops at the
// first container nested more than kMaxNesting deep, and keeps where and
// why parsing stopped: the library reports a number out of range (1e309)
// with its place only through this interface.
class BoundedBuilder {
public:
    using json = nlohmann::json;

    struct Failure {
        std::size_t position = 0;  // bytes read, the one at fault last
        int id = 0;                // the library's exception id
        std::string token;
        std::string what;
    };

    explicit BoundedBuilder(json& root) : dom_(root, false) {}

    bool null() { return dom_.null(); }
    bool boolean(bool value) { return dom_.boolean(value); }
    bool number_integer(json::number_integer_t value) { return dom_.number_integer(value); }
    bool number_unsigned(json::number_unsigned_t value) { return dom_.number_unsigned(value); }
    bool number_float(json::number_float_t value, const json::string_t& text) { return dom_.number_float(value, text); }
    bool string(json::string_t& value) { return dom_.string(value); }
    bool binary(json::binary_t& value) { return dom_.binary(value); }
    bool start_object(std::size_t size) { return Enter() && dom_.start_object(size); }
    bool key(json::string_t& value) { return dom_.key(value); }
    bool end_object() { return Leave() && dom_.end_object(); }
    bool start_array(std::size_t size) { return Enter() && dom_.start_array(size); }
    bool end_array() { return Leave() && dom_.end_array(); }

    template <class Exception>
    bool parse_error(std::size_t position, const std::string& token, const Exception& exception) {
        failure_ = Failure{position, exception.id, token, exception.what()};
        return false;
    }

    bool TooDeep() const { return tooDeep_; }
    const std::optional<Failure>& Failed() const { return failure_; }

private:
    bool Enter() {
        tooDeep_ = ++depth_ > ScenarioDocument::kMaxNesting;
        return !tooDeep_;
    }
    bool Leave() {
        --depth_;
        return true;
    }

    nlohmann::detail::json_sax_dom_parser<json> dom_;
    int depth_ = 0;
    bool tooDeep_ = false;
    std::optional<Failure> failure_;
};

constexpr int kNumberOverflow = 406;  // the library's id for a number beyond a double

std::string WhyRefused(const std::string& text, const BoundedBuilder& builder) {
    if (builder.TooDeep()) {
        const std::size_t at = json_scan::OffsetBeyondDepth(text, ScenarioDocument::kMaxNesting).value_or(0);
        return "line " + std::to_string(LineOfOffset(text, at)) + ": nested deeper than " +
               std::to_string(ScenarioDocument::kMaxNesting) + " levels";
    }
    if (!builder.Failed()) return "line 1: not valid JSON";
    const BoundedBuilder::Failure& failure = *builder.Failed();
    // The parser counts bytes from 1 and stops at the byte at fault.
    const std::string line =
        "line " + std::to_string(LineOfOffset(text, failure.position > 0 ? failure.position - 1 : 0)) + ": ";
    if (failure.id == kNumberOverflow) return line + "number out of range: " + failure.token;
    return line + "not valid JSON: " + ParserComplaint(failure.what);
}

}  // namespace

std::optional<ScenarioDocument> ScenarioDocument::Parse(const std::string& text, std::string* error) {
    ScenarioDocument doc;
    BoundedBuilder builder(doc.root_);
    if (!nlohmann::json::sax_parse(text, &builder)) {
        if (error) *error = WhyRefused(text, builder);
        return std::nullopt;
    }
    doc.text_ = text;
    return doc;
}

int ScenarioDocument::LineOf(const std::string& pointer) const { return json_scan::LineOfValue(text_, pointer); }

}  // namespace host
