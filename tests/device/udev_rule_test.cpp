#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

namespace {

// The rule shipped beside the program grants access to exactly the identifiers the program
// searches for, in the form udev matches (lower-case hex of the USB parent's attributes).
TEST(UdevRule, ListsEveryAcceptedPairForTheSeatUser) {
    QFile file(QStringLiteral(ZELBO_SHIPPED_DIR "/70-zelbo-mouse.rules"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the build writes it into the program folder";
    QStringList rules;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            rules << line;
        }
    }
    EXPECT_EQ(
        rules,
        (QStringList{
            R"(KERNEL=="hidraw*", ATTRS{idVendor}=="1209", ATTRS{idProduct}=="0001", TAG+="uaccess")",
            R"(KERNEL=="hidraw*", ATTRS{idVendor}=="1209", ATTRS{idProduct}=="0002", TAG+="uaccess")",
            R"(KERNEL=="hidraw*", ATTRS{idVendor}=="1209", ATTRS{idProduct}=="0003", TAG+="uaccess")",
            R"(KERNEL=="hidraw*", ATTRS{idVendor}=="1209", ATTRS{idProduct}=="0004", TAG+="uaccess")",
            R"(KERNEL=="hidraw*", ATTRS{idVendor}=="1209", ATTRS{idProduct}=="0005", TAG+="uaccess")",
            R"(KERNEL=="hidraw*", ATTRS{idVendor}=="1209", ATTRS{idProduct}=="0006", TAG+="uaccess")",
        }));
}

}  // namespace
