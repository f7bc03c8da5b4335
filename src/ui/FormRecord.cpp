// The workshop record, the comparison with a file and the opening of backups.
#include <algorithm>
#include <filesystem>
#include <iterator>

#include "params/ParamFields.h"
#include "storage/IgnFile.h"
#include "storage/OsFile.h"
#include "ui/Backups.h"
#include "ui/TFormHlav.h"
#include "ui/WorkshopRecord.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {
using C = ControlId;

std::string OrDashes(const std::string& text) {
    return text.empty() ? "---" : text;
}

// The PDF beside the last parameter file, named after it.
std::string RecordProposal(const std::string& lastFile) {
    if (lastFile.empty()) return {};
    fs::path p = PathFromUtf8(lastFile);
    p.replace_extension(".pdf");
    return Utf8FromPath(p);
}

WorkshopRecord BuildRecord(TFormHlav& form) {
    const WindowModel& w = form.Model();
    const TMessageTable& t = form.Messages;
    WorkshopRecord r;
    r.Title = t.MsgRecordTitle;
    r.Info = {
        {PlainLabel(w[C::LabelVerze1].Hint), OrDashes(form.Ident.VersionText)},
        {PlainLabel(w[C::LabelVerze2].Hint), OrDashes(form.Ident.DateText)},
        {PlainLabel(w[C::LabelVerze3].Hint), OrDashes(form.Ident.TimeText)},
        {PlainLabel(t.MsgPrintTime), form.Platform().DateTimeText()},
        {PlainLabel(w[C::LabelFile1].Caption), OrDashes(w[C::LabelFile2].Caption)},
        {t.MsgLastTransfer, ""},
    };
    TransferEndText(form.LastTransfer, t, r.Info.back().Value);
    const TIgnParams& p = form.Params();
    for (const ParamField& f : ParamFields())
        if (f.Point == 0)
            r.Settings.push_back({FieldLabel(f, w, t), FieldValue(f, StoredValue(f, p), w, t)});

    r.CurveHeader = {t.MsgPoint, w[C::LabelRpm1].Caption, w[C::LabelAdvance1].Caption};
    r.PointsInUse = std::min<int>(p.PocetBodu, CURVE_POINTS);
    for (int k = 0; k < CURVE_POINTS; ++k) {
        const ParamField& rpm = ParamFields()[1 + 2 * static_cast<size_t>(k)];
        const ParamField& advance = ParamFields()[2 + 2 * static_cast<size_t>(k)];
        r.CurveRows.push_back({std::to_string(k + 1), FieldValue(rpm, StoredValue(rpm, p), w, t),
                               FieldValue(advance, StoredValue(advance, p), w, t)});
    }
    r.Chart = form.Chart;
    r.Chart.FollowCurve(p);
    r.Chart.FollowActive(true, 0);
    r.Chart.ClearLive();
    r.ChartRpmLabel = w[C::LabelRpm1].Caption;
    r.ChartAdvanceLabel = w[C::LabelAdvance1].Caption;
    return r;
}
} // namespace

bool TFormHlav::ReadParameterFile(const std::string& path, TIgnParams& into) {
    // As Open reads: into a copy of the set, so that a failure leaves it whole.
    TIgnParams read = Params();
    switch (LoadIgnFile(path, read)) {
    case IgnLoadResult::OpenError:
        Host.MessageBox(Messages.MsgFileOpenError);
        return false;
    case IgnLoadResult::VersionMismatch:
        Host.MessageBox(Messages.MsgFileVersionMismatch);
        return false;
    case IgnLoadResult::Ok:
        break;
    }
    into = read;
    return true;
}

void TFormHlav::OpenParameterFile(const std::string& path) {
    // Only the content decides: a monitor log goes to the log viewer.
    if (IsMonitorLogFile(path)) {
        OpenLogFile(path);
        return;
    }
    TIgnParams read{};
    if (ReadParameterFile(path, read)) {
        Params() = read;
        ApplyEdit();
        Window.SetCaption(C::LabelFile2, path);
        LastFileName = path;
        State.FileIs(path, Params());
        ShowSetState();
    }
}

void TFormHlav::MenuBackupsClick() {
    const std::string folder = BackupFolder();
    const std::string newest = NewestFile(folder, ".ign");
    if (newest.empty()) {
        Host.MessageBox(Messages.MsgNoBackups + "\n" + folder);
        return;
    }
    // From here on as Open: the chosen file, then the status line hidden.
    if (std::optional<std::string> path = Host.OpenDialogIn(folder, newest))
        OpenParameterFile(*path);
    Window.SetVisible(C::LabelHlaseni, false);
    Window.SetVisible(C::CGaugeProgram, false);
}

void TFormHlav::MenuCompareClick() {
    std::optional<std::string> path = Host.OpenDialog(LastFileName);
    if (!path) return;
    // A comparison changes nothing: the window's set as it stands, against
    // the file as Open would load it.
    TIgnParams file{};
    if (!ReadParameterFile(*path, file)) return;
    // The file as Open would load it: normalised, the keying type cleared.
    kelmor::Normalise(file);
    file.Bike = 0;

    const std::vector<size_t> differing = DifferingFields(Params(), file);
    if (differing.empty()) {
        Host.MessageBox(Messages.MsgCompareEqual + "\n" + *path);
        return;
    }
    std::vector<std::vector<std::string>> rows;
    for (size_t i : differing) {
        const ParamField& f = ParamFields()[i];
        rows.push_back({FieldLabel(f, Window, Messages),
                        FieldValue(f, StoredValue(f, Params()), Window, Messages),
                        FieldValue(f, StoredValue(f, file), Window, Messages)});
    }
    Host.ShowTable(Messages.MsgCompareTitle + " " + *path,
                   {Messages.MsgParameter, Messages.MsgValueHere, Messages.MsgValueInFile}, rows);
}

void TFormHlav::MenuRecordClick() {
    std::optional<std::string> path = Host.SavePdfDialog(RecordProposal(LastFileName));
    if (!path) return;
    // The record holds what the window shows, taken as Save takes it.
    ReadControls();
    Normalise();
    ShowParams();
    const WorkshopRecord record = BuildRecord(*this);

    // The window's image in the paper look of the print, without the status,
    // connection and log lines, which the text below tells better.
    constexpr C LINES[] = {C::LabelHlaseni, C::CGaugeProgram, C::LabelSpojeni, C::LabelLog};
    bool shown[std::size(LINES)];
    for (size_t i = 0; i < std::size(LINES); ++i) {
        shown[i] = Window[LINES[i]].Visible;
        Window.SetVisible(LINES[i], false);
    }
    Printing = true;
    UpdateVisibility();
    std::string error;
    const bool written = Host.WriteRecordPdf(*path, record, error);
    Printing = false;
    UpdateVisibility();
    for (size_t i = 0; i < std::size(LINES); ++i)
        Window.SetVisible(LINES[i], shown[i]);

    if (!written) {
        std::string text = Messages.MsgRecordError + "\n" + *path;
        if (!error.empty()) text += "\n" + error;
        Host.MessageBox(text);
    }
}

} // namespace kelmor
