// The advance chart as an editor: the bounds a point moves within, the edits
// following a drag, and the release committed as a spinner click is (one undo
// step, a program transfer when programming after change is ticked).
#include "params/CurveEdit.h"
#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

using C = ControlId;

TEST(CurveEditRule, APointMovesInStepsBetweenItsNeighbours) {
    TIgnParams p{};
    SetDefaults(p);
    p.PocetBodu = 5;
    const uint8_t rpm[5] = {10, 20, 21, 22, 40};
    for (int k = 0; k < 5; ++k) {
        p.RpmAdv[k] = rpm[k];
        p.Advance[k] = 20;
    }
    Normalise(p);
    struct {
        const char* name;
        int point;
        double rpm, advance;
        int wantRpm, wantAdvance;
    } cases[] = {
        {"rounded to 100 rpm and 1 degree", 1, 1549, 24.6, 15, 25},
        {"not past the point after", 1, 9000, 20, 20, 20},
        {"not below the point before", 1, 100, 20, 11, 20},
        {"the first point down to 600 rpm", 0, 0, 20, 6, 20},
        {"advance within 0..60", 4, 4000, 75, 40, 60},
        {"and not below 0", 4, 4000, -5, 40, 0},
        {"the last point in use up to what Normalise keeps", 4, 30000, 20, 190, 20},
        {"between two neighbours 200 rpm apart: one place", 2, 2500, 20, 21, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TIgnParams q = p;
        MovePoint(q, c.point, c.rpm, c.advance);
        EXPECT_EQ(q.RpmAdv[c.point], c.wantRpm);
        EXPECT_EQ(q.Advance[c.point], c.wantAdvance);
        // Nothing else moves, and Normalise leaves the points in use as
        // they are (it may raise those beyond, as after a spinner click).
        TIgnParams n = q;
        Normalise(n);
        for (int k = 0; k < CURVE_POINTS; ++k) {
            if (k != c.point) {
                EXPECT_EQ(q.RpmAdv[k], p.RpmAdv[k]);
                EXPECT_EQ(q.Advance[k], p.Advance[k]);
            }
            if (k < p.PocetBodu) {
                EXPECT_EQ(n.RpmAdv[k], q.RpmAdv[k]) << k;
            }
        }
    }
}

class CurveEdit : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
        P().PocetBodu = 4;
        const uint8_t rpm[4] = {10, 20, 30, 40};
        for (int k = 0; k < 4; ++k) {
            P().RpmAdv[k] = rpm[k];
            P().Advance[k] = static_cast<uint8_t>(10 + k);
        }
        Form->ApplyEdit();
        Form->UndoReset();
        Form->OnTimer1();
    }
    TIgnParams& P() { return Form->Params(); }
};

TEST_F(CurveEdit, TheEditsFollowTheDragAndTheReleaseIsOneCommit) {
    Form->CurvePointPress(1);
    EXPECT_EQ(Form->Chart.Selected(), 1);
    for (double a : {12.0, 14.2, 17.8}) {
        Form->CurvePointDrag(2440, a);
        EXPECT_EQ(S(C::EditAdvance2).Caption, std::to_string(static_cast<int>(a + 0.5)));
        EXPECT_EQ(S(C::EditRpmAdv2).Caption, "2 400");
        // The set waits for the release; the chart shows where the point goes.
        EXPECT_EQ(P().Advance[1], 11);
        EXPECT_EQ(Form->Chart.PointAt(1).Advance, static_cast<int>(a + 0.5));
        Form->OnTimer1();
        EXPECT_EQ(Form->Chart.PointAt(1).Advance, static_cast<int>(a + 0.5));
    }
    EXPECT_FALSE(S(C::SpeedButtonZpet).Enabled);
    Form->CurvePointRelease();
    EXPECT_EQ(P().RpmAdv[1], 24);
    EXPECT_EQ(P().Advance[1], 18);
    EXPECT_TRUE(S(C::SpeedButtonZpet).Enabled);
    Form->SpeedButtonZpetClick(); // one step back undoes the whole drag
    EXPECT_EQ(P().RpmAdv[1], 20);
    EXPECT_EQ(P().Advance[1], 11);
    EXPECT_FALSE(S(C::SpeedButtonZpet).Enabled);
    EXPECT_EQ(S(C::EditAdvance2).Caption, "11");
}

TEST_F(CurveEdit, AClickOnlyPicksAndEscapePutsThePointBack) {
    Form->CurvePointPress(2);
    Form->CurvePointRelease();
    EXPECT_EQ(Form->Chart.Selected(), 2);
    EXPECT_FALSE(S(C::SpeedButtonZpet).Enabled);

    Form->CurvePointPress(2);
    Form->CurvePointDrag(3600, 30);
    EXPECT_EQ(S(C::EditAdvance3).Caption, "30");
    Form->CurvePointCancel();
    EXPECT_EQ(S(C::EditAdvance3).Caption, "12");
    EXPECT_EQ(Form->Chart.PointAt(2).Advance, 12);
    EXPECT_FALSE(S(C::SpeedButtonZpet).Enabled);

    Form->CurvePointPress(7); // not in use
    EXPECT_EQ(Form->Chart.Selected(), -1);
    Form->CurvePointDrag(3600, 30);
    Form->CurvePointRelease();
    EXPECT_FALSE(S(C::SpeedButtonZpet).Enabled);
}

TEST_F(CurveEdit, ArrowKeysStepThePickedPointOneCommitEach) {
    struct {
        int rpmSteps, degrees;
        int rpm, advance;
    } steps[] = {
        {0, +1, 30, 13}, {0, -1, 30, 12}, {+1, 0, 31, 12}, {+20, 0, 39, 12}, {-30, 0, 21, 12}};
    int undoSteps = 0;
    for (const auto& s : steps) {
        Form->CurvePointStep(2, s.rpmSteps, s.degrees);
        EXPECT_EQ(P().RpmAdv[2], s.rpm);
        EXPECT_EQ(P().Advance[2], s.advance);
        ++undoSteps;
    }
    EXPECT_EQ(Form->Chart.Selected(), 2);
    while (S(C::SpeedButtonZpet).Enabled && undoSteps-- > 0)
        Form->SpeedButtonZpetClick();
    EXPECT_EQ(P().RpmAdv[2], 30);
    EXPECT_EQ(P().Advance[2], 12);
}

TEST_F(CurveEdit, WithProgrammingAfterChangeTheReleaseStartsATransfer) {
    W().UserSetChecked(C::CheckBoxProgHned, true);
    Form->CheckBoxProgHnedMouseUp(C::CheckBoxProgHned);
    ASSERT_EQ(Form->Mode, tmIdle);
    Form->CurvePointPress(0);
    Form->CurvePointDrag(1000, 25);
    EXPECT_EQ(Form->Mode, tmIdle); // not while dragging
    Form->CurvePointRelease();
    EXPECT_EQ(Form->Mode, tmProgram);
    EXPECT_EQ(S(C::LabelHlaseni).Caption, "Programing");
}

TEST_F(CurveEdit, ThePointsLiveAndTrailStayWhileDragging) {
    uint8_t frame[50] = {};
    frame[MonitorField::Rpm - 1] = static_cast<uint8_t>(2500 & 0xFF);
    frame[MonitorField::Rpm] = static_cast<uint8_t>(2500 >> 8);
    frame[MonitorField::Snimac - 1] = 1;
    frame[MonitorField::MonAdvance - 1] = 118;
    frame[MonitorField::IgnVersion - 1] = PC_VERSION;
    Form->CurvePointPress(3);
    for (int i = 0; i < 3; ++i) {
        Form->CurvePointDrag(4000, 20 + i);
        Feed(CMD_MONITOR_REPLY, frame);
        Form->OnTimer1();
    }
    EXPECT_TRUE(Form->Chart.LiveShown());
    EXPECT_EQ(Form->Chart.Live().Rpm, 2500);
    EXPECT_EQ(Form->Chart.TrailCount(), 2);
    EXPECT_EQ(Form->Chart.PointAt(3).Advance, 22);
    Form->CurvePointRelease();
    EXPECT_EQ(P().Advance[3], 22);
}

} // namespace
} // namespace kelmor::test
