// A sysfs and /dev of our own under a temporary directory, laid out as the kernel lays out
// hidraw nodes: class/hidraw/<node>/device links to the HID device directory, which sits
// below the USB interface and the USB device (bcdDevice).
#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <vector>

class FakeSysfs {
public:
    FakeSysfs() { EXPECT_TRUE(dir_.isValid()); }

    QString SysRoot() const { return dir_.path() + QStringLiteral("/sys"); }
    QString DevRoot() const { return dir_.path() + QStringLiteral("/dev"); }

    // Adds hidrawN with the given identity and descriptor; the /dev entry is a plain file.
    void AddNode(const QString& name, std::uint16_t vendor, std::uint16_t product,
                 const std::vector<std::uint8_t>& descriptor, const QString& bcdDevice = {}) {
        const QString usbDevice = SysRoot() + QStringLiteral("/devices/usb1/1-") + name;
        const QString hidDevice = usbDevice + QStringLiteral("/1-1:1.0/0003:") + Hex(vendor) +
                                  QLatin1Char(':') + Hex(product) + QStringLiteral(".0001");
        ASSERT_TRUE(QDir().mkpath(hidDevice));
        if (!bcdDevice.isEmpty()) {
            Write(usbDevice + QStringLiteral("/bcdDevice"), bcdDevice.toLatin1() + '\n');
        }
        Write(hidDevice + QStringLiteral("/uevent"),
              QByteArray("DRIVER=hid-generic\nHID_ID=0003:0000") + Hex(vendor).toLatin1() +
                  ":0000" + Hex(product).toLatin1() +
                  "\nHID_NAME=Test Mouse\nHID_PHYS=usb-0000:00:14.0-1/input0\n");
        Write(hidDevice + QStringLiteral("/report_descriptor"),
              QByteArray(reinterpret_cast<const char*>(descriptor.data()),
                         static_cast<qsizetype>(descriptor.size())));
        const QString classDir = SysRoot() + QStringLiteral("/class/hidraw/") + name;
        ASSERT_TRUE(QDir().mkpath(classDir));
        ASSERT_TRUE(QFile::link(hidDevice, classDir + QStringLiteral("/device")));
        ASSERT_TRUE(QDir().mkpath(DevRoot()));
        Write(DevRoot() + QLatin1Char('/') + name, {});
    }

    void RemoveNode(const QString& name) {
        QDir(SysRoot() + QStringLiteral("/class/hidraw/") + name).removeRecursively();
        QFile::remove(DevRoot() + QLatin1Char('/') + name);
    }

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(bytes);
    }

private:
    static QString Hex(std::uint16_t value) {
        return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
    }

    QTemporaryDir dir_;
};
