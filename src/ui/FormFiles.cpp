// Parameter files, settings, print, manual and test mode of the main window.
#include <filesystem>

#include "storage/AtomicFile.h"
#include "storage/IgnFile.h"
#include "storage/IniFile.h"
#include "storage/OsFile.h"
#include "storage/StartupImage.h"
#include "storage/TokenReader.h"
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
using C = ControlId;

constexpr const char* SETTINGS_FILE = "kelmor.ini";
constexpr const char* IMAGE_FILE = "_kelmor.ini";
constexpr const char* TEST_MARKER_FILE = "test_brelin.txt";
constexpr const char* SECTION = "FORM_HLAV";
// The marker file's reader holds words of up to 255 characters.
constexpr size_t MAX_MARKER_WORD = 255;

static_assert(STARTUP_IMAGE_SIZE == sizeof(TDeviceImage));

std::string InFolder(const std::string& folder, const char* name) {
    return Utf8FromPath(PathFromUtf8(folder) / name);
}
} // namespace

void TFormHlav::LoadSettings() {
    const std::string folder = Host.ConfigDir();
    IniFile ini;
    ini.Load(InFolder(folder, SETTINGS_FILE));

    // Every item reads with its present value as the default, so an absent
    // key changes nothing.
    TPlatform::Geometry g = Host.WindowGeometry();
    g.Left = ini.ReadInteger(SECTION, "Left", g.Left);
    g.Top = ini.ReadInteger(SECTION, "Top", g.Top);
    g.Height = ini.ReadInteger(SECTION, "Height", g.Height);
    g.Width = ini.ReadInteger(SECTION, "Width", g.Width);
    Host.SetWindowGeometry(g);

    SerialLink.ComPort =
        static_cast<uint8_t>(ini.ReadInteger(SECTION, "ComPort", SerialLink.ComPort) & 0xFF);
    Language = static_cast<TLanguage>(ini.ReadInteger(SECTION, "Language", Language) & 0xFF);
    Window.SetCaption(C::LabelFile2, ini.ReadString(SECTION, "File", ""));
    // The dialogs propose LastFileName whenever they are shown.
    LastFileName = ini.ReadString(SECTION, "IniDir", "");
    const int all =
        ini.ReadInteger(SECTION, "CheckBoxIgnAll->Checked", Window[C::CheckBoxIgnAll].Checked);
    Window.SetChecked(C::CheckBoxIgnAll, all != 0);

    // Text files are read as they are; a folder or a device is no file to read.
    std::string image;
    if (!ReadWholeFile(InFolder(folder, IMAGE_FILE), image)) return;
    ReadStartupImage(image, ImageBytes(DeviceImage.Bytes(), STARTUP_IMAGE_SIZE));
    ImageRead = true;
}

void TFormHlav::SaveSettings() {
    const std::string folder = Host.ConfigDir();
    const std::string settingsPath = InFolder(folder, SETTINGS_FILE);
    // A first run may find no folder yet.
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(folder), ec);
    // Loaded again so that lines written by hand meanwhile (PORTS) survive. A
    // file that is there but cannot be read is not replaced by one without them.
    IniFile ini;
    const bool readable =
        ini.Load(settingsPath) || !std::filesystem::exists(PathFromUtf8(settingsPath), ec);

    const TPlatform::Geometry g = Host.WindowGeometry();
    ini.WriteInteger(SECTION, "Left", g.Left);
    ini.WriteInteger(SECTION, "Top", g.Top);
    ini.WriteInteger(SECTION, "Height", g.Height);
    ini.WriteInteger(SECTION, "Width", g.Width);
    ini.WriteInteger(SECTION, "ComPort", SerialLink.ComPort);
    ini.WriteInteger(SECTION, "Language", Language);
    ini.WriteString(SECTION, "File", Window[C::LabelFile2].Caption);
    ini.WriteString(SECTION, "IniDir", LastFileName);
    ini.WriteInteger(SECTION, "CheckBoxIgnAll->Checked", Window[C::CheckBoxIgnAll].Checked ? 1 : 0);
    // Shutdown shows nothing: a file that cannot be written keeps its old
    // content, which the next start reads.
    if (readable) ini.Save(settingsPath);

    WriteFileAtomically(
        InFolder(folder, IMAGE_FILE),
        WriteStartupImage(ConstImageBytes(DeviceImage.Bytes(), STARTUP_IMAGE_SIZE)));
}

void TFormHlav::ReadTestFile() {
    TestMode = false;
    std::string text;
    if (!ReadWholeFile(InFolder(Host.ConfigDir(), TEST_MARKER_FILE), text)) return;
    ViewStream in(text);
    TokenReader words(in, MAX_MARKER_WORD);
    Token word;
    while (words.Next(word))
        if (!word.TooLong && word.Text == "DIAG_UNLOCK") TestMode = true;
}

void TFormHlav::MenuNewClick() {
    if (Host.AskYesNoCancel(Messages.MsgAskDefaults) != TPlatform::Answer::Yes) return;
    SetDefaults(Params());
    ApplyEdit();
    Window.SetVisible(C::LabelHlaseni, false);
    Window.SetVisible(C::CGaugeProgram, false);
    Window.SetCaption(C::LabelFile2, "");
    State.NoFile();
    ShowSetState();
}

void TFormHlav::MenuOpenClick() {
    if (std::optional<std::string> path = Host.OpenDialog(LastFileName)) OpenParameterFile(*path);
    Window.SetVisible(C::LabelHlaseni, false);
    Window.SetVisible(C::CGaugeProgram, false);
}

void TFormHlav::MenuSaveClick() {
    std::optional<std::string> path = Host.SaveDialog(LastFileName);
    if (!path) return;
    // The new file goes beside the chosen one and replaces it only when
    // complete, so a failed write leaves the old file as it was.
    AtomicFileWriter file;
    if (!file.Open(*path)) {
        Host.MessageBox(Messages.MsgFileOpenError);
        return;
    }
    ReadControls();
    Normalise();
    ShowParams();
    if (!file.Write(WriteIgnFile(Params())) || !file.Commit()) {
        Host.MessageBox(Messages.MsgFileOpenError);
        return;
    }
    Window.SetCaption(C::LabelFile2, *path);
    LastFileName = *path;
    State.FileIs(*path, Params());
    ShowSetState();
}

void TFormHlav::SpeedButtonPrintClick() {
    Window.SetCaption(C::LabelHlaseni, Messages.MsgPrintTime + Host.DateTimeText());
    Window.SetColour(C::LabelHlaseni, Colour::White);
    Window.SetVisible(C::LabelHlaseni, true);
    Window.SetVisible(C::LabelSpojeni, false);
    MessageHold = MESSAGE_HOLD_TICKS;
    Window.SetVisible(C::CGaugeProgram, false);
    Printing = true;
    UpdateVisibility();

    std::string error;
    const bool printed = Host.PrintWindow(error);

    Printing = false;
    UpdateVisibility();
    Window.SetColour(C::LabelHlaseni, Colour::ButtonFace);
    // Shown once the normal look is back, not over the paper look.
    if (!printed) Host.MessageBox(error);
}

void TFormHlav::MenuContensClick() {
    if (!Host.OpenDocument(Messages.MsgManualFile)) Host.MessageBox(Messages.MsgManualOpenError);
}

} // namespace kelmor
