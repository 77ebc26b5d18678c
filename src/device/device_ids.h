// The USB vendor/product identifier pairs the program accepts as its mouse. One table, read by
// discovery (copied into g_devIds at start-up), by the simulated mouse (which presents the first
// pair) and by the build-time generator of the udev rule that grants the user access to the
// mouse. Plain data without dependencies so the generator can include it on its own.
#pragma once

#include <cstdint>

struct DevId {
    std::uint32_t vendorId;
    std::uint32_t productId;
};

// Identifiers from the test range that an open, community-run USB identifier registry keeps
// under its vendor id 0x1209: they name no shipped product of any vendor.
inline constexpr DevId BuiltInDevIds[6] = {
    {0x1209, 0x0001}, {0x1209, 0x0002}, {0x1209, 0x0003},
    {0x1209, 0x0004}, {0x1209, 0x0005}, {0x1209, 0x0006},
};
