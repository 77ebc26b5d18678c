#include "platform/hid_sysfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace platform {
namespace {

// A report descriptor is at most 4096 bytes in the kernel; anything far beyond that is not
// a descriptor and is not read into memory.
constexpr qint64 MaxDescriptorBytes = 64 * 1024;
constexpr qint64 MaxTextBytes = 64 * 1024;
// Collections of one node that a path may name; a descriptor of 4096 bytes holds fewer.
constexpr std::size_t MaxCollectionIndex = 100000;

QString NodeDir(const QString& sysRoot, const QString& sysName) {
    return sysRoot + QStringLiteral("/class/hidraw/") + sysName;
}

std::optional<QByteArray> ReadSmallFile(const QString& path, qint64 limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // sysfs reports a nominal size; read until the end instead.
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::uint32_t> ParseHex(const QString& text) {
    if (text.isEmpty() || text.size() > 8) {
        return std::nullopt;
    }
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (!ok) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// HID_ID=BBBB:VVVVVVVV:PPPPPPPP (bus, vendor, product in hex).
void ReadHidId(const QByteArray& uevent, HidAttributes& attributes) {
    const QStringList lines = QString::fromUtf8(uevent).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String("HID_ID="))) {
            continue;
        }
        const QStringList parts = line.mid(7).trimmed().split(QLatin1Char(':'));
        if (parts.size() != 3) {
            return;
        }
        const auto vendor = ParseHex(parts[1]);
        const auto product = ParseHex(parts[2]);
        if (vendor && product) {
            attributes.vendorId = static_cast<std::uint16_t>(*vendor);
            attributes.productId = static_cast<std::uint16_t>(*product);
        }
        return;
    }
}

// The HID device sits below the USB interface, which sits below the USB device.
std::uint16_t ReadUsbVersion(const QString& sysRoot, const QString& sysName) {
    const QString hidDevice =
        QFileInfo(NodeDir(sysRoot, sysName) + QStringLiteral("/device")).canonicalFilePath();
    if (hidDevice.isEmpty()) {
        return 0;
    }
    QDir usbDevice(hidDevice);
    if (!usbDevice.cdUp() || !usbDevice.cdUp()) {
        return 0;
    }
    const auto text = ReadSmallFile(usbDevice.filePath(QStringLiteral("bcdDevice")), 64);
    if (!text) {
        return 0;
    }
    const auto value = ParseHex(QString::fromLatin1(*text).trimmed());
    return value ? static_cast<std::uint16_t>(*value) : 0;
}

}  // namespace

QString HidInterfacePath(const QString& devNode, std::size_t collection) {
    return devNode + QLatin1Char('#') + QString::number(collection);
}

std::optional<HidInterfaceAddress> ParseHidInterfacePath(const QString& path) {
    const qsizetype hash = path.lastIndexOf(QLatin1Char('#'));
    if (hash <= 0 || hash == path.size() - 1 || path.size() - hash - 1 > 6) {
        return std::nullopt;
    }
    std::size_t index = 0;
    for (qsizetype i = hash + 1; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        index = index * 10 + static_cast<std::size_t>(c.unicode() - u'0');
    }
    if (index > MaxCollectionIndex) {
        return std::nullopt;
    }
    // "#01" is not the name this module gives the second collection.
    if (path.size() - hash - 1 > 1 && path[hash + 1] == QLatin1Char('0')) {
        return std::nullopt;
    }
    return HidInterfaceAddress{path.left(hash), index};
}

int HidrawNumber(const QString& sysName) {
    static const QLatin1String Prefix("hidraw");
    if (!sysName.startsWith(Prefix) || sysName.size() == Prefix.size() ||
        sysName.size() > Prefix.size() + 6) {
        return -1;
    }
    int number = 0;
    for (qsizetype i = Prefix.size(); i < sysName.size(); ++i) {
        const QChar c = sysName[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return -1;
        }
        number = number * 10 + (c.unicode() - u'0');
    }
    return number;
}

std::optional<std::vector<std::uint8_t>> ReadSysfsReportDescriptor(const QString& sysRoot,
                                                                   const QString& sysName) {
    const auto bytes =
        ReadSmallFile(NodeDir(sysRoot, sysName) + QStringLiteral("/device/report_descriptor"),
                      MaxDescriptorBytes);
    if (!bytes) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

HidAttributes ReadSysfsAttributes(const QString& sysRoot, const QString& sysName) {
    HidAttributes attributes;
    if (const auto uevent = ReadSmallFile(
            NodeDir(sysRoot, sysName) + QStringLiteral("/device/uevent"), MaxTextBytes)) {
        ReadHidId(*uevent, attributes);
    }
    attributes.versionNumber = ReadUsbVersion(sysRoot, sysName);
    return attributes;
}

std::optional<HidrawNode> ReadHidrawNode(const QString& sysRoot, const QString& devRoot,
                                         const QString& sysName) {
    if (HidrawNumber(sysName) < 0) {
        return std::nullopt;
    }
    const auto descriptor = ReadSysfsReportDescriptor(sysRoot, sysName);
    if (!descriptor) {
        return std::nullopt;
    }
    HidrawNode node;
    node.sysName = sysName;
    node.devNode = devRoot + QLatin1Char('/') + sysName;
    node.attributes = ReadSysfsAttributes(sysRoot, sysName);
    node.descriptor = ParseReportDescriptor(descriptor->data(), descriptor->size());
    return node;
}

std::vector<HidrawNode> ListHidrawNodes(const QString& sysRoot, const QString& devRoot) {
    const QDir classDir(sysRoot + QStringLiteral("/class/hidraw"));
    QStringList names = classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString& name) { return HidrawNumber(name) < 0; }),
                names.end());
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return HidrawNumber(a) < HidrawNumber(b); });
    std::vector<HidrawNode> nodes;
    for (const QString& name : names) {
        if (auto node = ReadHidrawNode(sysRoot, devRoot, name)) {
            nodes.push_back(std::move(*node));
        }
    }
    return nodes;
}

HidCaps CapsOfCollection(const HidTopLevelCollection& collection) {
    HidCaps caps;
    caps.usagePage = collection.usagePage;
    caps.usage = collection.usage;
    caps.inputReportByteLength = collection.inputReportByteLength;
    caps.outputReportByteLength = collection.outputReportByteLength;
    caps.featureReportByteLength = collection.featureReportByteLength;
    return caps;
}

std::vector<HidInterfaceInfo> InterfacesOfNode(const HidrawNode& node) {
    std::vector<HidInterfaceInfo> interfaces;
    const auto& collections = node.descriptor.collections;
    for (std::size_t i = 0; i < collections.size(); ++i) {
        interfaces.push_back(HidInterfaceInfo{HidInterfacePath(node.devNode, i), node.attributes,
                                              CapsOfCollection(collections[i])});
    }
    return interfaces;
}

}  // namespace platform
