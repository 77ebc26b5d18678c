// Which reports of a hidraw node belong to one top-level collection, and how a report read
// from the node is laid out for a caller that expects Windows' buffers. Several collections
// share a node and its reports; each open interface keeps only its own. Pure functions; any
// thread.
#pragma once

#include "platform/hid_descriptor.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform {

// The node's descriptor facts one open interface needs to sort reports.
struct HidReportRoute {
    HidTopLevelCollection collection;
    bool usesReportIds = false;
};

// Copies a report read from the node into `out` (capacity `outLength`) as Windows' ReadFile
// would deliver it: byte 0 the report id (0 when the descriptor has none: hidraw then leaves
// it out), the data after it, zeros up to the collection's input length, cut at `outLength`.
// Returns the length delivered, or nothing when the report is not this collection's.
std::optional<std::size_t> ShapeInputReport(const HidReportRoute& route, const std::uint8_t* raw,
                                            std::size_t rawLength, std::uint8_t* out,
                                            std::size_t outLength);

// True when a feature report with this id may be sent to or asked of this collection.
bool FeatureReportBelongs(const HidReportRoute& route, std::uint8_t reportId);

}  // namespace platform
