#include "dialog_template.h"

#include <cstring>

namespace host::user {

namespace {

// Reads fields out of the template, which need not be aligned for them.
class Reader {
public:
    explicit Reader(const void* base) : base_(static_cast<const BYTE*>(base)), at_(base_) {}

    template <class T>
    T Read() {
        T value;
        std::memcpy(&value, at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }

    TemplateName ReadName() {
        TemplateName name;
        const auto first = static_cast<unsigned>(Read<WCHAR>());
        if (first == 0) return name;
        if (first == 0xFFFFu) {
            name.isOrdinal = true;
            name.ordinal = static_cast<WORD>(Read<WCHAR>());
            return name;
        }
        name.text.push_back(static_cast<WCHAR>(first));
        for (WCHAR c = Read<WCHAR>(); c != L'\0'; c = Read<WCHAR>()) name.text.push_back(c);
        return name;
    }

    std::wstring ReadString() {
        std::wstring text;
        for (WCHAR c = Read<WCHAR>(); c != L'\0'; c = Read<WCHAR>()) text.push_back(c);
        return text;
    }

    void AlignToDword() {
        const std::size_t offset = static_cast<std::size_t>(at_ - base_);
        at_ = base_ + ((offset + 3) & ~std::size_t{3});
    }

    const BYTE* Here() const { return at_; }
    void Skip(std::size_t bytes) { at_ += bytes; }

private:
    const BYTE* base_;
    const BYTE* at_;
};

void ReadItem(Reader& reader, bool extended, DialogItemTemplate* item) {
    reader.AlignToDword();
    if (extended) {
        item->helpId = reader.Read<DWORD>();
        item->exStyle = reader.Read<DWORD>();
        item->style = reader.Read<DWORD>();
    } else {
        item->style = reader.Read<DWORD>();
        item->exStyle = reader.Read<DWORD>();
    }
    item->x = reader.Read<short>();
    item->y = reader.Read<short>();
    item->cx = reader.Read<short>();
    item->cy = reader.Read<short>();
    item->id = extended ? reader.Read<DWORD>() : reader.Read<WORD>();
    item->className = reader.ReadName();
    item->title = reader.ReadName();
    // Creation data: a WORD byte count, then that many bytes.
    const BYTE* data = reader.Here();
    const WORD size = reader.Read<WORD>();
    item->creationData = size ? data : nullptr;
    reader.Skip(size);
}

}  // namespace

bool ParseDialogTemplate(const void* data, DialogTemplate* out) {
    if (!data || !out) return false;
    Reader reader(data);
    DialogTemplate t;
    const WORD version = reader.Read<WORD>();
    const WORD signature = reader.Read<WORD>();
    t.extended = signature == 0xFFFF;
    WORD count = 0;
    if (t.extended) {
        if (version != 1) return false;
        t.helpId = reader.Read<DWORD>();
        t.exStyle = reader.Read<DWORD>();
        t.style = reader.Read<DWORD>();
    } else {
        reader = Reader(data);
        t.style = reader.Read<DWORD>();
        t.exStyle = reader.Read<DWORD>();
    }
    count = reader.Read<WORD>();
    t.x = reader.Read<short>();
    t.y = reader.Read<short>();
    t.cx = reader.Read<short>();
    t.cy = reader.Read<short>();
    t.menu = reader.ReadName();
    t.className = reader.ReadName();
    t.title = reader.ReadString();
    if (t.style & DS_SETFONT) {
        t.hasFont = true;
        t.pointSize = reader.Read<WORD>();
        if (t.extended) {
            t.weight = reader.Read<WORD>();
            t.italic = reader.Read<BYTE>();
            t.charSet = reader.Read<BYTE>();
        }
        t.face = reader.ReadString();
    }
    t.items.resize(count);
    for (DialogItemTemplate& item : t.items) ReadItem(reader, t.extended, &item);
    *out = std::move(t);
    return true;
}

const wchar_t* ClassForOrdinal(WORD ordinal) {
    switch (ordinal) {
    case 0x0080: return L"Button";
    case 0x0081: return L"Edit";
    case 0x0082: return L"Static";
    case 0x0083: return L"ListBox";
    case 0x0084: return L"ScrollBar";
    case 0x0085: return L"ComboBox";
    default: return nullptr;
    }
}

}  // namespace host::user
