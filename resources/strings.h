#pragma once
// The program's string resources.

#include <windows.h>

#include <vector>

namespace resources {

struct StringResource {
    UINT id;
    LPCWSTR text;
};

const std::vector<StringResource>& Strings();

}  // namespace resources
