#pragma once
// A machine on the real clock and the real screen. It knows no kernel
// figures of its own; LiveLinuxMachine builds on it.

#include "host/machine.h"

namespace host {

class RealTimeMachine : public Machine {
public:
    DWORD TickCount() override;
    ULONGLONG UtcFileTime() override;
    int DotsPerInch() override { return 0; }
    std::optional<ModalAnswer> AnswerModal(const ModalRecord&) override { return std::nullopt; }
};

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG kFileTimeUnixEpoch = 116444736000000000ULL;

}  // namespace host
