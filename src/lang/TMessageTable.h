#pragma once
#include <string>

#include "lang/TLanguage.h"

namespace kelmor {

// The run-time texts of the current language, one slot per message (UTF-8).
// clang-format off
#define KELMOR_MESSAGE_SLOTS(X) \
    X(MsgManualFile) X(MsgProgramError) X(MsgVerifyError) X(MsgReadError) X(MsgProgramming) \
    X(MsgVerify) X(MsgRead) X(MsgSaving) X(MsgVersionMismatch) X(MsgFileVersionMismatch) \
    X(MsgPrintTime) X(MsgPolarity) X(MsgPositive) X(MsgNegative) X(MsgComOpenError) \
    X(MsgFileOpenError) X(MsgAskDefaults) X(MsgNoReading) X(MsgManualOpenError) X(MsgAdvance) \
    X(MsgStartLimiter) X(MsgLimiter) X(MsgPilotLight) X(MsgClutchMaster) X(MsgRetard) \
    X(MsgBlocking) X(MsgProgramCount) X(MsgYes) X(MsgNo) X(MsgPickup) X(MsgRunning) \
    X(MsgNoSignal) X(MsgInput) X(MsgBasic) X(MsgMonitorLog) X(MsgLogFrames) X(MsgLogError) \
    X(MsgBackupError) X(MsgNoBackups) X(MsgRecordTitle) X(MsgRecordError) X(MsgLastTransfer) \
    X(MsgNoTransfer) X(MsgParameter) X(MsgValueHere) X(MsgValueInFile) X(MsgCompareTitle) \
    X(MsgCompareEqual) X(MsgPoint) X(MsgClutchTime) X(MsgClutchPause) \
    X(MsgLogViewer) X(MsgOpenLog) X(MsgPlay) X(MsgPause) X(MsgCurveOfWindow) X(MsgCurveFromFile) \
    X(MsgLogNothing) X(MsgLogBinary) X(MsgLogTooLarge) X(MsgLogNoHeader) X(MsgLogNoTime) \
    X(MsgLogTruncated) X(MsgLogBadLines) X(MsgLogOutOfOrder) X(MsgLogExtraValues) \
    X(MsgLogUnknownColumns) X(MsgLogMissingColumns) X(MsgUnitHolds) X(MsgUnitDiffers) \
    X(MsgUnitUnknown) X(MsgLastSession) X(MsgKillSwitch) X(MsgPortAbsent) \
    X(MsgPortNoPermission) X(MsgPortNewLogin) X(MsgPortBusy) X(MsgPortBusyAdvice) \
    X(MsgSimulatedUnit) X(MsgPortMissing)
// clang-format on

struct TMessageTable {
#define KELMOR_SLOT_MEMBER(name) std::string name;
    KELMOR_MESSAGE_SLOTS(KELMOR_SLOT_MEMBER)
#undef KELMOR_SLOT_MEMBER
};

// The stored text of one slot in one language (composed slots come out composed).
enum class MessageSlot {
#define KELMOR_SLOT_ENUM(name) name,
    KELMOR_MESSAGE_SLOTS(KELMOR_SLOT_ENUM)
#undef KELMOR_SLOT_ENUM
        Count
};
std::string MessageText(MessageSlot slot, TLanguage language);

// Fills every slot for `language` (0..3) in one pass. `afterSlot` is called
// right after each slot is filled, for the read-outs that follow a slot.
void FillMessageTable(TLanguage language, TMessageTable& table,
                      void (*afterSlot)(MessageSlot, void*) = nullptr, void* context = nullptr);

} // namespace kelmor
