// What the settings dialog says while it connects and why it stays open:
// the port's label with its path, the rate, and the cause of a failure.

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
        {"Com 1  /dev/ttyS0 \u2713", "/dev/ttyS0", 7,
         "Connecting to Com 1  /dev/ttyS0 \u2713 at 115200 baud …"},
        {"Com 3", "", 0, "Connecting to Com 3 at 1200 baud …"},
        {"", "/dev/pts/4", 3, "Connecting to /dev/pts/4 at 9600 baud …"},
        {"Com 1", "/dev/ttyS0", 8, "Connecting to Com 1 (/dev/ttyS0) at ? baud …"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(ConnectingText(text, c.label, c.path, c.baud), c.expected);
    }
    EXPECT_EQ(NotConnectedText(text, "No reply from the device"),
              "Not connected: No reply from the device");
    EXPECT_EQ(NotConnectedText(text, ""), "");
    // Without the library: the number and the values, nothing lost.
    EXPECT_EQ(ConnectingText({}, "Com 2", "/dev/ttyUSB0", 4), "#22948 Com 2 (/dev/ttyUSB0) 19200");
}

}  // namespace
}  // namespace parvion
