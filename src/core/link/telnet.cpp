#include "core/link/telnet.h"

namespace parvion::telnet {

void AppendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data) {
    for (const std::uint8_t b : data) {
        out.push_back(b);
        if (b == IAC) out.push_back(IAC);
    }
}

void AppendCommand(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option) {
    out.insert(out.end(), {IAC, verb, option});
}

void AppendComPort(std::vector<std::uint8_t>& out, std::uint8_t code,
                   std::span<const std::uint8_t> value) {
    out.insert(out.end(), {IAC, SB, kComPort, code});
    AppendEscaped(out, value);
    out.insert(out.end(), {IAC, SE});
}

std::vector<std::uint8_t> BaudBytes(std::uint32_t baud) {
    return {static_cast<std::uint8_t>(baud >> 24), static_cast<std::uint8_t>(baud >> 16),
            static_cast<std::uint8_t>(baud >> 8), static_cast<std::uint8_t>(baud)};
}

std::uint32_t BaudOfBytes(std::span<const std::uint8_t> bytes) {
    std::uint32_t v = 0;
    for (const std::uint8_t b : bytes) v = (v << 8) | b;
    return v;
}

void Decoder::reset() {
    state_ = State::Data;
    afterCr_ = false;
    sub_.clear();
    fault_ = Fault::None;
    faultByte_ = 0;
}

bool Decoder::broken(Fault fault, std::uint8_t byte) {
    state_ = State::Broken;
    fault_ = fault;
    faultByte_ = byte;
    return false;
}

std::string Decoder::why() const {
    const std::string b = std::to_string(faultByte_);
    switch (fault_) {
        case Fault::None:
            return {};
        case Fault::IacBefore:
            return "IAC before byte " + b;
        case Fault::Unended:
            return "a subnegotiation without end";
        case Fault::BrokenBy:
            return "a subnegotiation broken by byte " + b;
    }
    return {};
}

bool Decoder::feed(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& data,
                   std::vector<Event>& events) {
    for (const std::uint8_t b : in) {
        switch (state_) {
            case State::Broken:
                return false;
            case State::Data:
                if (b == IAC) {
                    state_ = State::Iac;
                    break;
                }
                if (!binary_ && afterCr_ && b == 0) {
                    afterCr_ = false;
                    break;
                }
                afterCr_ = b == '\r';
                data.push_back(b);
                break;
            case State::Iac:
                if (b == IAC) {
                    data.push_back(IAC);
                    afterCr_ = false;
                    state_ = State::Data;
                } else if (b == WILL || b == WONT || b == DO || b == DONT || b == SB) {
                    verb_ = b;
                    state_ = State::Option;
                } else if (b > SE) {
                    state_ = State::Data;  // NOP, data mark, break, go ahead, ...: nothing to do
                } else {
                    return broken(Fault::IacBefore, b);
                }
                break;
            case State::Option:
                if (verb_ == SB) {
                    sub_.assign(1, b);
                    state_ = State::Sub;
                } else {
                    events.push_back({verb_, b, {}});
                    state_ = State::Data;
                }
                break;
            case State::Sub:
                if (b == IAC) {
                    state_ = State::SubIac;
                } else if (sub_.size() >= kMaxSubnegotiation) {
                    return broken(Fault::Unended);
                } else {
                    sub_.push_back(b);
                }
                break;
            case State::SubIac:
                if (b == IAC) {
                    if (sub_.size() >= kMaxSubnegotiation) {
                        return broken(Fault::Unended);
                    }
                    sub_.push_back(IAC);
                    state_ = State::Sub;
                } else if (b == SE) {
                    Event e{SB, sub_.front(), {}};
                    e.data.assign(sub_.begin() + 1, sub_.end());
                    events.push_back(std::move(e));
                    sub_.clear();
                    state_ = State::Data;
                } else {
                    return broken(Fault::BrokenBy, b);
                }
                break;
        }
    }
    return true;
}

}  // namespace parvion::telnet
