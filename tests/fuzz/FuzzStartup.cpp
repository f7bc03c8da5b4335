// The window's start-up from a settings file and a start-up image of any
// content, with any first argument: whatever the files hold, the window
// comes up with its values in range, its COM items marked by the port, and
// its tick running.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

#include "FuzzInput.h"
#include "support/FakePlatform.h"
#include "support/NewTempDir.h"
#include "ui/TFormHlav.h"

using namespace kelmor;

namespace {

// One folder for the whole run, as the program has one configuration
// folder; removed when the run ends.
const std::string& Folder() {
    static const test::TempFolder folder;
    if (folder.Path().empty()) std::abort();
    return folder.Path();
}

// Writes the file, or removes it when `present` is false.
void Put(const std::string& path, bool present, std::string_view text) {
    if (!present) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return;
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(text.data(), std::streamsize(text.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const uint8_t flags = in.Byte();
    static const char* const WORDS[] = {"ENGLISH", "DEUTSCH", "FRANCE", "CESKY", "deutsch", "X"};
    std::vector<std::string> args;
    if (flags & 8) args.emplace_back(WORDS[(flags >> 4) % 6]);
    const size_t iniLength = in.Byte() * 4u;
    Put(Folder() + "/kelmor.ini", flags & 1, in.Bytes(iniLength));
    Put(Folder() + "/_kelmor.ini", flags & 2, in.Rest());

    test::FakePlatform host;
    host.Config = Folder();
    // The window is large; made in the same memory every time.
    alignas(TFormHlav) static unsigned char storage[sizeof(TFormHlav)];
    TFormHlav* form = new (storage) TFormHlav(host);
    form->FormCreate(args);

    FUZZ_CHECK(form->Language <= 3);
    FUZZ_CHECK(form->SerialLink.ComPort <= 10);
    for (int n = 1; n <= 10; ++n)
        FUZZ_CHECK(form->Model()[ComItem(n)].Checked == (n == form->SerialLink.ComPort));
    TIgnParams normal = form->Params();
    Normalise(normal);
    FUZZ_CHECK(std::memcmp(&normal, &form->Params(), sizeof normal) == 0);

    for (int t = 0; t < 20; ++t)
        form->Timer1Timer();
    FUZZ_CHECK(form->Model()[ControlId::LabelSpojeni].Visible);
    // Shutdown takes what the controls show; that must be a set in range too.
    form->ReadControls();
    form->Normalise();
    form->ShowParams();
    form->~TFormHlav();
    return 0;
}
