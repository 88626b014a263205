// Writes dialog templates by Win32's layout rules: packed header fields,
// names as runs of WCHAR, items on DWORD boundaries.

#include "host/user.h"

#include <cstring>

namespace host::user {

namespace {

class Writer {
public:
    template <class T>
    void Put(T value) {
        const auto* bytes = reinterpret_cast<const BYTE*>(&value);
        bytes_.insert(bytes_.end(), bytes, bytes + sizeof(T));
    }

    void PutString(const std::wstring& text) {
        for (wchar_t c : text) Put<WCHAR>(c);
        Put<WCHAR>(L'\0');
    }

    void PutName(const DialogTemplateBuilder::Name& name) {
        if (name.isOrdinal) {
            Put<WCHAR>(static_cast<WCHAR>(0xFFFF));
            Put<WCHAR>(static_cast<WCHAR>(name.ordinal));
        } else {
            PutString(name.text);
        }
    }

    void AlignToDword() {
        while (bytes_.size() % 4) bytes_.push_back(0);
    }

    std::vector<DWORD> Words() const {
        std::vector<DWORD> words((bytes_.size() + 3) / 4, 0);
        if (!bytes_.empty()) std::memcpy(words.data(), bytes_.data(), bytes_.size());
        return words;
    }

private:
    std::vector<BYTE> bytes_;
};

}  // namespace

DialogTemplateBuilder::DialogTemplateBuilder(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                                             std::wstring caption)
    : style_(style), exStyle_(exStyle), x_(x), y_(y), cx_(cx), cy_(cy), caption_(std::move(caption)) {}

DialogTemplateBuilder& DialogTemplateBuilder::Extended(bool extended) {
    extended_ = extended;
    return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::Font(WORD pointSize, std::wstring face, WORD weight, bool italic,
                                                   BYTE charSet) {
    hasFont_ = true;
    style_ |= DS_SETFONT;
    pointSize_ = pointSize;
    face_ = std::move(face);
    weight_ = weight;
    italic_ = italic;
    charSet_ = charSet;
    return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::ClassName(Name name) {
    className_ = std::move(name);
    return *this;
}

DialogTemplateBuilder& DialogTemplateBuilder::AddItem(Name className, Name title, DWORD id, DWORD style, short x,
                                                      short y, short cx, short cy, DWORD exStyle,
                                                      std::vector<BYTE> creationData) {
    items_.push_back(Item{std::move(className), std::move(title), id, style, exStyle, x, y, cx, cy,
                          std::move(creationData)});
    return *this;
}

std::vector<DWORD> DialogTemplateBuilder::Build() const {
    Writer w;
    if (extended_) {
        w.Put<WORD>(1);       // dlgVer
        w.Put<WORD>(0xFFFF);  // signature
        w.Put<DWORD>(0);      // helpID
        w.Put<DWORD>(exStyle_);
        w.Put<DWORD>(style_);
    } else {
        w.Put<DWORD>(style_);
        w.Put<DWORD>(exStyle_);
    }
    w.Put<WORD>(static_cast<WORD>(items_.size()));
    w.Put<short>(x_);
    w.Put<short>(y_);
    w.Put<short>(cx_);
    w.Put<short>(cy_);
    w.PutName(Name{});  // no menu
    w.PutName(className_);
    w.PutString(caption_);
    if (hasFont_) {
        w.Put<WORD>(pointSize_);
        if (extended_) {
            w.Put<WORD>(weight_);
            w.Put<BYTE>(italic_ ? 1 : 0);
            w.Put<BYTE>(charSet_);
        }
        w.PutString(face_);
    }
    for (const Item& item : items_) {
        w.AlignToDword();
        if (extended_) {
            w.Put<DWORD>(0);  // helpID
            w.Put<DWORD>(item.exStyle);
            w.Put<DWORD>(item.style);
        } else {
            w.Put<DWORD>(item.style);
            w.Put<DWORD>(item.exStyle);
        }
        w.Put<short>(item.x);
        w.Put<short>(item.y);
        w.Put<short>(item.cx);
        w.Put<short>(item.cy);
        if (extended_) w.Put<DWORD>(item.id);
        else w.Put<WORD>(static_cast<WORD>(item.id));
        w.PutName(item.className);
        w.PutName(item.title);
        w.Put<WORD>(static_cast<WORD>(item.data.size()));
        for (BYTE b : item.data) w.Put<BYTE>(b);
    }
    return w.Words();
}

}  // namespace host::user
