// Writes the udev rule that lets the user at the seat open the mouse's hidraw nodes, one line
// per accepted identifier pair, so the rule always follows the program's own table.
// Usage: udev_rule <output file>

#include "device/device_ids.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fputs(
        "# Read-write access to the mouse's HID nodes for the user at the seat, so that the\n"
        "# configuration program can write the mouse's settings without root.\n"
        "# Install to /etc/udev/rules.d, then: sudo udevadm control --reload &&\n"
        "# sudo udevadm trigger --action=add --subsystem-match=hidraw (or replug the mouse).\n",
        out);
    for (const DevId& id : BuiltInDevIds) {
        std::fprintf(out,
                     "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\", "
                     "TAG+=\"uaccess\"\n",
                     static_cast<unsigned>(id.vendorId & 0xFFFF),
                     static_cast<unsigned>(id.productId & 0xFFFF));
    }
    const bool ok = std::fflush(out) == 0;
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
