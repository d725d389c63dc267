// What the settings dialog says while it connects and why it stays open.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/app/connection.h"

namespace parvion {
namespace {

TEST(ConnectionProgress, NamesPortRateAndCause) {
    const std::map<std::uint16_t, std::string> library = {
        {kTextConnecting, "Connecting to %1 at %2 baud …"},
        {kTextNotConnected, "Not connected: %1"},
    };
    const views::TextLoader text = [&library](std::uint16_t n) {
        const auto it = library.find(n);
        return it == library.end() ? std::string() : it->second;
    };
    struct Case {
        const char* label;
        const char* path;
        int baud;
        const char* expected;
    };
    const Case cases[] = {
        {"Com 2", "/dev/ttyUSB0", 4, "Connecting to Com 2 (/dev/ttyUSB0) at 19200 baud …"},
        {"Com 1 /dev/ttyS0", "/dev/ttyS0", 7, "Connecting to Com 1 /dev/ttyS0 at 115200 baud …"},
        {"Com 3", "", 0, "Connecting to Com 3 at 1200 baud …"},
        {"", "/dev/pts/4", 3, "Connecting to /dev/pts/4 at 9600 baud …"},
        {"Com 1", "/dev/ttyS0", 8, "Connecting to Com 1 (/dev/ttyS0) at ? baud …"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(ConnectingText(text, c.label, c.path, c.baud), c.expected);
    }
    EXPECT_EQ(NotConnectedText(text, "No reply"), "Not connected: No reply");
    EXPECT_EQ(NotConnectedText(text, ""), "");
}

}  // namespace
}  // namespace parvion
