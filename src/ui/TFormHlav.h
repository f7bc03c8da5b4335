#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lang/TLanguage.h"
#include "lang/TMessageTable.h"
#include "link/TDeviceImage.h"
#include "link/TLinkFrame.h"
#include "link/TMonitorData.h"
#include "link/TSerialLink.h"
#include "params/TUndoHistory.h"
#include "ui/CurveChart.h"
#include "ui/LogViewer.h"
#include "ui/MonitorLog.h"
#include "ui/SetState.h"
#include "ui/TPlatform.h"
#include "ui/WindowModel.h"
#include "ui/Wiring.h"

namespace kelmor {

enum TTransferMode : uint8_t { tmIdle = 0, tmProgram = 1, tmVerify = 2, tmRead = 3 };

// How a transfer ended. A read takes every valid reply, so a read that
// gives up has had none: NoReply, as has any transfer whose page got no
// valid reply at all before the fifth time-out.
enum class TTransferEnd : uint8_t {
    None,            // no transfer has ended yet
    Succeeded,       // "Verify: OK" (after a program "Programing: OK")
    ProgramError,    // page 1 came back otherwise than sent, five times
    VerifyError,     // the unit's page 1 differed from the set, five times
    NoReading,       // the unit refuses reading its parameters
    VersionMismatch, // the unit's program version is not ours
    NoReply,         // the page given up had no valid reply
};

// The last transfer's end, set where it ends; a transfer that runs leaves it as it was.
struct TTransferRecord {
    TTransferEnd End = TTransferEnd::None;
    uint8_t Command = 0; // what was started: tmRead, tmVerify or tmProgram
    uint8_t Mode = 0;    // the mode it ended in (a read and a program end in their verify)
    uint8_t PcVersion = PC_VERSION;
    uint8_t UnitVersion = 0; // page 0 byte 10 as the unit last sent it
    uint32_t Count = 0;      // transfers ended so far: each end changes it
};

// Page 1 as the unit sent it in reply to the read requests (0x41) of the
// running or last transfer, before anything normalised it.
struct TUnitReply {
    TIgnParams Set{};    // the first such reply
    uint8_t Replies = 0; // how many came (up to 255)
    bool Twice = false;  // a later one was the same, byte for byte
};

inline constexpr size_t RX_BUFFER_SIZE = 15000;
inline constexpr uint8_t MESSAGE_HOLD_TICKS = 200;
inline constexpr uint8_t CONNECTION_TIMEOUT_TICKS = 18;
// A lost port is tried again every fourth tick (220 ms).
inline constexpr uint8_t REOPEN_TICKS = 4;

// The main window's logic: owner of all run-time state and of the event
// handlers. It talks to the screen only through the window model and to the
// desktop only through the platform services.
class TFormHlav {
  public:
    explicit TFormHlav(TPlatform& platform);

    WindowModel& Model() { return Window; }
    TPlatform& Platform() { return Host; }

    // Runs the handler that the user's action on a control fires, as the
    // event wiring says (Wiring.h). False when none ran, or a typed key was
    // not taken.
    bool Fire(ControlId sender, UserAction action, int arg = 0);

    // Link state: all zero at creation.
    uint8_t Mode = tmIdle;
    uint8_t TickCount = 0;
    uint8_t MessageHold = 0;
    uint8_t RetryCount = 0;
    uint8_t PageCommand = 0;
    std::array<uint8_t, RX_BUFFER_SIZE> RxBuffer{};
    TLinkFrame TxFrame{};
    uint8_t ConnectionAge = 0;
    uint16_t SavingCountdown = 0;
    bool ProgramDone = false;
    bool Printing = false;
    bool TestMode = false;

    TSerialLink SerialLink;
    TDeviceImage DeviceImage{};
    TIgnParams& Params() { return DeviceImage.Params; }
    TMonitorData MonitorCopy{};
    uint16_t LiveRpm = 0;
    TIdentTexts Ident; // VersionText, DateText, TimeText
    TUndoHistory UndoHistory{};
    TMessageTable Messages;
    TLanguage Language = LANG_ENGLISH;
    std::string LastFileName;
    uint8_t ActivePoint = 0;
    bool NoActivePoint = false;

    // Rows of the curve editor in point order.
    std::array<ControlId, 15> RpmEdits{}, AdvanceEdits{}, RpmUpDowns{}, AdvanceUpDowns{};

    // Device link: serial port, poll cycle, monitor, transfers.
    void OpenPort();
    void ClosePort();
    void MenuCom1Click(ControlId sender);
    void MarkComItems();
    // The Com menu opens: each item shows beside its caption, and in its
    // hint, what is behind its number now.
    void MenuComClick();
    void Timer1Timer();
    void PollReceive();
    void RequestMonitor();
    void HandleMonitorFrame();
    void HandleTransferReply();
    void SendPage();
    void MenuReadClick();
    void MenuVerifyClick();
    void MenuProgramClick();
    void StartProgram();

    // Parameter model: binding, visibility, undo, live tuning.
    void Normalise();
    void ReadControls();
    void ShowParams();
    void ApplyEdit();
    void UpdateVisibility();
    void UpDownClick(ControlId updown, int direction);
    void EditExit(ControlId sender);
    bool FormKeyPress(ControlId sender, char key);
    void CheckBoxProgHnedMouseUp(ControlId sender);
    void RadioGroupPolaritaClick();
    void RadioGroupInput1Click();
    void RadioGroupInput2Click();
    void UndoReset();
    void UndoRecord();
    void UndoRestore();
    void SpeedButtonZpetClick();
    void SpeedButtonZnovuClick();
    void UpdateUndoButtons();
    void TrackActivePoint();
    void BitBtnAdvMinusClick();
    void BitBtnAdvPlusClick();

    // Languages.
    void ApplyLanguage();
    void ApplyCaptions();
    void MenuEnglishClick();
    void MenuGermanClick();
    void MenuFrenchClick();
    void MenuCzechClick();
    void ShowStatusHint(std::string_view hint);
    // The empty-value text of the monitor read-out that follows `slot`, in
    // the current language.
    void ShowReadoutPlaceholder(MessageSlot slot);

    // Files, start-up, shutdown, print, help.
    void FormCreate(const std::vector<std::string>& args);
    void FormClose();
    void LoadSettings();
    void SaveSettings();
    void MenuNewClick();
    void MenuOpenClick();
    void MenuSaveClick();
    void SpeedButtonPrintClick();
    void MenuContensClick();
    void MenuAboutClick();
    void MenuExitClick();
    void ReadTestFile();

  private:
    void SetStatus(std::string_view caption, Colour colour);
    void StartTransfer(uint8_t mode, uint8_t page, std::string_view caption, bool colon);
    void EndTransfer(TTransferEnd end);
    void TransferFailed(uint8_t mode);
    void TakeUnitReply(const uint8_t* data);
    void NextPage();
    void BeginVerify();
    void VersionStop();
    void AdjustAdvance(int delta);

    TPlatform& Host;
    WindowModel Window;
    // Scratch for captions built on the tick path; keeps its capacity.
    std::string Scratch;

  public:
    // Additions to the window: the advance chart, the monitor log, the
    // workshop record, backups of every set read and the comparison with a file.
    CurveChart Chart;
    MonitorLog Log;
    // How the last transfer ended, and what the unit sent of page 1 in the
    // running or last one. Written only where a transfer starts or ends.
    TTransferRecord LastTransfer;
    TUnitReply UnitPage1;
    // Whether the last tick took in a monitor frame (now in MonitorCopy).
    bool TickTookMonitorFrame = false;
    // A verify of the set as it stands, without reading the controls (the
    // caller has brought the set up to date), as StartProgram is to Program.
    void StartVerify();

    // What Timer1 fires: the tick, then what follows it (chart, log,
    // backup). A box opened inside the tick runs ticks of its own; the
    // follow-up then belongs to the newest of them.
    void OnTimer1();
    void AfterTick();
    // Brings the chart up to the parameter set and the active point, and
    // has the view draw it again when that changed it.
    void FollowChart();
    void MenuLogClick();
    void MenuRecordClick();
    void MenuCompareClick();
    void MenuBackupsClick();
    std::string LogFolder();
    std::string BackupFolder();

    // The ride log viewer: Tools > Log viewer, a monitor log named on the
    // command line, or one chosen in Open. The view draws and plays it.
    LogViewer Viewer;
    // What reading the log left out, in the language of the moment it was read.
    std::string ViewerNote;
    void MenuLogViewerClick();
    void OpenLogFile(const std::string& path);
    // Opens the monitor logs among the command-line arguments.
    void OpenArguments(const std::vector<std::string>& args);

    // The set's state at a glance: the title names its file with a mark
    // while the set differs from it, LabelUnitState says whether the unit
    // holds it.
    SetState State;
    void ShowSetState();
    // What the unit holds is no longer known (another port, a reconnect).
    void UnitStateUnknown();

    // The advance chart as an editor: a point in use is pressed, dragged
    // (the engine speed and advance under the pointer; its edits follow) and
    // released, which commits as a spinner click does; or it is stepped by
    // 100 rpm and 1 degree from the keyboard, each step a commit.
    void CurvePointPress(int point);
    void CurvePointDrag(double rpm, double advance);
    void CurvePointRelease();
    void CurvePointCancel();
    void CurvePointStep(int point, int rpmSteps, int degrees);
    bool CurvePointDragging() const { return Drag.Active; }

    // An open port whose device went away (a replug, a unit switched off and
    // on) is opened again by the tick as soon as the device is back.
    bool AutoReopen = true;
    // Every tick first: one quiet attempt at a lost port every few ticks.
    void ReopenLostPort();
    // The port is open again after its device came back: what the unit
    // holds is not known any more. Anything that claims to know it is reset here.
    void PortReopened();
    // Times the port came back by itself.
    uint32_t PortReopens = 0;
    // The monitor read-outs while no unit answers: "---", not the last values.
    void ShowEmptyReadouts();

  private:
    struct CurveDrag {
        bool Active = false;
        int Point = 0;
        TIgnParams Preview{};
    };
    void ShowPointInEdits(int point, const TIgnParams& p);
    void TakeTransferEnd();

    CurveDrag Drag;
    std::string TitleScratch;
    std::string BaseTitle;
    bool ImageRead = false; // the start-up image gave the set

    void LogFrame();
    void ShowLogState();
    void BackupReadSet();
    bool ReadParameterFile(const std::string& path, TIgnParams& into);
    void OpenParameterFile(const std::string& path);

    uint32_t TickSerial = 0;
    uint32_t ChartShown = 0; // the chart's revision the view was last told of
    uint32_t LogTicks = 0;
    uint32_t EndsSeen = 0;                // LastTransfer.Count as AfterTick last saw it
    TLanguage LogLanguage = LANG_ENGLISH; // of the log's line in the window
    std::string LogScratch;
    uint8_t ReopenWait = 0;           // ticks until the next attempt at a lost port
    bool ReadoutsEmpty = false;       // the read-outs show "---" since the connection went
    uint8_t TransferCommand = tmIdle; // the running transfer's start
    bool PageAnswered = false;        // a valid reply came for the page being sent
};

// The text of the box of a port that did not open: "Com opening error!",
// then which device and why, and what to do about it.
std::string PortFailureText(const TOpenFailure& f, const TMessageTable& t);
// What is behind a COM number, as the Com menu shows it beside the item;
// empty when the platform cannot tell.
std::string PortDescriptionText(const PortDescription& d, const TMessageTable& t);

// The status line's text for how a transfer ended, in the table's language
// (MsgNoTransfer before the first end); written into `out`, which keeps its capacity.
void TransferEndText(const TTransferRecord& r, const TMessageTable& t, std::string& out);

// A file that starts as a monitor log does (its header), whatever its name.
bool IsMonitorLogFile(const std::string& path);

} // namespace kelmor
