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
#include "ui/MonitorLog.h"
#include "ui/TPlatform.h"
#include "ui/WindowModel.h"

namespace kelmor {

enum TTransferMode : uint8_t { tmIdle = 0, tmProgram = 1, tmVerify = 2, tmRead = 3 };

inline constexpr size_t RX_BUFFER_SIZE = 15000;
inline constexpr uint8_t MESSAGE_HOLD_TICKS = 200;
inline constexpr uint8_t CONNECTION_TIMEOUT_TICKS = 18;

// The main window's logic: owner of all run-time state and of the event
// handlers. It talks to the screen only through the window model and to the
// desktop only through the platform services.
class TFormHlav {
  public:
    explicit TFormHlav(TPlatform& platform);

    WindowModel& Model() { return Window; }
    TPlatform& Platform() { return Host; }

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
    void TransferFailed(std::string_view message);
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
    // Final status caption of the last transfer; empty before the first.
    std::string LastTransferResult;

    // What Timer1 fires: the tick, then what follows it (chart, log,
    // backup). A box opened inside the tick runs ticks of its own; the
    // follow-up then belongs to the newest of them.
    void OnTimer1();
    void AfterTick();
    // Brings the chart up to the parameter set and the active point.
    void FollowChart();
    void MenuLogClick();
    void MenuRecordClick();
    void MenuCompareClick();
    void MenuBackupsClick();
    std::string LogFolder();
    std::string BackupFolder();

  private:
    bool MonitorFrameTaken() const;
    void LogFrame();
    void ShowLogState();
    void WatchTransfer();
    void BackupReadSet();
    bool ReadParameterFile(const std::string& path, TIgnParams& into);
    void OpenParameterFile(const std::string& path);

    uint32_t TickSerial = 0;
    uint32_t LogTicks = 0;
    uint8_t WatchedMode = tmIdle;
    TLanguage LogLanguage = LANG_ENGLISH; // of the log's line in the window
    bool WatchingRead = false;            // a read whose verify has not ended yet
    std::string LogScratch;
};

} // namespace kelmor
