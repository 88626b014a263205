#include "charts/ram_chart_layout.h"

namespace ram_chart {

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr double kPagesPerMegabyte = 256.0;
}  // namespace

const TraceStyle kFullLayout[kFullTraceCount] = {
    {L"Other Used ", RGB(0, 255, 0), kBlack},     {L"Target WS ", RGB(0, 192, 128), kBlack},
    {L"ModifiedWrite ", RGB(96, 96, 0), kWhite},  {L"ModNoWrite ", RGB(16, 32, 0), kWhite},
    {L"Cache WS ", RGB(0, 128, 32), kWhite},      {L"System WS ", RGB(0, 192, 16), kWhite},
    {L"Compressed ", RGB(64, 0, 32), kWhite},     {L"SBy StaticPF ", RGB(255, 128, 0), kBlack},
    {L"SBy High ", RGB(255, 255, 0), kBlack},     {L"Sby Normal ", RGB(255, 255, 255), kBlack},
    {L"Sby BkGnd1 ", RGB(0, 128, 255), kBlack},   {L"Sby BkGnd2 ", RGB(0, 192, 255), kBlack},
    {L"Sby Low ", RGB(128, 128, 136), kBlack},    {L"Sby VeryLow ", RGB(128, 128, 255), kBlack},
    {L"Sby Idle ", RGB(64, 64, 255), kBlack},     {L"Free ", RGB(0, 0, 32), kWhite},
    {L"Zeroed ", RGB(0, 0, 255), kWhite},         {L"Bad ", RGB(255, 0, 0), kWhite},
};

const TraceStyle kBasicLayout[kBasicTraceCount] = {
    {L"Other Used", RGB(0, 255, 0), kBlack},
    {L"Cache WS ", RGB(0, 128, 32), kWhite},
    {L"Cache Sby ", RGB(0, 32, 128), kWhite},
    {L"Total RAM ", RGB(0, 0, 255), kWhite},
};

void FullBands(const PageFigures& f, ULONGLONG bands[kFullTraceCount]) {
    const ULONGLONG used = f.physical > f.available ? ULONGLONG{f.physical} - f.available : 0;
    const ULONGLONG namedParts = ULONGLONG{f.modifiedNoWrite} + f.modified + f.compressionWs + f.systemWs +
                                 f.targetWs + f.cacheResident;
    bands[0] = used > namedParts ? used - namedParts : 0;
    bands[1] = f.targetWs;
    bands[2] = f.modified;
    bands[3] = f.modifiedNoWrite;
    bands[4] = f.cacheResident;
    bands[5] = f.systemWs;
    bands[6] = f.compressionWs;
    for (int priority = 7; priority >= 0; --priority) bands[7 + (7 - priority)] = f.standby[priority];
    bands[15] = f.free;
    bands[16] = f.zeroed;
    bands[17] = f.bad;
}

void StackMegabytes(const ULONGLONG* bands, int count, double* values) {
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        sum += static_cast<double>(bands[i]) / kPagesPerMegabyte;
        values[i] = sum;
    }
}

void BasicValues(ULONG available, ULONG physical, ULONG cacheResident, ULONG cacheCurrent,
                 double values[kBasicTraceCount]) {
    const LONGLONG used = LONGLONG{physical} - available;
    values[0] = static_cast<double>(used - cacheResident) / kPagesPerMegabyte;
    values[1] = static_cast<double>(used) / kPagesPerMegabyte;
    values[2] = static_cast<double>(used + cacheCurrent - cacheResident) / kPagesPerMegabyte;
    values[3] = static_cast<double>(physical) / kPagesPerMegabyte;
}

void ReducedFullValues(ULONG available, ULONG physical, ULONG cacheResident, ULONG standbyCore,
                       ULONG standbyNormal, ULONG standbyReserve, double values[kFullTraceCount]) {
    const LONGLONG used = LONGLONG{physical} - available;
    values[0] = static_cast<double>(used - cacheResident) / kPagesPerMegabyte;
    values[1] = static_cast<double>(used) / kPagesPerMegabyte;
    values[2] = values[1] + standbyCore / kPagesPerMegabyte;
    values[3] = values[2] + standbyNormal / kPagesPerMegabyte;
    values[4] = values[3] + standbyReserve / kPagesPerMegabyte;
    values[5] = physical / kPagesPerMegabyte;
    for (int i = kReducedValueCount; i < kFullTraceCount; ++i) values[i] = values[kReducedValueCount - 1];
}

}  // namespace ram_chart
