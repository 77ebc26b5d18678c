#include "platform/hid_descriptor.h"

#include <array>
#include <limits>
#include <memory>
#include <optional>

namespace platform {
namespace {

enum ItemType : std::uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3 };

// Tags with the type bits in place (prefix with the size bits cleared).
constexpr std::uint8_t TagInput = 0x80;
constexpr std::uint8_t TagOutput = 0x90;
constexpr std::uint8_t TagCollection = 0xA0;
constexpr std::uint8_t TagFeature = 0xB0;
constexpr std::uint8_t TagEndCollection = 0xC0;
constexpr std::uint8_t TagUsagePage = 0x04;
constexpr std::uint8_t TagReportSize = 0x74;
constexpr std::uint8_t TagReportId = 0x84;
constexpr std::uint8_t TagReportCount = 0x94;
constexpr std::uint8_t TagPush = 0xA4;
constexpr std::uint8_t TagPop = 0xB4;
constexpr std::uint8_t TagUsage = 0x08;
constexpr std::uint8_t TagUsageMinimum = 0x18;
constexpr std::uint8_t LongItemPrefix = 0xFE;

// Deeper Push nesting than any real device uses is taken as a malformed descriptor.
constexpr std::size_t MaxPushDepth = 16;

enum Kind : std::size_t { KindInput = 0, KindOutput = 1, KindFeature = 2, KindCount = 3 };

// The globals the lengths depend on; Push and Pop save and restore all of them together.
struct GlobalState {
    std::uint16_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

// Bits per (kind, report id) of the top-level collection being read.
class ReportTally {
public:
    void Add(Kind kind, std::uint8_t id, std::uint64_t bits) {
        present_[kind][id] = true;
        std::uint64_t& total = bits_[kind][id];
        total = bits > std::numeric_limits<std::uint64_t>::max() - total
                    ? std::numeric_limits<std::uint64_t>::max()
                    : total + bits;
    }

    void Reset() {
        for (auto& row : bits_) {
            row.fill(0);
        }
        for (auto& row : present_) {
            row.fill(false);
        }
    }

    // Windows' length: the longest report of the kind in bytes, plus the report id byte.
    void Finish(HidTopLevelCollection& out) const {
        Fill(KindInput, out.inputReportByteLength, out.inputReportIds);
        Fill(KindOutput, out.outputReportByteLength, out.outputReportIds);
        Fill(KindFeature, out.featureReportByteLength, out.featureReportIds);
    }

private:
    void Fill(Kind kind, std::uint16_t& length, std::vector<std::uint8_t>& ids) const {
        std::uint64_t longest = 0;
        for (std::size_t id = 0; id < 256; ++id) {
            // A report whose fields add up to no bits at all is never sent.
            if (!present_[kind][id] || bits_[kind][id] == 0) {
                continue;
            }
            ids.push_back(static_cast<std::uint8_t>(id));
            const std::uint64_t bits = bits_[kind][id];
            const std::uint64_t bytes = bits / 8 + (bits % 8 != 0 ? 1 : 0);
            if (bytes > longest) {
                longest = bytes;
            }
        }
        if (ids.empty()) {
            length = 0;
            return;
        }
        constexpr std::uint64_t MaxLength = std::numeric_limits<std::uint16_t>::max();
        length = static_cast<std::uint16_t>(longest >= MaxLength ? MaxLength : longest + 1);
    }

    std::array<std::array<std::uint64_t, 256>, KindCount> bits_{};
    std::array<std::array<bool, 256>, KindCount> present_{};
};

struct Item {
    std::uint8_t tag = 0;  // prefix with the size bits cleared
    ItemType type = Main;
    std::uint32_t data = 0;
    std::size_t dataSize = 0;
    std::size_t totalSize = 0;
    bool isLong = false;
};

// One item at `offset`, or nothing when it runs past the end.
std::optional<Item> ReadItem(const std::uint8_t* data, std::size_t size, std::size_t offset) {
    if (offset >= size) {
        return std::nullopt;
    }
    const std::uint8_t prefix = data[offset];
    const std::size_t left = size - offset - 1;
    Item item;
    if (prefix == LongItemPrefix) {
        // Long item: data size byte, tag byte, then the data; no defined long item exists,
        // so it is only skipped.
        if (left < 2 || left - 2 < data[offset + 1]) {
            return std::nullopt;
        }
        item.isLong = true;
        item.totalSize = 3 + static_cast<std::size_t>(data[offset + 1]);
        return item;
    }
    static constexpr std::size_t SizeOfCode[4] = {0, 1, 2, 4};
    item.dataSize = SizeOfCode[prefix & 0x03];
    if (left < item.dataSize) {
        return std::nullopt;
    }
    item.type = static_cast<ItemType>((prefix >> 2) & 0x03);
    item.tag = static_cast<std::uint8_t>(prefix & 0xFC);
    for (std::size_t i = 0; i < item.dataSize; ++i) {
        item.data |= static_cast<std::uint32_t>(data[offset + 1 + i]) << (8 * i);
    }
    item.totalSize = 1 + item.dataSize;
    return item;
}

class Parser {
public:
    HidDescriptorInfo Run(const std::uint8_t* data, std::size_t size) {
        std::size_t offset = 0;
        bool wellFormed = true;
        while (offset < size) {
            const std::optional<Item> item = ReadItem(data, size, offset);
            if (!item || !Apply(*item)) {
                wellFormed = false;
                break;
            }
            offset += item->totalSize;
        }
        const bool closed = depth_ == 0;
        if (!closed) {
            CloseTopLevel();
        }
        info_.complete = wellFormed && closed;
        return std::move(info_);
    }

private:
    // False when the item makes the descriptor malformed.
    bool Apply(const Item& item) {
        if (item.isLong) {
            return true;
        }
        switch (item.type) {
            case Main:
                return ApplyMain(item);
            case Global:
                return ApplyGlobal(item);
            case Local:
                ApplyLocal(item);
                return true;
            case Reserved:
                return true;
        }
        return true;
    }

    bool ApplyMain(const Item& item) {
        bool ok = true;
        switch (item.tag) {
            case TagCollection:
                if (depth_ == 0) {
                    OpenTopLevel();
                }
                ++depth_;
                break;
            case TagEndCollection:
                if (depth_ == 0) {
                    ok = false;
                    break;
                }
                if (--depth_ == 0) {
                    CloseTopLevel();
                }
                break;
            case TagInput:
                AddReportField(KindInput);
                break;
            case TagOutput:
                AddReportField(KindOutput);
                break;
            case TagFeature:
                AddReportField(KindFeature);
                break;
            default:
                break;  // reserved main tags carry nothing we count
        }
        ClearLocals();
        return ok;
    }

    bool ApplyGlobal(const Item& item) {
        switch (item.tag) {
            case TagUsagePage:
                global_.usagePage = static_cast<std::uint16_t>(item.data);
                return true;
            case TagReportSize:
                global_.reportSize = item.data;
                return true;
            case TagReportCount:
                global_.reportCount = item.data;
                return true;
            case TagReportId:
                // Id 0 is reserved for descriptors without ids; ids are one byte on the wire.
                if (item.data == 0 || item.data > 0xFF) {
                    return false;
                }
                global_.reportId = static_cast<std::uint8_t>(item.data);
                info_.usesReportIds = true;
                return true;
            case TagPush:
                if (stackSize_ == MaxPushDepth) {
                    return false;
                }
                stack_[stackSize_++] = global_;
                return true;
            case TagPop:
                if (stackSize_ == 0) {
                    return false;
                }
                global_ = stack_[--stackSize_];
                return true;
            default:
                return true;  // logical/physical extents, units: no effect on lengths
        }
    }

    void ApplyLocal(const Item& item) {
        // A collection takes the first usage given for it; a Usage Minimum stands for the
        // first usage of its range.
        if ((item.tag != TagUsage && item.tag != TagUsageMinimum) || hasUsage_) {
            return;
        }
        hasUsage_ = true;
        usage_ = static_cast<std::uint16_t>(item.data & 0xFFFF);
        if (item.dataSize == 4) {
            usagePageOfUsage_ = static_cast<std::uint16_t>(item.data >> 16);
        }
    }

    void ClearLocals() {
        hasUsage_ = false;
        usage_ = 0;
        usagePageOfUsage_.reset();
    }

    void OpenTopLevel() {
        current_ = HidTopLevelCollection{};
        current_.usagePage = usagePageOfUsage_ ? *usagePageOfUsage_ : global_.usagePage;
        current_.usage = usage_;
        tally_.Reset();
        open_ = true;
    }

    void CloseTopLevel() {
        if (!open_) {
            return;
        }
        tally_.Finish(current_);
        info_.collections.push_back(std::move(current_));
        open_ = false;
    }

    void AddReportField(Kind kind) {
        // A field outside every collection belongs to no interface Windows would list.
        if (!open_) {
            return;
        }
        const std::uint64_t bits =
            static_cast<std::uint64_t>(global_.reportSize) * global_.reportCount;
        tally_.Add(kind, global_.reportId, bits);
    }

    HidDescriptorInfo info_;
    GlobalState global_;
    std::array<GlobalState, MaxPushDepth> stack_{};
    std::size_t stackSize_ = 0;
    std::size_t depth_ = 0;
    bool hasUsage_ = false;
    std::uint16_t usage_ = 0;
    std::optional<std::uint16_t> usagePageOfUsage_;
    bool open_ = false;
    HidTopLevelCollection current_;
    ReportTally tally_;
};

}  // namespace

HidDescriptorInfo ParseReportDescriptor(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) {
        size = 0;
    }
    // The tallies are a few kilobytes: keep them off the caller's stack.
    auto parser = std::make_unique<Parser>();
    return parser->Run(data, size);
}

}  // namespace platform
