// The window's transfers driven without a window: every way a transfer can
// end is told apart in the window's record of it, and none runs past its
// tick budget.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sstream>

#include "cli/HeadlessSession.h"
#include "support/SimScenario.h"

namespace kelmor::test {
namespace {

using cli::HeadlessSession;
using cli::SaveResult;
using End = TTransferEnd;

struct EndCase {
    const char* Name;
    void (TFormHlav::*Start)();
    std::function<void(SimUnit&)> Setup;
    End Result;
    uint8_t Mode;         // the mode it ended in
    const char* LastLine; // the last line on standard error
    unsigned Ticks;       // ticks from the start to the end
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.Name;
}

class SessionFixture : public ::testing::Test, public SimScenario {
  protected:
    std::ostringstream Err;
    cli::VirtualTickClock Clock;
    HeadlessSession Session{Err, [this] { return Port(); }, Clock};
};

class TransferEnds : public SessionFixture, public ::testing::WithParamInterface<EndCase> {};

std::string LastLine(const std::string& text) {
    const size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos) return "";
    const size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

TEST_P(TransferEnds, WithinItsTickBudget) {
    const EndCase& c = GetParam();
    c.Setup(*Unit);
    ASSERT_TRUE(Session.Start());
    const uint32_t ends = Session.Form().LastTransfer.Count;
    EXPECT_TRUE(Session.RunTransfer(c.Start));
    const TTransferRecord& r = Session.Form().LastTransfer;
    EXPECT_EQ(r.End, c.Result);
    EXPECT_EQ(r.Mode, c.Mode);
    EXPECT_EQ(r.Count, ends + 1);
    EXPECT_EQ(LastLine(Err.str()), c.LastLine) << Err.str();
    // The status line is the record's text.
    std::string text;
    TransferEndText(r, Session.Form().Messages, text);
    EXPECT_EQ(text, c.LastLine);
    EXPECT_EQ(Session.Ticks(), c.Ticks);
    EXPECT_LE(Session.Ticks(), cli::TRANSFER_TICK_BOUND);
    EXPECT_EQ(Session.Form().Mode, tmIdle);
}

// The first frame leaves at the fourth tick after start-up; a page with no
// good answer is sent five times and given up at the sixth time-out, 20
// ticks after its first send (or 19 when that send followed a reply).
INSTANTIATE_TEST_SUITE_P(
    Cases, TransferEnds,
    ::testing::Values(
        EndCase{"ReadDone", &TFormHlav::MenuReadClick, [](SimUnit&) {}, End::Succeeded, tmVerify,
                "Verify: OK", 7},
        EndCase{"ProgramVerified", &TFormHlav::MenuProgramClick, [](SimUnit&) {}, End::Succeeded,
                tmVerify, "Programing: OK", 7},
        EndCase{"ReadNoAnswer", &TFormHlav::MenuReadClick,
                [](SimUnit& u) { u.Options().Faults.Dead = true; }, End::NoReply, tmRead,
                "Read error!", 24},
        EndCase{"VerifyNoAnswer", &TFormHlav::MenuVerifyClick,
                [](SimUnit& u) { u.Options().Faults.Dead = true; }, End::NoReply, tmVerify,
                "Verify error!", 24},
        EndCase{"ProgramNoAnswer", &TFormHlav::MenuProgramClick,
                [](SimUnit& u) { u.Options().Faults.Dead = true; }, End::NoReply, tmProgram,
                "Program error!", 24},
        // Replies keep coming but are never the page sent: still an error, not a hang.
        EndCase{"ProgramStoredOtherwise", &TFormHlav::MenuProgramClick,
                [](SimUnit& u) { u.Options().Faults.WriteReplyDiffer = 5; }, End::ProgramError,
                tmProgram, "Program error!", 24},
        // Only garbled replies: as good as none.
        EndCase{"VerifyOnlyGarbled", &TFormHlav::MenuVerifyClick,
                [](SimUnit& u) { u.Options().Faults.CorruptRate = 1; }, End::NoReply, tmVerify,
                "Verify error!", 24},
        // The unit's set normalises to another one, so the verify after the read cannot match.
        EndCase{"ReadVerifyDiffers", &TFormHlav::MenuReadClick,
                [](SimUnit& u) { u.Params().RpmAdv[14] = 2; }, End::VerifyError, tmVerify,
                "Verify error!", 25},
        EndCase{"ReadRefused", &TFormHlav::MenuReadClick,
                [](SimUnit& u) { u.Options().ReadProtected = true; }, End::NoReading, tmRead,
                "No reading!", 5},
        EndCase{"ReadOtherVersion", &TFormHlav::MenuReadClick, [](SimUnit& u) { u.SetVersion(66); },
                End::VersionMismatch, tmRead,
                "Unmatched version of PC and Ignition programs!  PC-67, IGN-66", 5},
        EndCase{"ProgramOtherVersion", &TFormHlav::MenuProgramClick,
                [](SimUnit& u) { u.SetVersion(68); }, End::VersionMismatch, tmProgram,
                "Unmatched version of PC and Ignition programs!  PC-67, IGN-68", 5}),
    [](const ::testing::TestParamInfo<EndCase>& p) { return std::string(p.param.Name); });

// What the unit sent of page 1, before anything normalised it: the CLI's
// backup and its verify read it.
TEST_F(SessionFixture, TheUnitsPage1IsKeptAsSent) {
    Unit->Params().RpmAdv[14] = 2; // normalising raises it
    Unit->Params().Bike = 3;       // showing clears it
    const TIgnParams held = Unit->Params();
    ASSERT_TRUE(Session.Start());
    ASSERT_TRUE(Session.RunTransfer(&TFormHlav::MenuReadClick));
    const TUnitReply& u = Session.Form().UnitPage1;
    EXPECT_EQ(std::memcmp(&u.Set, &held, sizeof held), 0);
    EXPECT_EQ(u.Replies, 6); // the read, then five sends of the verify
    EXPECT_TRUE(u.Twice);
    EXPECT_GT(Session.Form().Params().RpmAdv[14], Session.Form().Params().RpmAdv[13]);
    EXPECT_EQ(Session.Form().Params().Bike, 0);

    // A verify that fails keeps what the unit sent all the same.
    Unit->Options().Faults.ReadReplyDiffer = 7;
    ASSERT_TRUE(Session.RunTransfer(&TFormHlav::MenuVerifyClick));
    EXPECT_EQ(Session.Form().LastTransfer.End, End::VerifyError);
    EXPECT_EQ(Session.Form().UnitPage1.Replies, 5);
    EXPECT_EQ(Session.Form().UnitPage1.Set.Reserved7, held.Reserved7 ^ 1);
    // Another start forgets the last transfer's replies.
    Unit->Options().Faults.Dead = true;
    ASSERT_TRUE(Session.RunTransfer(&TFormHlav::MenuVerifyClick));
    EXPECT_EQ(Session.Form().UnitPage1.Replies, 0);
    EXPECT_FALSE(Session.Form().UnitPage1.Twice);
}

class Saving : public SessionFixture {};

TEST_F(Saving, EndsWhenTheUnitReportsItsCountdownDone) {
    ASSERT_TRUE(Session.Start());
    ASSERT_TRUE(Session.RunTransfer(&TFormHlav::MenuProgramClick));
    ASSERT_EQ(Session.Form().LastTransfer.End, End::Succeeded);
    ASSERT_GT(Unit->SavingCountdown(), 0);
    EXPECT_EQ(Session.WaitForSaving(), SaveResult::Saved);
    EXPECT_EQ(Unit->SavingCountdown(), 0);
    EXPECT_EQ(Session.Form().SavingCountdown, 0);
    EXPECT_NE(Err.str().find("Saving:\nPrograming: OK\n"), std::string::npos) << Err.str();
}

// Programmed and verified is not saved: a unit that goes quiet first is a failure.
TEST_F(Saving, AUnitThatGoesQuietHasNotSaved) {
    ASSERT_TRUE(Session.Start());
    ASSERT_TRUE(Session.RunTransfer(&TFormHlav::MenuProgramClick));
    Unit->Options().Faults.Dead = true;
    const unsigned before = Session.Ticks();
    EXPECT_EQ(Session.WaitForSaving(), SaveResult::Quiet);
    EXPECT_LE(Session.Ticks() - before, 20u);
}

// A unit that goes on answering but never finishes its save is given up.
TEST_F(Saving, ASaveThatNeverEndsIsGivenUp) {
    Unit->Options().SaveStep = 0;
    ASSERT_TRUE(Session.Start());
    ASSERT_TRUE(Session.RunTransfer(&TFormHlav::MenuProgramClick));
    const unsigned before = Session.Ticks();
    EXPECT_EQ(Session.WaitForSaving(), SaveResult::TooLong);
    EXPECT_EQ(Session.Ticks() - before, cli::SAVING_TICK_LIMIT);
}

TEST_F(Saving, AStopRequestEndsATransferAtTheNextTick) {
    std::atomic<bool> stop{false};
    HeadlessSession session{Err, [this] { return Port(); }, Clock, {}, &stop};
    Unit->Options().Faults.Dead = true;
    ASSERT_TRUE(session.Start());
    stop = true;
    EXPECT_FALSE(session.RunTransfer(&TFormHlav::MenuReadClick));
    EXPECT_EQ(session.Ticks(), 0u);
    EXPECT_EQ(session.Form().LastTransfer.End, End::None);
}

} // namespace
} // namespace kelmor::test
