#include "core/app/leak_check.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace parvion {
namespace {

using test::readFileBytes;
using test::TempDir;

// Made-up block addresses: the registry only stores and compares them.
const void* block(std::uintptr_t n) {
    return reinterpret_cast<const void*>(0x10000 + n * 16);
}

TEST(LeakCheck, CountsLiveBlocksAndReportsTheFirstOnes) {
    TempDir dir;
    const auto log = dir / "2024-01-01-00-00-00_memCheck.log";
    leak_check::NoteAlloc(block(1), 10);  // before the start: not counted
    ASSERT_TRUE(leak_check::Start(log));
    EXPECT_FALSE(leak_check::Start(log));
    leak_check::NoteFree(block(1));  // allocated before the start: ignored

    // Enough blocks to make the table grow several times, released in a
    // shuffled order so that removal meets every kind of collision chain.
    constexpr std::uintptr_t kBlocks = 20000;
    for (std::uintptr_t i = 0; i < kBlocks; ++i) leak_check::NoteAlloc(block(i), i % 7 + 1);
    std::vector<std::uintptr_t> order;
    for (std::uintptr_t i = 0; i < kBlocks; ++i) {
        if (i % 100 != 5) order.push_back(i);  // keep i = 5, 105, 205, ...
    }
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    for (const auto i : order) leak_check::NoteFree(block(i));
    leak_check::NoteFree(block(kBlocks + 1));  // never allocated: ignored

    const leak_check::Summary s = leak_check::Current();
    EXPECT_EQ(s.allocations, kBlocks);
    EXPECT_EQ(s.releases, order.size());
    EXPECT_EQ(s.liveBlocks, kBlocks / 100);
    std::uint64_t bytes = 0;
    for (std::uintptr_t i = 5; i < kBlocks; i += 100) bytes += i % 7 + 1;
    EXPECT_EQ(s.liveBytes, bytes);

    std::string error;
    ASSERT_TRUE(leak_check::WriteReport(&error)) << error;
    EXPECT_FALSE(leak_check::Running());
    leak_check::NoteAlloc(block(1), 1);  // after the report: not counted

    std::istringstream in(readFileBytes(log));
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line)) lines.push_back(line);
    ASSERT_EQ(lines.size(), 6 + 100u);
    EXPECT_EQ(lines[1], "blocks allocated since start: 20000");
    EXPECT_EQ(lines[2], "blocks released: 19800");
    EXPECT_EQ(lines[3], "blocks not released: 200");
    EXPECT_EQ(lines[4], "bytes not released: " + std::to_string(bytes));
    EXPECT_EQ(lines[5], "first 100 blocks not released (sequence, size, address):");
    // Allocation order: block i was the (i + 1)-th allocation.
    std::ostringstream first;
    first << "6 " << (5 % 7 + 1) << " 0x" << std::hex << (0x10000 + 5 * 16);
    EXPECT_EQ(lines[6], first.str());
    std::ostringstream last;
    last << (9905 + 1) << " " << (9905 % 7 + 1) << " 0x" << std::hex << (0x10000 + 9905 * 16);
    EXPECT_EQ(lines.back(), last.str());
}

TEST(LeakCheck, ReportFailuresAreReported) {
    std::string error;
    EXPECT_FALSE(leak_check::WriteReport(&error));  // not running
    TempDir dir;
    ASSERT_TRUE(leak_check::Start(dir / "missing" / "x.log"));
    EXPECT_FALSE(leak_check::WriteReport(&error));
    EXPECT_NE(error.find("x.log"), std::string::npos);
    EXPECT_FALSE(leak_check::Running());
}

}  // namespace
}  // namespace parvion
