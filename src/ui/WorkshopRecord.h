#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "lang/TMessageTable.h"
#include "params/ParamFields.h"
#include "ui/CurveChart.h"
#include "ui/WindowModel.h"

namespace kelmor {

struct RecordLine {
    std::string Label;
    std::string Value;
};

// What the workshop record says, in the window's language; the platform
// lays it out on the page below the window's image.
struct WorkshopRecord {
    std::string Title;
    // The unit's identification, the date and time, the file, the last transfer.
    std::vector<RecordLine> Info;
    // Every field of the set that is not a curve point, with its unit.
    std::vector<RecordLine> Settings;
    // The curve: point, engine speed, advance; all 15 points, the first
    // PointsInUse of them in use.
    std::vector<std::string> CurveHeader;
    std::vector<std::vector<std::string>> CurveRows;
    int PointsInUse = 0;
    CurveChart Chart;
    std::string ChartRpmLabel, ChartAdvanceLabel;
};

// A caption as a label: no keyboard letter, and no trailing colon, blanks or
// "[unit]".
std::string PlainLabel(std::string_view caption);

// A field's name and value as the window reads in its language: names from
// the window's own captions where it has them, from the message table
// otherwise; values with their unit, lists by their item texts.
std::string FieldLabel(const ParamField& f, const WindowModel& w, const TMessageTable& t);
std::string FieldValue(const ParamField& f, uint8_t stored, const WindowModel& w,
                       const TMessageTable& t);

} // namespace kelmor
