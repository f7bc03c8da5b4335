// Program and read transfers, many times over, against the simulated unit on
// a noisy line: replies lost, corrupted, held back, split, doubled, garbled
// and preceded by stray bytes. Every transfer must end within its resends,
// every success the window shows must be true of what the unit holds, and
// every failure must say so with the transfer's error text in red.
//
// An XOR checksum cannot see two changes that cancel, so now and then a
// garbled reply is taken as good. Page 1 replies are compared again by the
// verify, so no such escape may ever end in a success. A page 0 answer is
// not compared: an escape there may stop the transfer on a version it made
// up (a box) or, for a read, on "No reading!". Those are counted apart, and
// only when the window's page 0 really differs from the unit's.
//
// KELMOR_SOAK_TRANSFERS (default 100) transfers of each kind,
// KELMOR_SOAK_RATE (default 0.05) the chance of each fault per reply,
// KELMOR_SOAK_GARBLE (default: the rate) the chance of a garbled reply alone,
// KELMOR_SOAK_SEED (default 1) the seed of the faults and the sets.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "sim/SimRandom.h"
#include "support/SimFormFixture.h"

namespace kelmor::test {
namespace {

using C = ControlId;

// A transfer sends its first page 1 to 4 ticks after the start, and each of
// its three pages gives up 20 ticks after its first send (5 sends, 4 ticks
// apart): 64 ticks at most, whatever the line does.
constexpr int TICK_BUDGET = 4 + 3 * 20;

double EnvNumber(const char* name, double fallback) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0' ? std::strtod(v, nullptr) : fallback;
}

// Every caption the status line takes, with its colour at that moment: the
// idle tick may replace a result with the unit's "Saving:" at once.
struct StatusLog : ModelListener {
    struct Entry {
        std::string Caption;
        Colour Background;
    };
    const WindowModel* Model = nullptr;
    std::vector<Entry> Seen;

    void OnControlChanged(ControlId id, Property what) override {
        if (id == C::LabelHlaseni && what == Property::Caption)
            Seen.push_back({(*Model)[id].Caption, (*Model)[id].Background});
    }
    bool Shown(const std::string& caption) const {
        for (const Entry& e : Seen)
            if (e.Caption == caption) return true;
        return false;
    }
    // The transfer's own last word, past the saving display.
    Entry Result(const std::string& saving) const {
        for (auto e = Seen.rbegin(); e != Seen.rend(); ++e)
            if (e->Caption != saving) return *e;
        return {};
    }
};

class NoisyLine : public SimFormFixture {
  protected:
    void SetUp() override {
        SimFormFixture::SetUp();
        Transfers = static_cast<int>(EnvNumber("KELMOR_SOAK_TRANSFERS", 100));
        Rate = EnvNumber("KELMOR_SOAK_RATE", 0.05);
        const auto seed = static_cast<uint64_t>(EnvNumber("KELMOR_SOAK_SEED", 1));
        Random.Seed(seed * 7919 + 1);
        SimFaults& f = Unit->Options().Faults;
        f.Seed = seed;
        f.DropRate = f.CorruptRate = f.SplitRate = f.DuplicateRate = f.StrayRate = Rate;
        f.GarbleRate = EnvNumber("KELMOR_SOAK_GARBLE", Rate);
        // A modal box stays open for a few ticks, as a person reads it.
        Host.WhileBoxOpen = [this] { Ticks(5); };
        Log.Model = &W();
        W().SetListener(&Log);
    }

    // One tick; some replies are held back for a few polls of the line.
    void NoisyTick() {
        Unit->Options().Faults.DelayPolls = Random.Chance(Rate) ? 1 + int(Random.Below(5)) : 0;
        Form->Timer1Timer();
    }

    // Between transfers: the unit finishes saving, and a little time passes.
    void Pause() {
        for (int t = 0; t < 400 && (Form->SavingCountdown > 0 || Unit->SavingCountdown() > 0); ++t)
            NoisyTick();
        for (int t = int(Random.Below(13)); t > 0; --t)
            NoisyTick();
        Host.Boxes.clear();
        Log.Seen.clear();
    }

    // Ticks until the transfer ends, within its budget.
    void RunTransfer(int i) {
        for (int t = 1; t <= TICK_BUDGET; ++t) {
            NoisyTick();
            if (Form->Mode == tmIdle) {
                Longest = std::max(Longest, t);
                TotalTicks += t;
                return;
            }
        }
        FAIL() << "transfer " << i << " still running after " << TICK_BUDGET << " ticks";
    }

    void RandomBytes(void* p, size_t n) {
        auto* b = static_cast<uint8_t*>(p);
        for (size_t i = 0; i < n; ++i)
            b[i] = static_cast<uint8_t>(Random.Below(256));
    }

    // A set the unit may hold and the window shows as it is.
    TIgnParams ValidSet() {
        TIgnParams p;
        RandomBytes(&p, sizeof p);
        p.Bike = 0;
        p.ZakazCteni = 0;
        Normalise(p);
        return p;
    }

    // A stop on page 0 that only a reply the checksum let through explains.
    bool Page0Escape(bool read, const StatusLog::Entry& result) {
        const TIdentPage real = Unit->ReportedIdent();
        const TIdentPage& taken = Form->DeviceImage.Ident;
        if (Host.Boxes.size() == 1 &&
            Host.Boxes[0].rfind(Form->Messages.MsgVersionMismatch, 0) == 0)
            return taken.IgnVersion != real.IgnVersion;
        return read && Host.Boxes.empty() && result.Caption == Form->Messages.MsgNoReading &&
               result.Background == Colour::Red && taken.ReadAllowed != real.ReadAllowed;
    }

    // Sorts out how the transfer ended and holds the window to it.
    void Judge(int i, bool read) {
        const TMessageTable& m = Form->Messages;
        // A program transfer shows its verify's success too, if only for
        // the moment before the same tick turns it into its own.
        const std::string verified = m.MsgVerify + ": OK", programmed = m.MsgProgramming + ": OK";
        if (Log.Shown(verified) || (!read && Log.Shown(programmed))) {
            const std::string& success = read ? verified : programmed;
            TIgnParams unit = Unit->Params(), shown = Form->Params();
            if (read) {
                // Verify does not compare the read protection; count when it
                // was taken from a reply that the checksum let through.
                if (unit.ZakazCteni != shown.ZakazCteni)
                    ++Outcomes["read protection taken from a garbled reply"];
                unit.ZakazCteni = shown.ZakazCteni = 0;
            } else {
                ASSERT_TRUE(Form->ProgramDone);
            }
            ASSERT_EQ(std::memcmp(&unit, &shown, sizeof unit), 0)
                << "\"" << success << "\" in transfer " << i << " for data the unit does not hold";
            ASSERT_TRUE(Host.Boxes.empty()) << Host.Boxes.front();
            ++Outcomes[success];
            return;
        }
        const StatusLog::Entry result = Log.Result(m.MsgSaving);
        if (Page0Escape(read, result)) {
            ++Outcomes["stopped by a page 0 reply the checksum let through"];
            return;
        }
        const std::string& first = read ? m.MsgReadError : m.MsgProgramError;
        ASSERT_TRUE(result.Caption == first || result.Caption == m.MsgVerifyError)
            << "transfer " << i << " ended with \"" << result.Caption << "\"";
        ASSERT_EQ(result.Background, Colour::Red);
        ASSERT_TRUE(Host.Boxes.empty()) << Host.Boxes.front();
        ++Outcomes[result.Caption];
    }

    void Report(const char* kind) {
        std::string line;
        for (const auto& [outcome, n] : Outcomes)
            line += "  \"" + outcome + "\": " + std::to_string(n);
        const SimUnit::Counters& c = Unit->Stats();
        std::printf("soak %s: %d transfers, fault rate %.3f (garbled %.3f), %.1f ticks on average, "
                    "longest %d, %u requests, %u replies lost;%s\n",
                    kind, Transfers, Rate, Unit->Options().Faults.GarbleRate,
                    double(TotalTicks) / std::max(Transfers, 1), Longest, c.Requests, c.RepliesLost,
                    line.c_str());
    }

    SimRandom Random;
    StatusLog Log;
    int Transfers = 0;
    double Rate = 0;
    int Longest = 0;
    long TotalTicks = 0;
    std::map<std::string, int> Outcomes;
};

TEST_F(NoisyLine, ProgramTransfersNeverClaimWhatTheUnitDoesNotHold) {
    for (int i = 0; i < Transfers; ++i) {
        Pause();
        // The unit holds something else; the window another set to program.
        RandomBytes(&Unit->Params(), sizeof(TIgnParams));
        Form->Params() = ValidSet();
        Form->ShowParams();
        Form->MenuProgramClick();
        ASSERT_NO_FATAL_FAILURE(RunTransfer(i));
        ASSERT_NO_FATAL_FAILURE(Judge(i, false));
    }
    Report("program");
}

TEST_F(NoisyLine, ReadTransfersNeverClaimWhatTheUnitDoesNotHold) {
    for (int i = 0; i < Transfers; ++i) {
        Pause();
        // The unit holds one set, the window another.
        Unit->Params() = ValidSet();
        Unit->Ident().FwNumber = static_cast<uint8_t>(Random.Below(100));
        Form->Params() = ValidSet();
        Form->ShowParams();
        Form->MenuReadClick();
        ASSERT_NO_FATAL_FAILURE(RunTransfer(i));
        ASSERT_NO_FATAL_FAILURE(Judge(i, true));
    }
    Report("read");
}

} // namespace
} // namespace kelmor::test
