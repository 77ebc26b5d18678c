#include "platform/hid_report_route.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

bool Contains(const std::vector<std::uint8_t>& ids, std::uint8_t id) {
    return std::binary_search(ids.begin(), ids.end(), id);
}

}  // namespace

std::optional<std::size_t> ShapeInputReport(const HidReportRoute& route, const std::uint8_t* raw,
                                            std::size_t rawLength, std::uint8_t* out,
                                            std::size_t outLength) {
    if (raw == nullptr || out == nullptr || outLength == 0) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t>& ids = route.collection.inputReportIds;
    std::size_t delivered = 0;
    if (route.usesReportIds) {
        if (rawLength == 0 || !Contains(ids, raw[0])) {
            return std::nullopt;
        }
        delivered = std::min(rawLength, outLength);
        std::memcpy(out, raw, delivered);
    } else {
        if (!Contains(ids, 0)) {
            return std::nullopt;
        }
        out[0] = 0;
        const std::size_t data = std::min(rawLength, outLength - 1);
        if (data > 0) {
            std::memcpy(out + 1, raw, data);
        }
        delivered = data + 1;
    }
    // Windows always hands over the collection's full input length; a device that sends a
    // shorter report gets it padded with zeros.
    const std::size_t full =
        std::min<std::size_t>(route.collection.inputReportByteLength, outLength);
    if (delivered < full) {
        std::memset(out + delivered, 0, full - delivered);
        delivered = full;
    }
    return delivered;
}

bool FeatureReportBelongs(const HidReportRoute& route, std::uint8_t reportId) {
    if (!route.usesReportIds && reportId != 0) {
        return false;
    }
    return Contains(route.collection.featureReportIds, reportId);
}

}  // namespace platform
