#include <cstring>
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/SimUnit.h"

namespace kelmor {
namespace {

using test::Ask;
using test::Request;

const TIgnParams& ReplyParams(const std::vector<uint8_t>& reply) {
    return *reinterpret_cast<const TIgnParams*>(reply.data() + 1);
}
const TIdentPage& ReplyIdent(const std::vector<uint8_t>& reply) {
    return *reinterpret_cast<const TIdentPage*>(reply.data() + 1);
}
TMonitorData Monitor(const std::vector<uint8_t>& reply) {
    TMonitorData m;
    std::memcpy(m.Bytes, reply.data(), sizeof m.Bytes);
    return m;
}

TEST(SimUnitReplies, EveryGoodRequestGetsOneFrameWithBit7SetAndASenderChecksum) {
    for (uint8_t cmd : {uint8_t{0x30}, uint8_t{0x00}, uint8_t{0x01}, uint8_t{0x40}, uint8_t{0x41},
                        uint8_t{0x42}, uint8_t{0x05}}) {
        SCOPED_TRACE(int{cmd});
        SimUnit unit;
        const std::vector<uint8_t> reply = Ask(unit, cmd);
        ASSERT_EQ(reply.size(), FRAME_SIZE);
        EXPECT_EQ(reply[0], cmd | 0x80);
        EXPECT_TRUE(FrameChecksumOk(reply.data()));
        EXPECT_EQ(reply[51], FrameChecksum(reply.data()));
    }
}

TEST(SimUnitReplies, BadChecksumsAndReplyFramesAreNotAnswered) {
    SimUnit unit;
    std::vector<uint8_t> bad = Request(0x30);
    bad[51] ^= 0x01;
    unit.Receive(bad.data(), bad.size());
    const std::vector<uint8_t> echo = Request(0xB0);
    unit.Receive(echo.data(), echo.size());
    std::vector<uint8_t> out;
    unit.Poll(out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(unit.Stats().BadFrames, 1u);
    EXPECT_EQ(unit.Stats().Ignored, 1u);
    // The unit stays in step: the next good request is answered.
    EXPECT_EQ(Ask(unit, 0x30).size(), FRAME_SIZE);
}

TEST(SimUnitReplies, FramesAreCutFromTheByteStreamWhateverTheWritePieces) {
    SimUnit unit;
    std::vector<uint8_t> two = Request(0x40);
    const std::vector<uint8_t> second = Request(0x30);
    two.insert(two.end(), second.begin(), second.end());
    unit.Receive(two.data(), 30);
    unit.Receive(two.data() + 30, two.size() - 30);
    std::vector<uint8_t> out;
    unit.Poll(out);
    ASSERT_EQ(out.size(), 2 * FRAME_SIZE);
    EXPECT_EQ(out[0], 0xC0);
    EXPECT_EQ(out[FRAME_SIZE], 0xB0);

    // A half frame forgotten (line quiet or reopened) does not shift the next one.
    unit.Receive(two.data(), 20);
    unit.ResetFraming();
    EXPECT_EQ(Ask(unit, 0x41)[0], 0xC1);
}

TEST(SimUnitPages, ReadsReportTheIdentificationAndTheStoredSet) {
    SimUnit unit;
    unit.SetDate(5, "Jan", 2007, 9, 5);
    unit.SetIdText("ROAD 125");
    const std::vector<uint8_t> p0 = Ask(unit, 0x40);
    const TIdentPage& id = ReplyIdent(p0);
    EXPECT_EQ(id.ProgDay, 5);
    EXPECT_EQ(id.ProgMonthCode, 25);
    EXPECT_EQ(id.ProgYear, 7);
    EXPECT_EQ(id.ReadAllowed, 1);
    EXPECT_EQ(id.IgnVersion, PC_VERSION);
    EXPECT_STREQ(reinterpret_cast<const char*>(id.IdText), "ROAD 125");

    const std::vector<uint8_t> p1 = Ask(unit, 0x41);
    EXPECT_EQ(std::memcmp(p1.data() + 1, &unit.Params(), PAGE_SIZE), 0);
    // The starting set is already normalised and carries reserved bytes.
    TIgnParams normalised = unit.Params();
    Normalise(normalised);
    EXPECT_EQ(std::memcmp(&normalised, &unit.Params(), PAGE_SIZE), 0);
    const TIgnParams& p = ReplyParams(p1);
    EXPECT_NE(p.Reserved7, 0);
    EXPECT_NE(p.Reserved8, 0);
    EXPECT_NE(p.Reserved19, 0);
}

TEST(SimUnitPages, Page0WriteIsAnsweredWithTheUnitsOwnPage) {
    SimUnit unit;
    const TIdentPage before = unit.Ident();
    uint8_t junk[PAGE_SIZE];
    std::memset(junk, 0x55, sizeof junk);
    const std::vector<uint8_t> reply = Ask(unit, 0x00, junk);
    EXPECT_EQ(reply[0], 0x80);
    EXPECT_EQ(std::memcmp(reply.data() + 1, &before, PAGE_SIZE), 0);
    EXPECT_EQ(std::memcmp(&unit.Ident(), &before, PAGE_SIZE), 0);
    EXPECT_EQ(unit.ProgrammingCount(), 12);
}

TEST(SimUnitPages, Page1WriteStoresCountsAndStartsSaving) {
    SimUnit unit;
    unit.SetProgrammingCount(41);
    TIgnParams set = unit.Params();
    set.BaseAdv = 14;
    set.Reserved8 = 99;
    const std::vector<uint8_t> reply = Ask(unit, 0x01, reinterpret_cast<const uint8_t*>(&set));
    EXPECT_EQ(reply[0], 0x81);
    EXPECT_EQ(std::memcmp(reply.data() + 1, &set, PAGE_SIZE), 0);
    EXPECT_EQ(std::memcmp(&unit.Params(), &set, PAGE_SIZE), 0);
    EXPECT_EQ(unit.ProgrammingCount(), 42);

    // The countdown shows in the monitor frames and falls to 0.
    std::vector<uint16_t> seen;
    for (int i = 0; i < 7; ++i) {
        const TMonitorData m = Monitor(Ask(unit, 0x30));
        EXPECT_EQ(m.PocetProgramovani(), 42);
        seen.push_back(m.SavingCountdown());
    }
    EXPECT_EQ(seen, (std::vector<uint16_t>{50, 40, 30, 20, 10, 0, 0}));

    // Page 1 reads after the write give what was written.
    EXPECT_EQ(std::memcmp(Ask(unit, 0x41).data() + 1, &set, PAGE_SIZE), 0);
}

TEST(SimUnitPages, ReadProtectionIsReportedInPage0) {
    struct Case {
        const char* Name;
        bool Option;
        uint8_t ZakazCteni;
        uint8_t Expected;
    };
    for (const Case& c : {Case{"open", false, 0, 1}, Case{"option", true, 0, 0},
                          Case{"stored flag", false, 1, 0}}) {
        SCOPED_TRACE(c.Name);
        SimUnit unit;
        unit.Options().ReadProtected = c.Option;
        TIgnParams set = unit.Params();
        set.ZakazCteni = c.ZakazCteni;
        Ask(unit, 0x01, reinterpret_cast<const uint8_t*>(&set));
        EXPECT_EQ(ReplyIdent(Ask(unit, 0x40)).ReadAllowed, c.Expected);
        EXPECT_EQ(ReplyIdent(Ask(unit, 0x00)).ReadAllowed, c.Expected);
    }
}

TEST(SimUnitFaults, DeadOrDroppingUnitsSendNothing) {
    for (bool dead : {true, false}) {
        SimUnit unit;
        SimFaults f;
        f.Dead = dead;
        f.DropRate = dead ? 0.0 : 1.0;
        unit.Options().Faults = f;
        EXPECT_TRUE(Ask(unit, 0x30).empty());
        EXPECT_EQ(unit.Stats().RepliesLost, 1u);
    }
}

TEST(SimUnitFaults, CorruptedChecksumKeepsTheCommand) {
    SimUnit unit;
    SimFaults f;
    f.CorruptRate = 1.0;
    unit.Options().Faults = f;
    const std::vector<uint8_t> reply = Ask(unit, 0x41);
    ASSERT_EQ(reply.size(), FRAME_SIZE);
    EXPECT_EQ(reply[0], 0xC1);
    EXPECT_FALSE(FrameChecksumOk(reply.data()));
    EXPECT_EQ(std::memcmp(reply.data() + 1, &unit.Params(), PAGE_SIZE), 0);
}

TEST(SimUnitFaults, DelayedRepliesComeOutAfterTheGivenPolls) {
    SimUnit unit;
    SimFaults f;
    f.DelayPolls = 2;
    unit.Options().Faults = f;
    const std::vector<uint8_t> req = Request(0x30);
    unit.Receive(req.data(), req.size());
    std::vector<uint8_t> out;
    unit.Poll(out);
    unit.Poll(out);
    EXPECT_TRUE(out.empty());
    unit.Poll(out);
    ASSERT_EQ(out.size(), FRAME_SIZE);
    EXPECT_EQ(out[0], 0xB0);
}

TEST(SimUnitFaults, DifferingPage1RepliesDifferOnlyInTheGivenByte) {
    SimUnit unit;
    SimFaults f;
    f.WriteReplyDiffer = 7;
    f.ReadReplyDiffer = 15;
    unit.Options().Faults = f;
    const TIgnParams stored = unit.Params();
    auto diffs = [&](const std::vector<uint8_t>& reply) {
        std::vector<int> at;
        for (size_t k = 0; k < PAGE_SIZE; ++k)
            if (reply[1 + k] != reinterpret_cast<const uint8_t*>(&stored)[k])
                at.push_back(static_cast<int>(k));
        return at;
    };
    const std::vector<uint8_t> write = Ask(unit, 0x01, reinterpret_cast<const uint8_t*>(&stored));
    EXPECT_TRUE(FrameChecksumOk(write.data()));
    EXPECT_EQ(diffs(write), std::vector<int>{7});
    // What the unit stored is what it was sent; only the reply lies.
    EXPECT_EQ(std::memcmp(&unit.Params(), &stored, PAGE_SIZE), 0);
    EXPECT_EQ(diffs(Ask(unit, 0x41)), std::vector<int>{15});
    EXPECT_EQ(std::memcmp(Ask(unit, 0x40).data() + 1, &unit.Ident(), PAGE_SIZE), 0);
}

TEST(SimUnitFaults, AnotherProgramVersionShowsInPage0AndMonitor) {
    SimUnit unit;
    unit.SetVersion(66);
    EXPECT_EQ(Ask(unit, 0x40)[1 + 10], 66);
    EXPECT_EQ(Ask(unit, 0x00)[1 + 10], 66);
    EXPECT_EQ(Monitor(Ask(unit, 0x30)).IgnVersion(), 66);
}

TEST(SimUnitFaults, NoisyLineFaultsReshapeTheReplyStream) {
    SimUnit clean;
    const std::vector<uint8_t> expected = Ask(clean, 0x41);

    {
        SCOPED_TRACE("split");
        SimUnit unit;
        SimFaults f;
        f.SplitRate = 1.0;
        unit.Options().Faults = f;
        std::vector<uint8_t> first = Ask(unit, 0x41), rest;
        EXPECT_GT(first.size(), 0u);
        EXPECT_LT(first.size(), FRAME_SIZE);
        unit.Poll(rest);
        first.insert(first.end(), rest.begin(), rest.end());
        EXPECT_EQ(first, expected);
    }
    {
        SCOPED_TRACE("duplicate");
        SimUnit unit;
        SimFaults f;
        f.DuplicateRate = 1.0;
        unit.Options().Faults = f;
        std::vector<uint8_t> twice = expected;
        twice.insert(twice.end(), expected.begin(), expected.end());
        EXPECT_EQ(Ask(unit, 0x41), twice);
    }
    {
        SCOPED_TRACE("stray");
        SimUnit unit;
        SimFaults f;
        f.StrayRate = 1.0;
        unit.Options().Faults = f;
        const std::vector<uint8_t> got = Ask(unit, 0x41);
        ASSERT_GE(got.size(), FRAME_SIZE + 1);
        ASSERT_LE(got.size(), FRAME_SIZE + 3);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got.end() - FRAME_SIZE));
    }
    {
        SCOPED_TRACE("garble");
        SimUnit unit;
        SimFaults f;
        f.GarbleRate = 1.0;
        f.Seed = 3;
        unit.Options().Faults = f;
        const std::vector<uint8_t> got = Ask(unit, 0x41);
        ASSERT_EQ(got.size(), FRAME_SIZE);
        EXPECT_NE(got, expected);
    }
}

TEST(SimUnitFaults, RatesAreDrawnFromTheSeed) {
    auto run = [](uint64_t seed) {
        SimUnit unit;
        SimFaults f;
        f.Seed = seed;
        f.DropRate = 0.5;
        f.SplitRate = 0.2;
        f.StrayRate = 0.2;
        unit.Options().Faults = f;
        std::vector<uint8_t> all;
        for (int i = 0; i < 200; ++i) {
            const std::vector<uint8_t> r = Ask(unit, 0x40);
            all.insert(all.end(), r.begin(), r.end());
        }
        return std::make_pair(all, unit.Stats().RepliesLost);
    };
    const auto a = run(11), b = run(11), c = run(12);
    EXPECT_EQ(a, b);
    EXPECT_NE(a.first, c.first);
    EXPECT_GT(a.second, 60u);
    EXPECT_LT(a.second, 140u);
}

} // namespace
} // namespace kelmor
