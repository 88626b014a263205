// The target selector over process lists that no kernel would write: the
// walk stays inside the snapshot buffer and always ends.

#include "scenario_support.h"

#include "app/palisk_dlg.h"
#include "kernel/kernel_if.h"

#include <nt/process_information.h>

#include <cstring>

namespace {

using Record = nt::SYSTEM_PROCESS_INFORMATION;

// The chain the fake query writes: each record's next-record offset.
ULONG g_nextOffsets[2] = {};
int g_recordCount = 0;
const wchar_t* const g_names[2] = {L"first.exe", L"second.exe"};

// Writes g_recordCount records 512 bytes apart, each with its name right
// behind it, and the next-record offsets of g_nextOffsets.
NTSTATUS NTAPI MalformedProcessList(SYSTEM_INFORMATION_CLASS infoClass, PVOID buffer, ULONG length,
                                    PULONG returned) {
    if (infoClass != SystemProcessInformation) return static_cast<NTSTATUS>(0xC0000003);  // not this test's
    const ULONG needed = 512 * static_cast<ULONG>(g_recordCount);
    if (length < needed) {
        if (returned) *returned = needed;
        return static_cast<NTSTATUS>(0xC0000004);
    }
    auto* base = static_cast<BYTE*>(buffer);
    std::memset(base, 0, needed);
    for (int i = 0; i < g_recordCount; ++i) {
        auto* record = reinterpret_cast<Record*>(base + 512 * i);
        auto* name = reinterpret_cast<wchar_t*>(base + 512 * i + sizeof(Record));
        std::wcscpy(name, g_names[i]);
        record->ImageName.Buffer = name;
        record->ImageName.Length = static_cast<USHORT>(std::wcslen(g_names[i]) * sizeof(wchar_t));
        record->UniqueProcessId = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(100 + i));
        record->NextEntryOffset = g_nextOffsets[i];
    }
    if (returned) *returned = needed;
    return 0;
}

class MalformedProcessRecords : public ::testing::Test {
protected:
    void SetUp() override {
        scenario_test::RunScenario(runner, R"({"machine": {}, "steps": [{"start": {}}]})");
        dialog = runner.Dialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_NE(dialog->m_pKernelIf, nullptr);
        dialog->m_pKernelIf->m_pfnNtQuerySystemInformation = MalformedProcessList;
    }
    std::vector<std::wstring> Labels() const {
        std::vector<std::wstring> labels;
        for (INT_PTR i = 0; i < dialog->m_astrTargetNames.GetSize(); ++i)
            labels.emplace_back(dialog->m_astrTargetNames[i].GetString());
        return labels;
    }

    scenario::ScenarioRunner runner;
    CPaliskDlg* dialog = nullptr;
};

TEST_F(MalformedProcessRecords, AnOffsetPastTheBufferEndsTheList) {
    g_recordCount = 2;
    g_nextOffsets[0] = 512;
    g_nextOffsets[1] = 0x7FFFFF00;  // no record lies there
    dialog->FillTargetProcessList();
    EXPECT_EQ(Labels(), (std::vector<std::wstring>{L"first.exe[100]", L"second.exe[101]"}));
    EXPECT_EQ(dialog->m_cbTargetProcess.GetCount(), 3);
}

TEST_F(MalformedProcessRecords, AnOffsetThatWrapsBackEndsTheListInsteadOfLooping) {
    // 512 + (2^32 - 512) wraps a 32-bit offset back to the first record.
    g_recordCount = 2;
    g_nextOffsets[0] = 512;
    g_nextOffsets[1] = 0xFFFFFE00u;
    dialog->FillTargetProcessList();
    EXPECT_EQ(Labels(), (std::vector<std::wstring>{L"first.exe[100]", L"second.exe[101]"}));
}

}  // namespace
