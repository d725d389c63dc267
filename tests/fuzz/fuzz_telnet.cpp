// What a serial device server sends a network line: the Telnet decoder gets
// the input in pieces (the first byte sets the piece size, as reads split
// a stream) with and without binary mode, and must come to the same data and
// events however the stream is split. The port-name parser gets the input as
// a name.

#include <cstdlib>
#include <string>
#include <vector>

#include "core/link/net_port.h"
#include "core/link/telnet.h"
#include "fuzz_support.h"

using namespace parvion;

namespace {

struct Decoded {
    std::vector<std::uint8_t> data;
    std::vector<telnet::Event> events;
    bool ok = true;
};

Decoded Decode(std::span<const std::uint8_t> in, std::size_t piece, bool binary) {
    telnet::Decoder d;
    d.setBinary(binary);
    Decoded out;
    for (std::size_t at = 0; at < in.size() && out.ok; at += piece) {
        out.ok = d.feed(in.subspan(at, std::min(piece, in.size() - at)), out.data, out.events);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> in(data + 1, size - 1);
    const std::size_t piece = 1 + data[0] % 16;
    for (const bool binary : {true, false}) {
        const Decoded whole = Decode(in, in.size() + 1, binary);
        const Decoded split = Decode(in, piece, binary);
        if (whole.ok != split.ok || (whole.ok && whole.data != split.data)) std::abort();
        if (whole.ok && whole.events.size() != split.events.size()) std::abort();
        for (const auto& e : whole.events) {
            if (e.data.size() > telnet::kMaxSubnegotiation) std::abort();
        }
    }
    const std::string name(reinterpret_cast<const char*>(data), size);
    if (const auto net = ParseNetworkPort(name)) {
        if (net->port == 0 || net->host.empty()) std::abort();
        if (ParseNetworkPort(NetworkPortName(*net)) != net) std::abort();
    }
    return 0;
}
