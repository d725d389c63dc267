#pragma once
// Which records of a parameter image hold what the connected device
// returned. A record is written to a device only as that device returned it
// plus the fields an edit names: a record the image does not hold from this
// connection is read first. The marks carry the number of the connection
// they were made in (Link::connection()), so every new opening of the port
// forgets them without anybody having to remember to.
//
// The marks describe where the contents came from, not what they are: two
// images with the same contents compare equal whatever their marks.

#include <array>
#include <cstddef>
#include <cstdint>

namespace parvion {

// The device's parameter blocks; the index says which instance (circuit,
// output, unit quantity or preset) and is 0 for the single ones.
enum class BlockKind : std::uint8_t {
    T_User,
    P_User,
    Flow_User,
    Des_User,
    Med_User,
    Bez_User,
    Imp_User,
    Alm_User,
    FlowKorr,
    Aus_User,
    UserEinheiten,
    Vorgaben,
    EG_User,
    Dis_User,
    Trend_User,
    Grenzwerte,
    System,
    Display,
    Betrieb,
};

struct BlockId {
    BlockKind kind = BlockKind::T_User;
    int index = 0;
    bool operator==(const BlockId&) const = default;
};

// Instances of each kind: two per circuit record, four outputs, sixteen
// unit quantities, eight presets, one of the rest.
constexpr int BlockCount(BlockKind kind) {
    switch (kind) {
        case BlockKind::Aus_User:
            return 4;
        case BlockKind::UserEinheiten:
            return 16;
        case BlockKind::Vorgaben:
            return 8;
        case BlockKind::EG_User:
        case BlockKind::Dis_User:
        case BlockKind::Trend_User:
        case BlockKind::Grenzwerte:
        case BlockKind::System:
        case BlockKind::Display:
        case BlockKind::Betrieb:
            return 1;
        default:
            return 2;
    }
}

inline constexpr int kBlockKinds = static_cast<int>(BlockKind::Betrieb) + 1;

// Position of a block in a table of all blocks; -1 for an index out of
// range.
constexpr int BlockSlot(BlockId id) {
    if (id.index < 0 || id.index >= BlockCount(id.kind)) return -1;
    int s = 0;
    for (int k = 0; k < static_cast<int>(id.kind); ++k) s += BlockCount(static_cast<BlockKind>(k));
    return s + id.index;
}
inline constexpr std::size_t kBlockSlots =
    static_cast<std::size_t>(BlockSlot({BlockKind::Betrieb, 0}) + BlockCount(BlockKind::Betrieb));

class DeviceMarks {
  public:
    // True when the block was read in this connection (0: no connection).
    bool holds(BlockId id, std::uint32_t connection) const {
        const int s = BlockSlot(id);
        return connection != 0 && s >= 0 && readIn_[static_cast<std::size_t>(s)] == connection;
    }
    // A successful read in the connection.
    void markRead(BlockId id, std::uint32_t connection) {
        const int s = BlockSlot(id);
        if (s >= 0) readIn_[static_cast<std::size_t>(s)] = connection;
    }
    // The image no longer holds what the device has (a write that failed
    // half way, contents from elsewhere).
    void forget(BlockId id) const {
        const int s = BlockSlot(id);
        if (s >= 0) readIn_[static_cast<std::size_t>(s)] = 0;
    }
    void forgetAll() { readIn_.fill(0); }

    // While a whole parameter set is written on the user's request (a new
    // set, a loaded file, the first transfer to a device), each record goes
    // out as the image holds it.
    bool wholeSet() const { return wholeSet_; }
    void setWholeSet(bool on) const { wholeSet_ = on; }

    bool operator==(const DeviceMarks&) const { return true; }

  private:
    // Marks are bookkeeping beside the contents: a write, which takes the
    // image as it is, forgets the mark of a record it could not write.
    mutable std::array<std::uint32_t, kBlockSlots> readIn_{};
    mutable bool wholeSet_ = false;
};

}  // namespace parvion
