#pragma once
// What the device commands tell an observer after each transaction that
// reads or writes a parameter record, the clock or a table: the device
// history (core/edit/history_recorder.h) learns from it what the device held
// before a write, what was sent and what was read back, without any command
// or page knowing about the history. The calls come after the transaction
// and only copy what they are given: no device traffic, no store, no wait.

#include <cstdint>
#include <span>

#include "core/model/device_marks.h"
#include "core/model/device_records.h"
#include "core/model/device_time.h"
#include "core/model/parameter_image.h"

namespace parvion {

class Link;

class RecordWatch {
  public:
    virtual ~RecordWatch() = default;
    // A parameter record the device returned (block bytes as received).
    virtual void recordRead(const Link& link, BlockId id, std::span<const std::uint8_t> block) = 0;
    // A parameter record sent (ok: the device took it; else the link's
    // lastFailure() says why).
    virtual void recordWritten(const Link& link, BlockId id, std::span<const std::uint8_t> block,
                               bool ok) = 0;
    // True when the watcher knows what the device holds in every parameter
    // record (read in this connection, or written and read back): a write
    // of a whole set then needs no read before it to know the old values.
    virtual bool knowsWholeSet(const Link& link) const {
        (void)link;
        return true;
    }
    // ReadAllParameters read every block into `image` without a failure.
    virtual void setRead(const Link& link, const ParameterImage& image) = 0;
    // The device clock was set to `written` ("01.05.2024 12:34:56"), or
    // read as `read`.
    virtual void clockWritten(const Link& link, const DeviceDateTime& written, bool ok) = 0;
    virtual void clockRead(const Link& link, const DeviceDateTime& read) = 0;
    // A property table (0 or 1) or the saturation table sent or read.
    virtual void propertyTableWritten(const Link& link, int table,
                                      const PropertyTableBuffer& buffer, bool ok) = 0;
    virtual void propertyTableRead(const Link& link, int table,
                                   const PropertyTableBuffer& buffer) = 0;
    virtual void saturationTableWritten(const Link& link, const SaturationTableBuffer& buffer,
                                        bool ok) = 0;
    virtual void saturationTableRead(const Link& link, const SaturationTableBuffer& buffer) = 0;
};

}  // namespace parvion
