// A mouse whose device node this user may not open (no access rule): discovery names the node,
// so that the user is asked to install the rule instead of to plug the mouse in.
#include "device/discovery.h"
#include "platform/hidraw_backend.h"

#include "fake_sysfs.h"
#include "hid_sample_descriptors.h"
#include "support/ordinary_user.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>

namespace {

using platform::HidrawBackend;

TEST(HidrawAccess, OnlyRefusedNodesOfTheMouseAreNamedEachOnce) {
    FakeSysfs fake;
    const auto mouse = BuiltInDevIds[0];
    const auto secondMouse = BuiltInDevIds[1];
    fake.AddNode(QStringLiteral("hidraw0"), static_cast<std::uint16_t>(mouse.vendorId),
                 static_cast<std::uint16_t>(mouse.productId), hid_samples::GamingMouse());
    fake.AddNode(QStringLiteral("hidraw1"), 0x1A2B, 0x00C4, hid_samples::GamingMouse());
    fake.AddNode(QStringLiteral("hidraw2"), static_cast<std::uint16_t>(secondMouse.vendorId),
                 static_cast<std::uint16_t>(secondMouse.productId), hid_samples::GamingMouse());
    const QString refusedMouse = fake.DevRoot() + QStringLiteral("/hidraw0");
    const QString refusedOther = fake.DevRoot() + QStringLiteral("/hidraw1");
    const QString openable = fake.DevRoot() + QStringLiteral("/hidraw2");
    for (const QString& node : {refusedMouse, refusedOther}) {
        ASSERT_TRUE(QFile::setPermissions(node, {}));
    }

    testing_support::RunAsOrdinaryUser(
        [&] {
            HidrawBackend backend(fake.SysRoot(), fake.DevRoot());
            EXPECT_EQ(backend.AccessDeniedNode(refusedMouse + QStringLiteral("#2")).toStdString(),
                      refusedMouse.toStdString());
            // It opens (and then fails as no device node): not a matter of permission.
            EXPECT_TRUE(backend.AccessDeniedNode(openable + QStringLiteral("#2")).isEmpty());
            EXPECT_TRUE(backend.AccessDeniedNode(refusedMouse).isEmpty()) << "no interface path";

            platform::HidBackend* const previous = platform::SetHidBackend(&backend);
            FillDevIds();
            const QStringList nodes = AccessDeniedMouseNodes();
            platform::SetHidBackend(previous);
            EXPECT_EQ(nodes.join(QLatin1Char('|')).toStdString(), refusedMouse.toStdString())
                << "the mouse's three collections share one node; the other device is not ours";
        },
        {QFileInfo(fake.SysRoot()).absolutePath()});
}

}  // namespace
