// The advance chart as an editor of the curve: a drag or an arrow key moves
// one point, and the result is committed as a spinner click commits.
#include <algorithm>

#include "params/CurveEdit.h"
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
int PointsInUse(const TIgnParams& p) {
    return std::min<int>(p.PocetBodu, CURVE_POINTS);
}
} // namespace

void TFormHlav::ShowPointInEdits(int point, const TIgnParams& p) {
    Window.SetSpinner(RpmUpDowns[point], p.RpmAdv[point] * 100);
    Window.SetSpinner(AdvanceUpDowns[point], p.Advance[point]);
}

void TFormHlav::CurvePointPress(int point) {
    if (point < 0 || point >= PointsInUse(Params())) {
        Chart.Select(-1);
    } else {
        Chart.Select(point);
        Drag.Active = true;
        Drag.Point = point;
        Drag.Preview = Params();
    }
    FollowChart();
}

void TFormHlav::CurvePointDrag(double rpm, double advance) {
    if (!Drag.Active) return;
    MovePoint(Drag.Preview, Drag.Point, rpm, advance);
    // The edits follow while the set waits for the release.
    ShowPointInEdits(Drag.Point, Drag.Preview);
    FollowChart();
}

void TFormHlav::CurvePointRelease() {
    if (!Drag.Active) return;
    Drag.Active = false;
    const int k = Drag.Point;
    const TIgnParams& p = Params();
    if (k >= PointsInUse(p)) {
        // The point went out of use meanwhile (an undo, a read).
        ShowParams();
    } else if (Drag.Preview.RpmAdv[k] != p.RpmAdv[k] || Drag.Preview.Advance[k] != p.Advance[k]) {
        // A tick may have shown the set again while the point moved.
        ShowPointInEdits(k, Drag.Preview);
        ReadControls();
        ApplyEdit();
    }
    FollowChart();
}

void TFormHlav::CurvePointCancel() {
    if (!Drag.Active) return;
    Drag.Active = false;
    if (Drag.Point < PointsInUse(Params())) ShowPointInEdits(Drag.Point, Params());
    FollowChart();
}

void TFormHlav::CurvePointStep(int point, int rpmSteps, int degrees) {
    if (Drag.Active || point < 0 || point >= PointsInUse(Params())) return;
    Chart.Select(point);
    TIgnParams p = Params();
    MovePoint(p, point, (p.RpmAdv[point] + rpmSteps) * 100.0, p.Advance[point] + degrees);
    ShowPointInEdits(point, p);
    ReadControls();
    ApplyEdit();
    FollowChart();
}

} // namespace kelmor
