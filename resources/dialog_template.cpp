#include "resources/dialog_template.h"

#include <cstring>
#include <cwchar>

namespace resources {

namespace {

// Appends plain values and WCHAR strings to a byte image. Everything in a
// template is a whole number of WORDs, so with Windows' two-byte WCHAR the
// strings fall on WORD boundaries by themselves; with a wider WCHAR they are
// packed the same way, and readers take them unaligned.
class TemplateWriter {
public:
    template <typename T>
    void Put(T value) {
        const auto* p = reinterpret_cast<const BYTE*>(&value);
        bytes_.insert(bytes_.end(), p, p + sizeof(T));
    }

    void AlignTo(std::size_t boundary) {
        while (bytes_.size() % boundary != 0) bytes_.push_back(0);
    }

    void PutString(LPCWSTR text) {
        if (text) {
            for (const WCHAR* c = text; *c; ++c) Put<WCHAR>(*c);
        }
        Put<WCHAR>(0);
    }

    void PutNone() { Put<WCHAR>(0); }

    void PutOrdinal(WORD ordinal) {
        Put<WCHAR>(static_cast<WCHAR>(0xFFFF));
        Put<WCHAR>(static_cast<WCHAR>(ordinal));
    }

    std::vector<DWORD> Finish() {
        AlignTo(sizeof(DWORD));
        std::vector<DWORD> words(bytes_.size() / sizeof(DWORD));
        std::memcpy(words.data(), bytes_.data(), bytes_.size());
        return words;
    }

private:
    std::vector<BYTE> bytes_;
};

void PutItem(TemplateWriter& out, const DialogControl& control) {
    out.AlignTo(sizeof(DWORD));
    out.Put<DWORD>(0);  // help id
    out.Put<DWORD>(control.exStyle);
    out.Put<DWORD>(control.style);
    out.Put<short>(control.x);
    out.Put<short>(control.y);
    out.Put<short>(control.cx);
    out.Put<short>(control.cy);
    out.Put<DWORD>(control.id);
    out.PutString(control.className);
    if (control.iconOrdinal != 0)
        out.PutOrdinal(control.iconOrdinal);
    else
        out.PutString(control.caption);
    out.Put<WORD>(0);  // no creation data
}

}  // namespace

std::vector<DWORD> BuildDialogTemplate(const DialogDefinition& dialog) {
    TemplateWriter out;
    out.Put<WORD>(1);       // version
    out.Put<WORD>(0xFFFF);  // extended template
    out.Put<DWORD>(0);      // help id
    out.Put<DWORD>(dialog.exStyle);
    out.Put<DWORD>(dialog.style);
    out.Put<WORD>(static_cast<WORD>(dialog.controls.size()));
    out.Put<short>(dialog.x);
    out.Put<short>(dialog.y);
    out.Put<short>(dialog.cx);
    out.Put<short>(dialog.cy);
    out.PutNone();  // no menu
    out.PutNone();  // the standard dialog class
    out.PutString(dialog.caption);
    if (dialog.style & DS_SETFONT) {
        out.Put<WORD>(dialog.fontPoints);
        out.Put<WORD>(FW_NORMAL);
        out.Put<BYTE>(FALSE);  // not italic
        out.Put<BYTE>(DEFAULT_CHARSET);
        out.PutString(dialog.fontFace);
    }
    for (const DialogControl& control : dialog.controls) PutItem(out, control);
    return out.Finish();
}

}  // namespace resources
