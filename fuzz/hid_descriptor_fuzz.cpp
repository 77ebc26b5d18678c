// Report descriptors come from whatever device is plugged in: the reader must survive any
// bytes, and what it returns must hold together whatever the bytes were.
#include "platform/hid_descriptor.h"
#include "platform/hid_report_route.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckIds(const std::vector<std::uint8_t>& ids, std::uint16_t length, bool usesIds) {
    Check(std::is_sorted(ids.begin(), ids.end()));
    Check(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    Check(ids.empty() == (length == 0));
    Check(length != 1);  // a report that exists has at least one byte besides the id
    if (!usesIds) {
        Check(ids.empty() || ids == std::vector<std::uint8_t>{0});
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::HidDescriptorInfo info = platform::ParseReportDescriptor(data, size);
    for (const platform::HidTopLevelCollection& collection : info.collections) {
        CheckIds(collection.inputReportIds, collection.inputReportByteLength, info.usesReportIds);
        CheckIds(collection.outputReportIds, collection.outputReportByteLength, info.usesReportIds);
        CheckIds(collection.featureReportIds, collection.featureReportByteLength,
                 info.usesReportIds);

        // The same bytes, read as a report arriving on the node, go through the router.
        const platform::HidReportRoute route{collection, info.usesReportIds};
        std::vector<std::uint8_t> out(1 + size % 64);
        const auto length = platform::ShapeInputReport(route, data, size, out.data(), out.size());
        if (length) {
            Check(*length <= out.size());
        }
    }
    return 0;
}
