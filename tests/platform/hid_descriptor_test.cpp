#include "platform/hid_descriptor.h"

#include "hid_sample_descriptors.h"

#include <gtest/gtest.h>

namespace {

using platform::HidDescriptorInfo;
using platform::ParseReportDescriptor;
using Ids = std::vector<std::uint8_t>;
using hid_samples::Bytes;

HidDescriptorInfo Parse(const Bytes& bytes) {
    return ParseReportDescriptor(bytes.data(), bytes.size());
}

TEST(HidDescriptor, BootMouseIsOneCollectionWithThreeByteInputAndNoIds) {
    const HidDescriptorInfo info = Parse(hid_samples::BootMouse);
    ASSERT_EQ(info.collections.size(), 1u);
    const auto& mouse = info.collections[0];
    EXPECT_EQ(mouse.usagePage, 0x01);
    EXPECT_EQ(mouse.usage, 0x02);
    // Three data bytes (padding bits included) plus the id byte Windows always counts.
    EXPECT_EQ(mouse.inputReportByteLength, 4);
    EXPECT_EQ(mouse.outputReportByteLength, 0);
    EXPECT_EQ(mouse.featureReportByteLength, 0);
    EXPECT_EQ(mouse.inputReportIds, Ids{0});
    EXPECT_TRUE(mouse.featureReportIds.empty());
    EXPECT_FALSE(info.usesReportIds);
    EXPECT_TRUE(info.complete);
}

TEST(HidDescriptor, KeyboardReportIdsStayWithTheirCollections) {
    const HidDescriptorInfo info = Parse(hid_samples::KeyboardWithConsumer);
    ASSERT_EQ(info.collections.size(), 2u);
    EXPECT_TRUE(info.usesReportIds);
    const auto& keyboard = info.collections[0];
    EXPECT_EQ(keyboard.usagePage, 0x01);
    EXPECT_EQ(keyboard.usage, 0x06);
    EXPECT_EQ(keyboard.inputReportByteLength, 9);
    EXPECT_EQ(keyboard.outputReportByteLength, 2);
    EXPECT_EQ(keyboard.inputReportIds, Ids{1});
    EXPECT_EQ(keyboard.outputReportIds, Ids{1});
    const auto& consumer = info.collections[1];
    EXPECT_EQ(consumer.usagePage, 0x0C);
    EXPECT_EQ(consumer.usage, 0x01);
    EXPECT_EQ(consumer.inputReportByteLength, 3);
    EXPECT_EQ(consumer.outputReportByteLength, 0);
    EXPECT_EQ(consumer.inputReportIds, Ids{2});
}

TEST(HidDescriptor, GamingMouseShowsItsTwoVendorCollections) {
    const HidDescriptorInfo info = Parse(hid_samples::GamingMouse());
    ASSERT_EQ(info.collections.size(), 3u);
    EXPECT_TRUE(info.complete);

    const auto& mouse = info.collections[0];
    EXPECT_EQ(mouse.usagePage, 0x01);
    EXPECT_EQ(mouse.inputReportByteLength, 7);
    EXPECT_EQ(mouse.inputReportIds, Ids{1});

    const auto& input = info.collections[1];
    EXPECT_EQ(input.usagePage, 0xFF00);
    EXPECT_EQ(input.usage, 1);
    EXPECT_EQ(input.inputReportByteLength, 5);
    EXPECT_EQ(input.featureReportByteLength, 0);
    EXPECT_EQ(input.inputReportIds, Ids{6});

    const auto& feature = info.collections[2];
    EXPECT_EQ(feature.usagePage, 0xFF01);
    EXPECT_EQ(feature.usage, 1);
    EXPECT_EQ(feature.inputReportByteLength, 0);
    EXPECT_EQ(feature.outputReportByteLength, 0);
    EXPECT_EQ(feature.featureReportByteLength, 8);
    EXPECT_EQ(feature.featureReportIds, Ids{7});
    EXPECT_TRUE(feature.inputReportIds.empty());
}

TEST(HidDescriptor, LengthIsTheLongestReportOfTheKindAndPartialBytesRoundUp) {
    const Bytes bytes = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,        //
                         0x85, 0x02, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02,  // report 2: 3 bytes
                         0x85, 0x03, 0x75, 0x01, 0x95, 0x09, 0x81, 0x02,  // report 3: 9 bits ...
                         0x75, 0x08, 0x95, 0x04, 0x81, 0x02,              // ... + 4 bytes = 6 bytes
                         0x85, 0x04, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02,  // feature 4: 1 byte
                         0xC0};
    const HidDescriptorInfo info = Parse(bytes);
    ASSERT_EQ(info.collections.size(), 1u);
    EXPECT_EQ(info.collections[0].inputReportByteLength, 7);
    EXPECT_EQ(info.collections[0].inputReportIds, (Ids{2, 3}));
    EXPECT_EQ(info.collections[0].featureReportByteLength, 2);
    EXPECT_EQ(info.collections[0].featureReportIds, Ids{4});
}

TEST(HidDescriptor, PopRestoresReportIdSizeCountAndUsagePage) {
    const Bytes bytes = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,              //
                         0x85, 0x01, 0x75, 0x08, 0x95, 0x01,              // id 1, one byte
                         0xA4,                                            // push
                         0x85, 0x02, 0x95, 0x03, 0x05, 0x0C, 0x81, 0x02,  // report 2: three bytes
                         0xB4,                           // pop: id 1, one byte, page 1
                         0x81, 0x02, 0xB1, 0x02,         // report 1 input and feature
                         0xC0,                           //
                         0x09, 0x05, 0xA1, 0x01, 0xC0};  // takes the restored page
    const HidDescriptorInfo info = Parse(bytes);
    ASSERT_EQ(info.collections.size(), 2u);
    EXPECT_TRUE(info.complete);
    EXPECT_EQ(info.collections[0].inputReportIds, (Ids{1, 2}));
    EXPECT_EQ(info.collections[0].inputReportByteLength, 4);
    EXPECT_EQ(info.collections[0].featureReportIds, Ids{1});
    EXPECT_EQ(info.collections[0].featureReportByteLength, 2);
    EXPECT_EQ(info.collections[1].usagePage, 0x01);
    EXPECT_EQ(info.collections[1].usage, 0x05);
}

TEST(HidDescriptor, NestedCollectionsBelongToTheirTopLevelCollection) {
    const Bytes bytes = {0x05, 0x0D, 0x09, 0x04, 0xA1, 0x01,  // digitizer application
                         0x09, 0x22, 0xA1, 0x02,              // finger, logical
                         0x85, 0x01, 0x75, 0x08, 0x95, 0x02, 0x81,
                         0x02, 0x09, 0x30, 0xA1, 0x00,  // physical inside it
                         0x95, 0x03, 0x81, 0x02,        // two more... three more bytes of report 1
                         0xC0, 0xC0, 0xC0,              //
                         0x09, 0x0E, 0xA1, 0x00,  // a physical collection at depth 0 counts too
                         0x85, 0x02, 0x95, 0x01, 0xB1, 0x02, 0xC0};
    const HidDescriptorInfo info = Parse(bytes);
    ASSERT_EQ(info.collections.size(), 2u);
    EXPECT_EQ(info.collections[0].usagePage, 0x0D);
    EXPECT_EQ(info.collections[0].usage, 0x04);
    EXPECT_EQ(info.collections[0].inputReportByteLength, 6);
    EXPECT_EQ(info.collections[1].usage, 0x0E);
    EXPECT_EQ(info.collections[1].featureReportByteLength, 2);
    EXPECT_TRUE(info.complete);
}

TEST(HidDescriptor, FourByteUsageCarriesItsOwnPage) {
    const Bytes bytes = {0x05, 0x01, 0x0B, 0x01, 0x00, 0x00, 0xFF, 0xA1, 0x01,
                         0x85, 0x06, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02, 0xC0};
    const HidDescriptorInfo info = Parse(bytes);
    ASSERT_EQ(info.collections.size(), 1u);
    EXPECT_EQ(info.collections[0].usagePage, 0xFF00);
    EXPECT_EQ(info.collections[0].usage, 0x0001);
}

TEST(HidDescriptor, UsagesAreUsedUpByEveryMainItem) {
    // The usage before the Input item does not carry over to the next collection.
    const Bytes bytes = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x30, 0x75, 0x08, 0x95,
                         0x01, 0x81, 0x02, 0xC0, 0x09, 0x31, 0x81, 0x02, 0xA1, 0x01, 0xC0};
    const HidDescriptorInfo info = Parse(bytes);
    ASSERT_EQ(info.collections.size(), 2u);
    EXPECT_EQ(info.collections[1].usage, 0);
    // The Input between the two collections belongs to no interface.
    EXPECT_EQ(info.collections[1].inputReportByteLength, 0);
}

TEST(HidDescriptor, LongItemsAreSkippedWhole) {
    const Bytes bytes = {0x05, 0x01, 0x09, 0x02, 0xFE, 0x03, 0x10, 0xA1, 0x01,
                         0xC0,        // long item whose data looks
                         0xA1, 0x01,  // like a collection
                         0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xFE, 0x00, 0x20,  // empty long item
                         0xC0};
    const HidDescriptorInfo info = Parse(bytes);
    ASSERT_EQ(info.collections.size(), 1u);
    EXPECT_EQ(info.collections[0].usage, 0x02);
    EXPECT_EQ(info.collections[0].inputReportByteLength, 3);
    EXPECT_TRUE(info.complete);
}

TEST(HidDescriptor, TruncatedDescriptorKeepsWhatWasRead) {
    Bytes bytes = hid_samples::GamingMouse();
    // Cut inside the feature collection's Report Count item.
    bytes.resize(hid_samples::GamingMouseCollection.size() +
                 hid_samples::VendorInputCollection.size() + 17);
    const HidDescriptorInfo info = Parse(bytes);
    EXPECT_FALSE(info.complete);
    ASSERT_EQ(info.collections.size(), 3u);
    EXPECT_EQ(info.collections[1].inputReportByteLength, 5);
    EXPECT_EQ(info.collections[2].usagePage, 0xFF01);
    EXPECT_EQ(info.collections[2].featureReportByteLength, 0);

    const Bytes unclosed = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02};
    const HidDescriptorInfo open = Parse(unclosed);
    EXPECT_FALSE(open.complete);
    ASSERT_EQ(open.collections.size(), 1u);
    EXPECT_EQ(open.collections[0].inputReportByteLength, 3);

    const Bytes cutLongItem = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xFE, 0x09, 0x00, 0x01};
    EXPECT_FALSE(Parse(cutLongItem).complete);
}

TEST(HidDescriptor, MalformedItemsEndTheReading) {
    // End Collection with nothing open.
    const Bytes underflow = {0xC0, 0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0};
    EXPECT_FALSE(Parse(underflow).complete);
    EXPECT_TRUE(Parse(underflow).collections.empty());

    // Pop without Push; Report ID 0; a report id wider than a byte.
    for (const Bytes& bad :
         {Bytes{0xA1, 0x01, 0xB4, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0},
          Bytes{0xA1, 0x01, 0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0},
          Bytes{0xA1, 0x01, 0x86, 0x01, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0}}) {
        const HidDescriptorInfo info = Parse(bad);
        EXPECT_FALSE(info.complete);
        ASSERT_EQ(info.collections.size(), 1u);
        EXPECT_EQ(info.collections[0].inputReportByteLength, 0);
    }

    // Push nesting beyond any real device.
    Bytes deep = {0xA1, 0x01};
    deep.insert(deep.end(), 40, 0xA4);
    deep.push_back(0xC0);
    EXPECT_FALSE(Parse(deep).complete);
}

TEST(HidDescriptor, HugeFieldsSaturateTheLength) {
    const Bytes bytes = {0xA1, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF,
                         0xFF, 0xFF, 0x81, 0x02, 0x81, 0x02, 0x81, 0x02, 0xC0};
    const HidDescriptorInfo info = Parse(bytes);
    ASSERT_EQ(info.collections.size(), 1u);
    EXPECT_EQ(info.collections[0].inputReportByteLength, 0xFFFF);
}

TEST(HidDescriptor, EmptyOrMissingDescriptorHasNoCollections) {
    EXPECT_TRUE(ParseReportDescriptor(nullptr, 100).collections.empty());
    const Bytes none;
    EXPECT_TRUE(Parse(none).collections.empty());
    // Reserved item types and an unknown main tag are passed over.
    const Bytes reserved = {0x0C, 0x0D, 0x01, 0xA1, 0x01, 0xD1, 0x05, 0xC0};
    const HidDescriptorInfo info = Parse(reserved);
    EXPECT_TRUE(info.complete);
    EXPECT_EQ(info.collections.size(), 1u);
}

TEST(HidDescriptor, ReportsOfZeroBitsDoNotExist) {
    const Bytes bytes = {0xA1, 0x01, 0x85, 0x05, 0x75, 0x08, 0x95, 0x00, 0x81, 0x02, 0xC0};
    const HidDescriptorInfo info = Parse(bytes);
    ASSERT_EQ(info.collections.size(), 1u);
    EXPECT_EQ(info.collections[0].inputReportByteLength, 0);
    EXPECT_TRUE(info.collections[0].inputReportIds.empty());
}

}  // namespace
