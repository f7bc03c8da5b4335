// The window's transfers driven without a window: every way a transfer can
// end is told apart, and none runs past its tick budget.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "cli/HeadlessSession.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUnit.h"

namespace kelmor::test {
namespace {

using cli::HeadlessSession;
using cli::TransferResult;

struct EndCase {
    const char* Name;
    void (TFormHlav::*Start)();
    std::function<void(SimUnit&)> Setup;
    TransferResult Result;
    const char* LastLine; // the last line on standard error
    unsigned Ticks;       // ticks from the start to the end
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.Name;
}

class SessionFixture : public ::testing::Test {
  protected:
    std::shared_ptr<SimUnit> Unit = std::make_shared<SimUnit>();
    std::ostringstream Err;
    cli::VirtualTickClock Clock;
    HeadlessSession Session{Err, [this] { return std::make_unique<SimSerialPort>(Unit); }, Clock};
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
    EXPECT_EQ(Session.RunTransfer(c.Start), c.Result);
    EXPECT_EQ(LastLine(Err.str()), c.LastLine) << Err.str();
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
        EndCase{"ReadDone", &TFormHlav::MenuReadClick, [](SimUnit&) {}, TransferResult::Ok,
                "Verify: OK", 7},
        EndCase{"ProgramVerified", &TFormHlav::MenuProgramClick, [](SimUnit&) {},
                TransferResult::Ok, "Programing: OK", 7},
        EndCase{"ReadNoAnswer", &TFormHlav::MenuReadClick,
                [](SimUnit& u) { u.Options().Faults.Dead = true; }, TransferResult::Failed,
                "Read error!", 24},
        EndCase{"VerifyNoAnswer", &TFormHlav::MenuVerifyClick,
                [](SimUnit& u) { u.Options().Faults.Dead = true; }, TransferResult::Failed,
                "Verify error!", 24},
        EndCase{"ProgramNoAnswer", &TFormHlav::MenuProgramClick,
                [](SimUnit& u) { u.Options().Faults.Dead = true; }, TransferResult::Failed,
                "Program error!", 24},
        // Replies keep coming but are never the page sent: still an error, not a hang.
        EndCase{"ProgramStoredOtherwise", &TFormHlav::MenuProgramClick,
                [](SimUnit& u) { u.Options().Faults.WriteReplyDiffer = 5; }, TransferResult::Failed,
                "Program error!", 24},
        // The unit's set normalises to another one, so the verify after the read cannot match.
        EndCase{"ReadVerifyDiffers", &TFormHlav::MenuReadClick,
                [](SimUnit& u) { u.Params().RpmAdv[14] = 2; }, TransferResult::Failed,
                "Verify error!", 25},
        EndCase{"ReadRefused", &TFormHlav::MenuReadClick,
                [](SimUnit& u) { u.Options().ReadProtected = true; }, TransferResult::Failed,
                "No reading!", 5},
        EndCase{"ReadOtherVersion", &TFormHlav::MenuReadClick, [](SimUnit& u) { u.SetVersion(66); },
                TransferResult::VersionMismatch,
                "Unmatched version of PC and Ignition programs!  PC-67, IGN-66", 5},
        EndCase{"ProgramOtherVersion", &TFormHlav::MenuProgramClick,
                [](SimUnit& u) { u.SetVersion(68); }, TransferResult::VersionMismatch,
                "Unmatched version of PC and Ignition programs!  PC-67, IGN-68", 5}),
    [](const ::testing::TestParamInfo<EndCase>& p) { return std::string(p.param.Name); });

class Saving : public SessionFixture {};

TEST_F(Saving, EndsWhenTheUnitReportsItsCountdownDone) {
    ASSERT_TRUE(Session.Start());
    ASSERT_EQ(Session.RunTransfer(&TFormHlav::MenuProgramClick), TransferResult::Ok);
    ASSERT_GT(Unit->SavingCountdown(), 0);
    EXPECT_EQ(Session.WaitForSaving(), TransferResult::Ok);
    EXPECT_EQ(Unit->SavingCountdown(), 0);
    EXPECT_EQ(Session.Form().SavingCountdown, 0);
    EXPECT_NE(Err.str().find("Saving:\nPrograming: OK\n"), std::string::npos) << Err.str();
}

// Programmed and verified is not saved: a unit that goes quiet first is a failure.
TEST_F(Saving, AUnitThatGoesQuietHasNotSaved) {
    ASSERT_TRUE(Session.Start());
    ASSERT_EQ(Session.RunTransfer(&TFormHlav::MenuProgramClick), TransferResult::Ok);
    Unit->Options().Faults.Dead = true;
    const unsigned before = Session.Ticks();
    EXPECT_EQ(Session.WaitForSaving(), TransferResult::Failed);
    EXPECT_EQ(LastLine(Err.str()), "No connection with PC");
    EXPECT_LE(Session.Ticks() - before, 20u);
}

TEST_F(Saving, AStopRequestEndsATransferAtTheNextTick) {
    std::atomic<bool> stop{false};
    HeadlessSession session{
        Err, [this] { return std::make_unique<SimSerialPort>(Unit); }, Clock, {}, &stop};
    Unit->Options().Faults.Dead = true;
    ASSERT_TRUE(session.Start());
    stop = true;
    EXPECT_EQ(session.RunTransfer(&TFormHlav::MenuReadClick), TransferResult::Interrupted);
    EXPECT_EQ(session.Ticks(), 0u);
}

} // namespace
} // namespace kelmor::test
