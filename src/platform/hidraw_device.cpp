// Entered by the user-interface thread (open) and by any thread that reads or sends reports.
#include "platform/hidraw_device.h"

#include "platform/hid_sysfs.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {
namespace {

// The length travels in the 14 size bits of the ioctl number; a longer buffer would spill
// into the direction bits and name another request.
constexpr std::size_t MaxFeatureLength = (1u << 14) - 1;
// The longest report the kernel passes on.
constexpr std::size_t MaxInputLength = 16384;

class HidrawDevice final : public HidDevice {
public:
    HidrawDevice(int fd, HidReportRoute route, HidAttributes attributes)
        : fd_(fd), route_(std::move(route)), attributes_(attributes) {}
    ~HidrawDevice() override { ::close(fd_); }

    HidrawDevice(const HidrawDevice&) = delete;
    HidrawDevice& operator=(const HidrawDevice&) = delete;

    bool SetFeature(const std::uint8_t* report, std::size_t length) override {
        if (!Sendable(report, length)) {
            return false;
        }
        // The request only reads the buffer.
        return Ioctl(HIDIOCSFEATURE(length), const_cast<std::uint8_t*>(report)) >= 0;
    }

    bool GetFeature(std::uint8_t* report, std::size_t length) override {
        if (!Sendable(report, length)) {
            return false;
        }
        const int got = Ioctl(HIDIOCGFEATURE(length), report);
        if (got < 0) {
            return false;
        }
        // Windows fills the whole buffer; a shorter answer leaves zeros, not stale bytes.
        if (static_cast<std::size_t>(got) < length) {
            std::memset(report + got, 0, length - static_cast<std::size_t>(got));
        }
        return true;
    }

    int ReadInput(std::uint8_t* buffer, std::size_t length, int timeoutMs) override {
        if (buffer == nullptr || length == 0) {
            return -1;
        }
        const std::size_t capped = std::min<std::size_t>(length, INT_MAX);
        std::lock_guard<std::mutex> lock(readMutex_);
        using Clock = std::chrono::steady_clock;
        const auto deadline =
            Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
        for (;;) {
            int wait = -1;
            if (timeoutMs >= 0) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
            }
            pollfd pfd{fd_, POLLIN, 0};
            const int ready = ::poll(&pfd, 1, wait);
            if (ready < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return -1;
            }
            if (ready == 0) {
                return 0;
            }
            if ((pfd.revents & POLLIN) == 0) {
                return -1;  // error or hang-up with nothing left to read
            }
            const ssize_t got = ::read(fd_, readBuffer_.data(), readBuffer_.size());
            if (got < 0) {
                if (errno == EINTR || errno == EAGAIN) {
                    continue;
                }
                return -1;  // EIO: unplugged and the queue is empty
            }
            if (got == 0) {
                return -1;
            }
            const auto shaped = ShapeInputReport(route_, readBuffer_.data(),
                                                 static_cast<std::size_t>(got), buffer, capped);
            if (shaped) {
                return static_cast<int>(*shaped);
            }
            // Another collection's report on the shared node: wait on for ours.
        }
    }

    HidAttributes Attributes() const override { return attributes_; }
    HidCaps Caps() const override { return CapsOfCollection(route_.collection); }

private:
    bool Sendable(const std::uint8_t* report, std::size_t length) const {
        return report != nullptr && length > 0 && length <= MaxFeatureLength &&
               FeatureReportBelongs(route_, report[0]);
    }

    int Ioctl(unsigned long request, void* argument) const {
        int result = 0;
        do {
            result = ::ioctl(fd_, request, argument);
        } while (result < 0 && errno == EINTR);
        return result;
    }

    const int fd_;
    const HidReportRoute route_;
    const HidAttributes attributes_;
    std::mutex readMutex_;
    std::vector<std::uint8_t> readBuffer_ = std::vector<std::uint8_t>(MaxInputLength);
};

// -1 with errno of the last attempt when no access mode is allowed.
int OpenNode(const QString& devNode) {
    const QByteArray name = QFile::encodeName(devNode);
    constexpr int Flags = O_CLOEXEC | O_NONBLOCK;
    // Read-write is what both collections need; with less permission open what is allowed
    // (a read-only handle still reads input reports, a write-only one still sends features).
    for (const int access : {O_RDWR, O_RDONLY, O_WRONLY}) {
        int fd = -1;
        do {
            fd = ::open(name.constData(), access | Flags);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EACCES && errno != EPERM && errno != EROFS) {
            return -1;
        }
    }
    return -1;
}

std::optional<std::vector<std::uint8_t>> DescriptorOfNode(int fd) {
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size < 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        return std::nullopt;
    }
    auto descriptor = std::make_unique<hidraw_report_descriptor>();
    descriptor->size = static_cast<std::uint32_t>(size);
    if (::ioctl(fd, HIDIOCGRDESC, descriptor.get()) < 0) {
        return std::nullopt;
    }
    const std::size_t length = std::min<std::size_t>(descriptor->size, HID_MAX_DESCRIPTOR_SIZE);
    return std::vector<std::uint8_t>(descriptor->value, descriptor->value + length);
}

}  // namespace

bool HidrawNodeAccessDenied(const QString& devNode) {
    const int fd = OpenNode(devNode);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return errno == EACCES || errno == EPERM;
}

std::shared_ptr<HidDevice> MakeHidrawDevice(int fd, HidReportRoute route,
                                            HidAttributes attributes) {
    return std::make_shared<HidrawDevice>(fd, std::move(route), attributes);
}

std::shared_ptr<HidDevice> OpenHidrawInterface(const QString& sysRoot, const QString& path) {
    const auto address = ParseHidInterfacePath(path);
    if (!address) {
        return nullptr;
    }
    // Only hidraw nodes: the requests below mean other things to other drivers.
    const QString sysName = QFileInfo(address->devNode).fileName();
    if (HidrawNumber(sysName) < 0) {
        return nullptr;
    }
    const int fd = OpenNode(address->devNode);
    if (fd < 0) {
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) < 0 || !S_ISCHR(status.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    // The node's own descriptor first: it is the device actually opened. sysfs holds the
    // same bytes where the request is refused.
    auto descriptor = DescriptorOfNode(fd);
    if (!descriptor) {
        descriptor = ReadSysfsReportDescriptor(sysRoot, sysName);
    }
    if (!descriptor) {
        ::close(fd);
        return nullptr;
    }
    HidDescriptorInfo info = ParseReportDescriptor(descriptor->data(), descriptor->size());
    if (address->collection >= info.collections.size()) {
        ::close(fd);
        return nullptr;
    }
    HidAttributes attributes = ReadSysfsAttributes(sysRoot, sysName);
    hidraw_devinfo raw{};
    if (::ioctl(fd, HIDIOCGRAWINFO, &raw) >= 0) {
        attributes.vendorId = static_cast<std::uint16_t>(raw.vendor);
        attributes.productId = static_cast<std::uint16_t>(raw.product);
    }
    HidReportRoute route{std::move(info.collections[address->collection]), info.usesReportIds};
    return MakeHidrawDevice(fd, std::move(route), attributes);
}

}  // namespace platform
