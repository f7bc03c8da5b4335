// The INI file on any text: reading every key the program asks for stays
// inside the text, and a value written in place reads back, also after the
// text is saved and parsed again, without disturbing the other keys.
#include <string>

#include "FuzzInput.h"
#include "storage/IniFile.h"

using namespace kelmor;

namespace {

struct Key {
    const char* Section;
    const char* Name;
};
constexpr Key KEYS[] = {
    {"FORM_HLAV", "Left"},  {"FORM_HLAV", "Top"},     {"FORM_HLAV", "Height"},
    {"FORM_HLAV", "Width"}, {"FORM_HLAV", "ComPort"}, {"FORM_HLAV", "Language"},
    {"FORM_HLAV", "File"},  {"FORM_HLAV", "IniDir"},  {"FORM_HLAV", "CheckBoxIgnAll->Checked"},
    {"PORTS", "COM1"},      {"PORTS", "COM10"},
};
constexpr size_t KEY_COUNT = sizeof KEYS / sizeof KEYS[0];

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// What a value can be after a round trip: one line, no blanks at its ends.
std::string Storable(std::string_view v) {
    const size_t br = v.find_first_of("\r\n");
    if (br != std::string_view::npos) v = v.substr(0, br);
    while (!v.empty() && Blank(v.front()))
        v.remove_prefix(1);
    while (!v.empty() && Blank(v.back()))
        v.remove_suffix(1);
    return std::string(v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const Key& key = KEYS[in.Byte() % KEY_COUNT];
    const std::string value = Storable(in.Bytes(in.Byte()));
    const int number = static_cast<int>(static_cast<uint32_t>(in.Byte()) << 24 |
                                        static_cast<uint32_t>(in.Byte()) << 16 |
                                        static_cast<uint32_t>(in.Byte()) << 8 | in.Byte());

    IniFile ini;
    ini.Parse(in.Rest());
    std::string others[KEY_COUNT];
    for (size_t k = 0; k < KEY_COUNT; ++k) {
        others[k] = ini.ReadString(KEYS[k].Section, KEYS[k].Name, "\x01");
        ini.ReadInteger(KEYS[k].Section, KEYS[k].Name, -1);
    }

    ini.WriteString(key.Section, key.Name, value);
    FUZZ_CHECK(ini.ReadString(key.Section, key.Name, "\x01") == value);
    IniFile again;
    again.Parse(ini.Text());
    FUZZ_CHECK(again.ReadString(key.Section, key.Name, "\x01") == value);
    for (size_t k = 0; k < KEY_COUNT; ++k)
        if (&KEYS[k] != &key)
            FUZZ_CHECK(again.ReadString(KEYS[k].Section, KEYS[k].Name, "\x01") == others[k]);

    ini.WriteInteger(key.Section, key.Name, number);
    again.Parse(ini.Text());
    FUZZ_CHECK(again.ReadInteger(key.Section, key.Name, number == 0 ? 1 : 0) == number);
    return 0;
}
