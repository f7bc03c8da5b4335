#include "sim/SimUnit.h"

#include <algorithm>
#include <cstring>

namespace kelmor {

namespace {

void PutU16(TMonitorData& m, int field, uint16_t value) {
    m.Bytes[field] = static_cast<uint8_t>(value & 0xFF);
    m.Bytes[field + 1] = static_cast<uint8_t>(value >> 8);
}

uint8_t Digit(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

} // namespace

SimUnit::SimUnit() {
    Page0.FwLetters[0] = 'K';
    Page0.FwLetters[1] = 'X';
    Page0.FwLetters[2] = 'A';
    Page0.FwNumber = 7;
    SetDate(14, "Mar", 2024, 10, 30);
    Page0.ReadAllowed = 1;
    Page0.IgnVersion = PC_VERSION;

    // A road bike's set: eight points in use, limiters where a single would have them.
    SetDefaults(Page1);
    Page1.PocetBodu = 8;
    Page1.Omez1 = 40;
    Page1.Omez2 = 105;
    Page1.LedRazeni = 95;
    const uint8_t rpm[8] = {10, 20, 30, 40, 50, 60, 80, 100};
    const uint8_t adv[8] = {8, 12, 18, 24, 28, 30, 32, 32};
    for (int k = 0; k < 8; ++k) {
        Page1.RpmAdv[k] = rpm[k];
        Page1.Advance[k] = adv[k];
    }
    Normalise(Page1);
    // Bytes the program carries without looking at them.
    Page1.Reserved7 = 3;
    Page1.Reserved8 = 17;
    Page1.Reserved19 = 200;
}

void SimUnit::SetDate(int day, const char* month, int year, int hour, int minute) {
    Page0.ProgDay = Digit(day);
    Page0.ProgMonthCode = MonthCode(month);
    Page0.ProgYear = Digit(year - 2000);
    Page0.ProgHour = Digit(hour);
    Page0.ProgMinute = Digit(minute);
}

void SimUnit::SetIdText(std::string_view text) {
    std::memset(Page0.IdText, 0, sizeof Page0.IdText);
    std::memcpy(Page0.IdText, text.data(), std::min(text.size(), sizeof Page0.IdText));
}

TIdentPage SimUnit::ReportedIdent() const {
    TIdentPage page = Page0;
    if (ReadRefused()) page.ReadAllowed = 0;
    return page;
}

void SimUnit::Receive(const uint8_t* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        Partial[PartialLength++] = bytes[i];
        if (PartialLength == FRAME_SIZE) {
            PartialLength = 0;
            HandleFrame(Partial.data());
        }
    }
}

void SimUnit::Poll(std::vector<uint8_t>& out) {
    while (!Pending.empty() && Pending.front().Due <= PollCount) {
        const Chunk& c = Pending.front();
        out.insert(out.end(), c.Bytes.begin(), c.Bytes.begin() + static_cast<long>(c.Length));
        Pending.pop_front();
    }
    ++PollCount;
}

void SimUnit::HandleFrame(const uint8_t* frame) {
    if (!FrameChecksumOk(frame)) {
        ++Count.BadFrames;
        return;
    }
    const uint8_t command = frame[0];
    if ((command & CMD_REPLY_FLAG) != 0) {
        ++Count.Ignored;
        return;
    }
    ++Count.Requests;
    if (Opts.Faults.Dead) {
        ++Count.RepliesLost;
        return;
    }

    uint8_t data[FRAME_DATA_SIZE] = {};
    if (command == CMD_MONITOR) {
        ++Count.MonitorRequests;
        TMonitorData m;
        MonitorData(m);
        std::memcpy(data, m.Bytes + 1, FRAME_DATA_SIZE);
    } else {
        const unsigned page = command & PAGE_MASK;
        const bool read = (command & CMD_READ_FLAG) != 0;
        ++(read ? Count.PageReads : Count.PageWrites)[page];
        // Page 0 is the unit's own: a write there changes nothing.
        if (!read && page == 1) {
            std::memcpy(&Page1, frame + 1, PAGE_SIZE);
            ++Programmed;
            Countdown = Opts.SaveBlocks;
        }
        if (page == 0) {
            const TIdentPage ident = ReportedIdent();
            std::memcpy(data, &ident, PAGE_SIZE);
        } else if (page == 1) {
            std::memcpy(data, &Page1, PAGE_SIZE);
            const int diff = read ? Opts.Faults.ReadReplyDiffer : Opts.Faults.WriteReplyDiffer;
            if (diff >= 0 && diff < static_cast<int>(PAGE_SIZE)) data[diff] ^= 0x01;
        }
        // Pages beyond 1 do not exist in the unit; it answers them with zeros.
    }
    Answer(static_cast<uint8_t>(command | CMD_REPLY_FLAG), data);
}

void SimUnit::MonitorData(TMonitorData& m) {
    m = TMonitorData{};
    m.Bytes[0] = CMD_MONITOR_REPLY;
    PutU16(m, MonitorField::PocetProgramovani, Programmed);
    PutU16(m, MonitorField::SavingCountdown, Countdown);
    m.Bytes[MonitorField::IgnVersion] = Page0.IgnVersion;
    Engine.Take(Opts.Engine, Page1, m);
    Countdown = Countdown > Opts.SaveStep ? static_cast<uint16_t>(Countdown - Opts.SaveStep) : 0;
}

void SimUnit::Answer(uint8_t command, const uint8_t* data) {
    if (!Seeded || SeededWith != Opts.Faults.Seed) {
        Random.Seed(Opts.Faults.Seed);
        SeededWith = Opts.Faults.Seed;
        Seeded = true;
    }
    if (Random.Chance(Opts.Faults.DropRate)) {
        ++Count.RepliesLost;
        return;
    }
    TLinkFrame frame;
    BuildFrame(frame, command, data);
    if (Random.Chance(Opts.Faults.CorruptRate))
        frame.Bytes[FRAME_SIZE - 1] ^= static_cast<uint8_t>(1u << Random.Below(8));
    if (Random.Chance(Opts.Faults.GarbleRate)) {
        const uint32_t n = 1 + Random.Below(3);
        for (uint32_t i = 0; i < n; ++i)
            frame.Bytes[Random.Below(FRAME_SIZE)] ^= static_cast<uint8_t>(1 + Random.Below(255));
    }

    Chunk chunk;
    if (Random.Chance(Opts.Faults.StrayRate)) {
        const uint32_t n = 1 + Random.Below(3);
        for (uint32_t i = 0; i < n; ++i)
            chunk.Bytes[chunk.Length++] = static_cast<uint8_t>(Random.Below(256));
    }
    std::memcpy(chunk.Bytes.data() + chunk.Length, frame.Bytes.data(), FRAME_SIZE);
    chunk.Length += FRAME_SIZE;
    chunk.Due = PollCount + static_cast<uint64_t>(std::max(Opts.Faults.DelayPolls, 0));

    if (Random.Chance(Opts.Faults.SplitRate)) {
        const size_t cut = 1 + Random.Below(static_cast<uint32_t>(chunk.Length - 1));
        Chunk rest;
        rest.Length = chunk.Length - cut;
        std::memcpy(rest.Bytes.data(), chunk.Bytes.data() + cut, rest.Length);
        rest.Due = chunk.Due + 1;
        chunk.Length = cut;
        Pending.push_back(chunk);
        Pending.push_back(rest);
        if (Random.Chance(Opts.Faults.DuplicateRate)) {
            // The copy follows the whole reply, not its first piece.
            Chunk whole = chunk;
            std::memcpy(whole.Bytes.data() + cut, rest.Bytes.data(), rest.Length);
            whole.Length = cut + rest.Length;
            whole.Due = rest.Due;
            Pending.push_back(whole);
        }
    } else {
        Pending.push_back(chunk);
        if (Random.Chance(Opts.Faults.DuplicateRate)) Pending.push_back(chunk);
    }
    ++Count.RepliesQueued;
}

} // namespace kelmor
