#pragma once
// The dialog's charts and legend labels are owned through plain pointers;
// these release them.

class CPaliskDlg;

// Destroys the RAM chart and its legend labels and empties their pointers.
void ReleaseRamChart(CPaliskDlg& dialog);

// Declared as the dialog's last member, so that it runs first when the
// dialog is destroyed: it releases all three charts and every legend label
// while the rest of the dialog is still whole.
class CChartRelease {
public:
    explicit CChartRelease(CPaliskDlg* dialog) : m_pDialog(dialog) {}
    ~CChartRelease();
    CChartRelease(const CChartRelease&) = delete;
    CChartRelease& operator=(const CChartRelease&) = delete;

private:
    CPaliskDlg* m_pDialog;
};
