// Performance counters: adding by path, collecting, reading, failing.

#include <pdh.h>
#include <pdhmsg.h>

#include "system/scripted_fixture.h"

namespace {

constexpr const wchar_t* kFreeZero = L"\\Memory\\Free & Zero Page List Bytes";
constexpr const wchar_t* kModified = L"\\Memory\\Modified Page List Bytes";

class CountersTest : public ScriptedMachineTest {
protected:
    void SetUp() override {
        ScriptedMachineTest::SetUp();
        ASSERT_EQ(PdhOpenQueryW(nullptr, 0, &query), ERROR_SUCCESS);
    }
    void TearDown() override {
        EXPECT_EQ(PdhCloseQuery(query), ERROR_SUCCESS);
        EXPECT_EQ(host::LiveSystemObjects().counters, 0u);
        EXPECT_EQ(host::LiveSystemObjects().counterQueries, 0u);
        ScriptedMachineTest::TearDown();
    }
    PDH_HQUERY query = nullptr;
};

TEST_F(CountersTest, AValueIsValidOnlyAfterACollection) {
    PDH_HCOUNTER counter = nullptr;
    ASSERT_EQ(PdhAddCounterW(query, kFreeZero, 0, &counter), ERROR_SUCCESS);
    PDH_FMT_COUNTERVALUE value{};
    EXPECT_EQ(PdhGetFormattedCounterValue(counter, PDH_FMT_LARGE, nullptr, &value),
              static_cast<PDH_STATUS>(PDH_INVALID_DATA));
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_INVALID_DATA);

    State().FindCounter(kFreeZero)->value = 123456789012LL;
    ASSERT_EQ(PdhCollectQueryData(query), ERROR_SUCCESS);
    // The value of the collection stays until the next one.
    State().FindCounter(kFreeZero)->value = 1;
    EXPECT_EQ(PdhGetFormattedCounterValue(counter, PDH_FMT_LARGE, nullptr, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.largeValue, 123456789012LL);
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_EQ(PdhGetFormattedCounterValue(counter, PDH_FMT_LONG, nullptr, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.longValue, INT32_MAX);  // clamped to fit
    EXPECT_EQ(PdhGetFormattedCounterValue(counter, PDH_FMT_LONG | PDH_FMT_LARGE, nullptr, &value),
              static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT));
}

TEST_F(CountersTest, AFailedAddReturnsItsStatusAndSetsItAsTheLastError) {
    PDH_HCOUNTER counter = nullptr;
    SetLastError(0);
    const PDH_STATUS status = PdhAddCounterW(query, L"\\Memory\\No Such Counter", 0, &counter);
    EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_CSTATUS_NO_COUNTER));
    EXPECT_EQ(GetLastError(), PDH_CSTATUS_NO_COUNTER);
    EXPECT_EQ(counter, nullptr);

    State().FindCounter(kModified)->addStatus = static_cast<PDH_STATUS>(PDH_CSTATUS_NO_OBJECT);
    EXPECT_EQ(PdhAddCounterW(query, kModified, 0, &counter), static_cast<PDH_STATUS>(PDH_CSTATUS_NO_OBJECT));
    EXPECT_EQ(PdhAddCounterW(nullptr, kFreeZero, 0, &counter), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
}

TEST_F(CountersTest, ACollectionFailsOnceThenSucceedsAndOneCounterMayFailToRead) {
    EXPECT_EQ(PdhCollectQueryData(query), static_cast<PDH_STATUS>(PDH_NO_DATA));  // nothing to collect yet
    PDH_HCOUNTER freeZero = nullptr, modified = nullptr;
    ASSERT_EQ(PdhAddCounterW(query, kFreeZero, 0, &freeZero), ERROR_SUCCESS);
    ASSERT_EQ(PdhAddCounterW(query, kModified, 0, &modified), ERROR_SUCCESS);
    State().upcomingCollects = {static_cast<PDH_STATUS>(PDH_NO_DATA)};
    State().FindCounter(kModified)->readStatus = static_cast<PDH_STATUS>(PDH_CSTATUS_INVALID_DATA);

    EXPECT_EQ(PdhCollectQueryData(query), static_cast<PDH_STATUS>(PDH_NO_DATA));
    EXPECT_EQ(PdhCollectQueryData(query), ERROR_SUCCESS);
    PDH_FMT_COUNTERVALUE value{};
    EXPECT_EQ(PdhGetFormattedCounterValue(freeZero, PDH_FMT_LARGE, nullptr, &value), ERROR_SUCCESS);
    EXPECT_EQ(PdhGetFormattedCounterValue(modified, PDH_FMT_LARGE, nullptr, &value),
              static_cast<PDH_STATUS>(PDH_INVALID_DATA));
}

TEST_F(CountersTest, ClosingAQueryInvalidatesItsCounters) {
    PDH_HQUERY other = nullptr;
    ASSERT_EQ(PdhOpenQueryW(nullptr, 0, &other), ERROR_SUCCESS);
    PDH_HCOUNTER counter = nullptr;
    ASSERT_EQ(PdhAddCounterW(other, kFreeZero, 0, &counter), ERROR_SUCCESS);
    EXPECT_EQ(PdhCloseQuery(other), ERROR_SUCCESS);
    PDH_FMT_COUNTERVALUE value{};
    EXPECT_EQ(PdhGetFormattedCounterValue(counter, PDH_FMT_LARGE, nullptr, &value),
              static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(PdhCloseQuery(other), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(PdhOpenQueryW(L"C:\\logs\\memory.blg", 0, &other), static_cast<PDH_STATUS>(PDH_NOT_IMPLEMENTED));
}

}  // namespace
