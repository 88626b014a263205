#pragma once
// Record fields a scenario may set by name ("AvailablePages": 737280), with
// their place and width in the record.

#include "scenario_values.h"

#include <cstddef>
#include <span>

namespace host::scenario {

struct FieldSpec {
    const char* name;
    std::size_t offset;
    std::size_t size;   // bytes of one element: 1, 2, 4 or 8
    std::size_t count;  // elements: 1, or the length of an array field
    bool isSigned;
};

// The settable fields of each record the scripted machine answers.
std::span<const FieldSpec> BasicFields();
std::span<const FieldSpec> PerformanceFields();
std::span<const FieldSpec> TimeOfDayFields();
std::span<const FieldSpec> FileCacheFields();
std::span<const FieldSpec> MemoryListFields();
std::span<const FieldSpec> VmCounterFields();
std::span<const FieldSpec> MemoryStatusFields();
std::span<const FieldSpec> SystemInfoFields();
std::span<const FieldSpec> VersionFields();

// Writes each member of the object `node` into `record` by the field of the
// same name; an unknown name, a value that does not fit, or an array too
// long is refused.
void ApplyRecord(const Node& node, void* record, std::span<const FieldSpec> fields);

}  // namespace host::scenario
