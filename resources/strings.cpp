#include "resources/strings.h"

#include "resources/resource_ids.h"

namespace resources {

const std::vector<StringResource>& Strings() {
    static const std::vector<StringResource> strings = {
        {IDS_ABOUTBOX, L"&About Palisk..."},
        {IDS_FLUSH_ALL_WORKING_SETS, L"&Flush All Working Sets"},
        {IDS_FLUSH_TARGET_WS, L"Flush &Target WS"},
        {IDS_FLUSH_STANDBY_CACHES, L"Flush &Standby Caches"},
    };
    return strings;
}

}  // namespace resources
