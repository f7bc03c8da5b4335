// The .ign reader on any text: it must stay inside its buffers, store nothing
// without the version key, and what it reads must survive a write and a
// second read unchanged.
#include <cstring>

#include "FuzzInput.h"
#include "storage/IgnFile.h"
#include "storage/TokenReader.h"

using namespace kelmor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    TIgnParams before;
    SetDefaults(before);
    before.Reserved7 = 7;
    before.Reserved8 = 8;
    before.Reserved19 = 19;
    TIgnParams p = before;
    const bool matched = ReadIgnFile(text, p);
    if (!matched) {
        FUZZ_CHECK(std::memcmp(&p, &before, sizeof p) == 0);
        return 0;
    }
    FUZZ_CHECK(p.Reserved7 == 7 && p.Reserved8 == 8 && p.Reserved19 == 19);

    // Written and read back into other values: every field the file holds
    // comes back; the two flags come back as 0 or 1.
    Normalise(p);
    const std::string written = WriteIgnFile(p);
    TIgnParams q{};
    FUZZ_CHECK(ReadIgnFile(written, q));
    TIgnParams expected = p;
    expected.Reserved7 = expected.Reserved8 = expected.Reserved19 = 0;
    expected.RevOutLedRazeni = p.RevOutLedRazeni != 0;
    expected.ZakazCteni = p.ZakazCteni != 0;
    FUZZ_CHECK(std::memcmp(&q, &expected, sizeof q) == 0);
    FUZZ_CHECK(WriteIgnFile(q) == WriteIgnFile(expected));
    return 0;
}
