// udev's PROGRAM for hidraw nodes (see resources/udev/70-pesavo-scale.rules):
// exits 0 when the node at the sysfs path given is a point-of-sale scale, so the
// rule lets the user at the seat read it. A node that also speaks of a keyboard
// or mouse is refused, as is anything unreadable or oversized: reading a
// keyboard's node gives away every key typed, while a scale refused only needs
// root to be read.
#include "HidReportDescriptor.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// The point-of-sale scale usage page, as HidPosScale reads it (its header needs Qt).
constexpr std::uint32_t PosScaleUsagePage = 0x8D;
// The kernel keeps no longer descriptor (HID_MAX_DESCRIPTOR_SIZE).
constexpr std::streamsize MaxDescriptorBytes = 4096;

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: pesavo-pos-scale <sysfs path of a hidraw device>\n";
        return 2;
    }
    std::ifstream file(std::string(argv[1]) + "/device/report_descriptor", std::ios::binary);
    if (!file)
        return 1;
    // One byte more than the kernel keeps: what is past the limit is unread, so it is no scale.
    std::string bytes(MaxDescriptorBytes + 1, '\0');
    file.read(bytes.data(), MaxDescriptorBytes + 1);
    if (file.bad() || file.gcount() > MaxDescriptorBytes)
        return 1;
    bytes.resize(std::size_t(file.gcount()));
    const HidReportDescriptor descriptor = HidReportDescriptor::Parse(bytes);
    return descriptor.HasUsagePage(PosScaleUsagePage) && !descriptor.DeclaresKeyboardOrMouse() ? 0 : 1;
}
