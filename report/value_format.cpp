#include "report/value_format.h"

void AppendBytes(CString& text, ULONGLONG bytes) {
    const ULONGLONG whole = bytes >> 20;
    const ULONGLONG kib = (bytes - (whole << 20)) >> 10;
    CString piece;
    if (whole != 0 || kib != 0)
        piece.Format(L"% 8I64d.%02I64d MB", static_cast<LONGLONG>(whole), static_cast<LONGLONG>((kib * 100) >> 10));
    else
        piece.Format(L"% 8I64d Bytes", static_cast<LONGLONG>(bytes));
    text += piece;
}

void AppendCount(CString& text, LONGLONG count) {
    CString piece;
    piece.Format(L"% 12I64d ", count);
    text += piece;
}

void AppendPercent(CString& text, double percent) {
    CString piece;
    piece.Format(L"%2.2f%%", percent);
    text += piece;
}

ULONGLONG ShareOfRam(ULONGLONG bytes, ULONGLONG totalRamBytes) {
    if (totalRamBytes == 0) return 0;
    // bytes × 100 stays within 64 bits for any memory below 2^57 bytes; for
    // larger figures divide first so that the product cannot wrap.
    if (bytes > ~0ULL / 100) return bytes / (totalRamBytes / 100 ? totalRamBytes / 100 : 1);
    return bytes * 100 / totalRamBytes;
}
