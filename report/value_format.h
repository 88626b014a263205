#pragma once
// The fixed-width formats the report and the chart legends print quantities
// in, so that values line up in the fixed-pitch report font.

#include <afxwin.h>

// Appends a byte count: below 1024 bytes as "% 8I64d Bytes", from 1024 on as
// whole megabytes and truncated hundredths, "% 8I64d.%02I64d MB".
void AppendBytes(CString& text, ULONGLONG bytes);

// Appends a count right-aligned in 12 columns and one blank ("% 12I64d ").
void AppendCount(CString& text, LONGLONG count);

// Appends a hit percentage with two decimals ("%2.2f%%").
void AppendPercent(CString& text, double percent);

// The whole percentage of total RAM that `bytes` make, truncated. A machine
// that reported no RAM at all gives 0 rather than a division by zero.
ULONGLONG ShareOfRam(ULONGLONG bytes, ULONGLONG totalRamBytes);
