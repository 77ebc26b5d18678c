// Reads a HID report descriptor the way Windows sees it: one entry per top-level collection
// with its usage page, usage, the report byte lengths of each kind (longest report + 1 for the
// report id byte) and the report ids that belong to it. The bytes come from a device and are
// hostile: every read is bounds-checked. Pure functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct HidTopLevelCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    // 0 when the collection has no report of the kind.
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
    // Ascending and unique; {0} for a descriptor without Report ID items.
    std::vector<std::uint8_t> inputReportIds;
    std::vector<std::uint8_t> outputReportIds;
    std::vector<std::uint8_t> featureReportIds;
};

struct HidDescriptorInfo {
    // In the order their Collection items stand in the descriptor.
    std::vector<HidTopLevelCollection> collections;
    // The descriptor has Report ID items: every report starts with its id byte.
    bool usesReportIds = false;
    // Every byte was read as a well-formed item and every collection was closed. A malformed
    // item ends the reading; what was read before it is kept.
    bool complete = false;
};

HidDescriptorInfo ParseReportDescriptor(const std::uint8_t* data, std::size_t size);

}  // namespace platform
