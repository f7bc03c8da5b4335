// What follows every tick of the main window: the advance chart, the
// monitor log and the backup of every set read from a unit.
#include <cstdio>
#include <filesystem>

#include "link/MonitorCsv.h"
#include "link/Tick.h"
#include "storage/IgnFile.h"
#include "storage/OsFile.h"
#include "ui/Backups.h"
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
using C = ControlId;
} // namespace

void TFormHlav::OnTimer1() {
    const uint32_t mine = ++TickSerial;
    if (Log.Running()) ++LogTicks;
    Timer1Timer();
    if (mine == TickSerial) AfterTick();
}

void TFormHlav::FollowChart() {
    // While a point is dragged on the chart, the chart shows it where it goes.
    Chart.FollowCurve(Drag.Active ? Drag.Preview : Params());
    Chart.FollowActive(NoActivePoint, ActivePoint);
    if (Chart.Revision() == ChartShown) return;
    ChartShown = Chart.Revision();
    Window.Repaint(C::ImageCurve);
}

void TFormHlav::AfterTick() {
    const bool frame = TickTookMonitorFrame;
    Chart.Tick();
    if (frame && LiveRpm > 0)
        Chart.AddLive(LiveRpm, MonitorCopy.MonAdvance() - 100, MonitorCopy.MonAdvanceMax());
    Chart.SetRunning(LiveRpm > 0 && ConnectionAge < CONNECTION_TIMEOUT_TICKS);
    if (frame && Log.Running())
        LogFrame();
    else if (Log.Running() && LogLanguage != Language)
        ShowLogState(); // the line follows a change of language at once
    // A read that ended in its verify's success is kept as the unit holds it.
    if (EndsSeen != LastTransfer.Count) {
        EndsSeen = LastTransfer.Count;
        TakeTransferEnd();
        if (LastTransfer.Command == tmRead && LastTransfer.End == TTransferEnd::Succeeded)
            BackupReadSet();
    }
    FollowChart();
}

std::string TFormHlav::LogFolder() {
    return Utf8FromPath(PathFromUtf8(Host.ConfigDir()) / "logs");
}

std::string TFormHlav::BackupFolder() {
    return Utf8FromPath(PathFromUtf8(Host.ConfigDir()) / "backups");
}

void TFormHlav::MenuLogClick() {
    if (Log.Running()) {
        Log.Stop();
        ShowLogState();
        return;
    }
    const std::string folder = LogFolder();
    LogTicks = 0;
    if (!Log.Start(folder, Host.LocalClock())) {
        ShowLogState();
        Host.MessageBox(Messages.MsgLogError + "\n" + (Log.Path().empty() ? folder : Log.Path()));
        return;
    }
    LogScratch.reserve(256);
    ShowLogState();
}

void TFormHlav::LogFrame() {
    char line[320];
    const size_t n =
        FormatMonitorCsv(MonitorCopy, LogTicks * static_cast<uint32_t>(TICK_MS), line, sizeof line);
    const bool written = Log.Append(line, n);
    ShowLogState();
    // The log has stopped before the box opens: ticks go on inside it.
    if (!written) Host.MessageBox(Messages.MsgLogError + "\n" + Log.Path());
}

void TFormHlav::ShowLogState() {
    const bool on = Log.Running();
    Window.SetChecked(C::MenuLog, on);
    Window.SetVisible(C::LabelLog, on);
    if (!on) return;
    const std::string& path = Log.Path();
    const size_t slash = path.find_last_of("/\\");
    char count[16];
    std::snprintf(count, sizeof count, " %u", static_cast<unsigned>(Log.Frames()));
    LogScratch.assign(Messages.MsgMonitorLog);
    LogScratch += ' ';
    LogScratch.append(path, slash == std::string::npos ? 0 : slash + 1);
    LogScratch += ", ";
    LogScratch += Messages.MsgLogFrames;
    LogScratch += count;
    Window.SetCaption(C::LabelLog, LogScratch);
    LogLanguage = Language;
}

void TFormHlav::BackupReadSet() {
    // The verify has just found the unit's page 1 equal to the set shown.
    const std::string folder = BackupFolder();
    const std::string written =
        WriteNewFile(folder, BackupFileName(Ident, Host.LocalClock()), WriteIgnFile(Params()));
    if (written.empty()) Host.MessageBox(Messages.MsgBackupError + "\n" + folder);
}

} // namespace kelmor
