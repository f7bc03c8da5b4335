// The receive path of the main window: arbitrary bytes arriving in arbitrary
// pieces over many ticks, while the fuzzer starts transfers, answers the
// requests (rightly or wrongly), loses the line, prints and keeps modal boxes
// open. Whatever arrives, the window must stay in its state space and send
// only well-formed requests.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "FuzzInput.h"
#include "link/TLinkFrame.h"
#include "support/FakePlatform.h"
#include "ui/TFormHlav.h"

using namespace kelmor;

namespace {

constexpr int MAX_TICKS = 4000;
constexpr int MAX_NESTING = 3;

// The scripted line, kept in flat buffers so that floods cost little.
struct Line {
    std::vector<uint8_t> Received;
    size_t ReadPos = 0;
    std::vector<uint8_t> Written;
    bool OpenFails = false;
    bool Opened = false;
    bool ReadsFail = false; // bytes are counted but no read returns any

    size_t Waiting() const { return Received.size() - ReadPos; }
    void Feed(const uint8_t* bytes, size_t n) {
        if (ReadPos == Received.size()) {
            Received.clear();
            ReadPos = 0;
        }
        Received.insert(Received.end(), bytes, bytes + n);
    }
    void Flood(size_t n, uint8_t fill) { Received.insert(Received.end(), n, fill); }
    void Clear() {
        Received.clear();
        ReadPos = 0;
    }
};

class LinePort : public SerialPort {
  public:
    explicit LinePort(Line& line) : L(line) {}
    bool Open() override {
        if (!L.OpenFails) L.Opened = true;
        return L.Opened;
    }
    void Configure(const TTimeouts&, TTimeouts& saved) override { saved = {}; }
    size_t BytesWaiting() override { return L.Opened ? L.Waiting() : 0; }
    size_t ReadBytes(uint8_t* buffer, size_t n) override {
        if (!L.Opened || L.ReadsFail) return 0;
        n = std::min(n, L.Waiting());
        std::memcpy(buffer, L.Received.data() + L.ReadPos, n);
        L.ReadPos += n;
        return n;
    }
    void WriteBytes(const uint8_t* buffer, size_t n) override {
        if (L.Opened) L.Written.insert(L.Written.end(), buffer, buffer + n);
    }
    void WaitTransmitted() override {}
    void PurgeReceive() override {}
    void Close(const TTimeouts&) override { L.Opened = false; }
    bool IsOpen() const override { return L.Opened; }

  private:
    Line& L;
};

struct Harness {
    Line Wire;
    test::FakePlatform Host;
    TFormHlav* Form = nullptr;
    int Ticks = 0;
    int Nesting = 0;
    int TicksInBox = 0;
    // The last request the window sent, for answers that follow it.
    TLinkFrame LastRequest{};
    bool HaveRequest = false;

    Harness() {
        Host.Config = "/nonexistent-kelmor-fuzz";
        Host.PortFactory = [this](int) { return std::make_unique<LinePort>(Wire); };
        Host.WhileBoxOpen = [this] {
            // A modal box runs the timer in a nested loop.
            if (Nesting >= MAX_NESTING) return;
            ++Nesting;
            for (int i = 0; i < TicksInBox; ++i)
                Tick();
            --Nesting;
        };
        // The window is large; made in the same memory every time, so a run
        // does not pay for fresh pages.
        alignas(TFormHlav) static unsigned char storage[sizeof(TFormHlav)];
        Form = new (storage) TFormHlav(Host);
        Form->FormCreate({});
    }

    ~Harness() { Form->~TFormHlav(); }
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    // Every byte the window wrote is a whole request with a good checksum
    // and one of the commands the program uses.
    void CheckWritten() {
        const auto& w = Wire.Written;
        FUZZ_CHECK(w.size() % FRAME_SIZE == 0);
        for (size_t i = 0; i < w.size(); i += FRAME_SIZE) {
            const uint8_t* f = w.data() + i;
            FUZZ_CHECK(FrameChecksumOk(f));
            const uint8_t c = f[0];
            FUZZ_CHECK(c == CMD_MONITOR || c == 0x00 || c == 0x01 || c == 0x40 || c == 0x41);
            if (c == CMD_MONITOR || c == 0x40)
                for (size_t k = 1; k <= FRAME_DATA_SIZE; ++k)
                    FUZZ_CHECK(f[k] == 0);
            std::copy_n(f, FRAME_SIZE, LastRequest.Bytes.begin());
            HaveRequest = true;
        }
        Wire.Written.clear();
    }

    void CheckState(bool afterTick) {
        const TFormHlav& f = *Form;
        FUZZ_CHECK(f.Mode <= tmRead);
        FUZZ_CHECK(f.ConnectionAge <= CONNECTION_TIMEOUT_TICKS);
        FUZZ_CHECK(f.MessageHold <= MESSAGE_HOLD_TICKS);
        FUZZ_CHECK(f.RetryCount <= 6);
        FUZZ_CHECK(f.Mode == tmIdle || f.PageCommand == 0x00 || f.PageCommand == 0x01 ||
                   f.PageCommand == 0x40 || f.PageCommand == 0x41);
        // A running transfer resends when the count reaches 4.
        if (afterTick) FUZZ_CHECK(f.Mode == tmIdle || f.TickCount < 4);
        const int gauge = Form->Model()[ControlId::CGaugeProgram].Progress;
        FUZZ_CHECK(gauge >= 0 && gauge <= 3);
    }

    void Tick() {
        ++Ticks;
        Form->Timer1Timer();
        CheckWritten();
        CheckState(true);
    }

    void Feed(const uint8_t* bytes, size_t n) { Wire.Feed(bytes, n); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    Harness h;
    h.CheckWritten();
    TFormHlav& form = *h.Form;

    while (in.More() && h.Ticks < MAX_TICKS) {
        const uint8_t op = in.Byte();
        switch (op % 8) {
        case 0: { // raw bytes as they come off the line
            const std::string_view bytes = in.Bytes(in.Byte() % 128u + 1u);
            h.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            break;
        }
        case 1: { // time passes
            const int n = in.Byte() % 32 + 1;
            for (int i = 0; i < n && h.Ticks < MAX_TICKS; ++i)
                h.Tick();
            break;
        }
        case 2: // the user starts a transfer
            switch (in.Byte() % 4) {
            case 0:
                form.MenuReadClick();
                break;
            case 1:
                form.MenuVerifyClick();
                break;
            case 2:
                form.MenuProgramClick();
                break;
            default:
                form.StartProgram();
                break;
            }
            h.CheckState(false);
            break;
        case 3: { // a frame with a good checksum, any command and data
            uint8_t frame[FRAME_SIZE] = {};
            frame[0] = in.Byte();
            const std::string_view d = in.Bytes(FRAME_DATA_SIZE);
            std::copy(d.begin(), d.end(), frame + 1);
            frame[FRAME_SIZE - 1] = FrameChecksum(frame);
            const size_t cut = in.Byte() % (FRAME_SIZE + 1);
            h.Feed(frame, cut);
            if (cut < FRAME_SIZE) {
                h.Tick();
                h.Feed(frame + cut, FRAME_SIZE - cut);
            }
            break;
        }
        case 4: { // an answer to the last request, as a unit would give it, bent a little
            const uint8_t allowed = in.Byte(), version = in.Byte(), at = in.Byte(),
                          flip = in.Byte();
            if (!h.HaveRequest) break;
            TLinkFrame reply = h.LastRequest;
            reply.Bytes[0] |= CMD_REPLY_FLAG;
            if (reply.Bytes[0] == 0x80 || reply.Bytes[0] == 0xC0) {
                reply.Bytes[1 + 9] = allowed < 16 ? 0 : 1;
                reply.Bytes[1 + 10] = version < 16 ? 66 : PC_VERSION;
            } else if (reply.Bytes[0] == 0xC1) {
                const uint8_t* page = form.DeviceImage.Page(1);
                std::copy_n(page, PAGE_SIZE, reply.Bytes.begin() + 1);
            }
            if (at < FRAME_DATA_SIZE) reply.Bytes[1 + at] ^= flip;
            reply.Bytes[FRAME_SIZE - 1] = FrameChecksum(reply.Bytes.data());
            h.Feed(reply.Bytes.data(), FRAME_SIZE);
            break;
        }
        case 5: // the line and the window misbehave
            switch (in.Byte() % 6) {
            case 0:
                h.Wire.ReadsFail = !h.Wire.ReadsFail;
                break;
            case 1:
                h.Wire.OpenFails = !h.Wire.OpenFails;
                break;
            case 2:
                form.MenuCom1Click(ControlId::MenuCom1);
                break;
            case 3:
                form.ClosePort();
                break;
            case 4:
                form.Printing = !form.Printing;
                break;
            default:
                h.Wire.Clear();
                break;
            }
            h.CheckWritten();
            break;
        case 6: // how long the next modal box stays open
            h.TicksInBox = in.Byte() % 16;
            break;
        default: { // a flood: more than the receive buffer takes at once
            const size_t n = (in.Byte() + 1u) * 80u;
            const uint8_t fill = in.Byte();
            h.Wire.Flood(n, fill);
            break;
        }
        }
    }
    // However it was left, the window settles: a transfer ends within its resends.
    for (int i = 0; i < 80; ++i)
        h.Tick();
    FUZZ_CHECK(form.Mode == tmIdle);
    return 0;
}
