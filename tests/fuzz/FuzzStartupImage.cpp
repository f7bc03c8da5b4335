// The start-up image reader on any text: inside its buffers, and the image it
// leaves is written and read back byte for byte.
#include <array>
#include <cstring>

#include "FuzzInput.h"
#include "storage/StartupImage.h"

using namespace kelmor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::array<uint8_t, STARTUP_IMAGE_SIZE> image;
    image.fill(0xA5);
    ReadStartupImage(text, ImageBytes(image.data(), STARTUP_IMAGE_SIZE));

    const std::string written =
        WriteStartupImage(ConstImageBytes(image.data(), STARTUP_IMAGE_SIZE));
    FUZZ_CHECK(written.size() == 10 * (10 * 6 + 2));
    std::array<uint8_t, STARTUP_IMAGE_SIZE> again{};
    ReadStartupImage(written, ImageBytes(again.data(), STARTUP_IMAGE_SIZE));
    FUZZ_CHECK(again == image);
    return 0;
}
