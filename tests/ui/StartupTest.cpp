// Start-up and shutdown: the settings file, the start-up image, the language
// word and the test marker.
#include <cstring>
#include <filesystem>

#include "storage/StartupImage.h"
#include "support/FormFixture.h"
#include "support/TestFiles.h"

namespace kelmor::test {
namespace {

using C = ControlId;
constexpr TPlatform::Geometry DESIGN{0, 0, 936, 735};

class Startup : public FormFixture {
  protected:
    std::string ConfigFile(const char* name) { return Config.Path() + "/" + name; }
    std::string Settings() { return ReadFile(ConfigFile("kelmor.ini")); }
    void WriteSettings(const std::string& text) { WriteTextFile(ConfigFile("kelmor.ini"), text); }
    void WriteImage(const std::string& text) { WriteTextFile(ConfigFile("_kelmor.ini"), text); }

    // A new run: the program starts with the window at its design geometry.
    void StartAnew(const std::vector<std::string>& args = {}) {
        Host.Window = DESIGN;
        Host.PortsMade.clear();
        Start(args);
    }
    static TDeviceImage DefaultImage() {
        TDeviceImage image{};
        SetDefaults(image.Params);
        Normalise(image.Params);
        return image;
    }
    static bool Same(const TDeviceImage& a, const TDeviceImage& b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    }
    int CheckedComItem() {
        int marked = 0;
        for (int n = 1; n <= 10; ++n)
            if (S(ComItem(n)).Checked) marked = marked == 0 ? n : -1;
        return marked;
    }
};

TEST_F(Startup, FirstStartWithoutFiles) {
    StartAnew();
    EXPECT_EQ(Host.Window.Left, (1920 - 936) / 2);
    EXPECT_EQ(Host.Window.Top, (1080 - 735) / 2);
    EXPECT_EQ(Host.Window.Width, 936);
    EXPECT_EQ(Host.Window.Height, 735);
    EXPECT_EQ(Form->SerialLink.ComPort, 1);
    EXPECT_EQ(CheckedComItem(), 1);
    EXPECT_EQ(Host.PortsMade, std::vector<int>{1});
    EXPECT_EQ(Form->Language, LANG_ENGLISH);
    EXPECT_TRUE(Same(Form->DeviceImage, DefaultImage()));
    EXPECT_EQ(S(C::EditOmez1).Caption, "15 000");
    EXPECT_EQ(S(C::LabelFile2).Caption, "");
    EXPECT_FALSE(S(C::CheckBoxIgnAll).Checked);
    EXPECT_FALSE(Form->TestMode);
    EXPECT_FALSE(S(C::LabelTest1).Visible);
    // Starting reads; it writes nothing.
    EXPECT_TRUE(std::filesystem::is_empty(Config.Path()));

    Form->MenuOpenClick();
    Form->MenuSaveClick();
    EXPECT_EQ(Host.OpenProposals, std::vector<std::string>{""});
    EXPECT_EQ(Host.SaveProposals, std::vector<std::string>{""});
}

TEST_F(Startup, CloseAndStartAgainRestoresTheRun) {
    StartAnew();
    Host.Window = {-40, 3000, 800, 600}; // moved off the screen, resized
    Form->MenuCom1Click(C::MenuCom3);
    Form->MenuGermanClick();
    W().UserSetChecked(C::CheckBoxIgnAll, true);
    const std::string file = Config.Path() + "/curve.ign";
    Host.SaveAnswers = {file};
    Form->MenuSaveClick();
    Form->DeviceImage.Ident.FwNumber = 42;
    Form->DeviceImage.Ident.IdText[0] = 'Z';
    Form->Params().Reserved7 = 9;
    Form->Params().Reserved19 = 200;
    W().UserSetText(C::EditAdvance1, "33"); // typed, not committed
    Form->FormClose();

    EXPECT_EQ(Settings(), "[FORM_HLAV]\r\n"
                          "Left=-40\r\n"
                          "Top=3000\r\n"
                          "Height=600\r\n"
                          "Width=800\r\n"
                          "ComPort=3\r\n"
                          "Language=1\r\n"
                          "File=" +
                              file +
                              "\r\n"
                              "IniDir=" +
                              file +
                              "\r\n"
                              "CheckBoxIgnAll->Checked=1\r\n");
    TDeviceImage expected = Form->DeviceImage;
    EXPECT_EQ(expected.Params.Advance[0], 33);
    EXPECT_EQ(ReadFile(ConfigFile("_kelmor.ini")),
              WriteStartupImage(ConstImageBytes(expected.Bytes(), STARTUP_IMAGE_SIZE)));

    StartAnew();
    EXPECT_EQ(Host.Window.Left, -40);
    EXPECT_EQ(Host.Window.Top, 3000);
    EXPECT_EQ(Host.Window.Width, 800);
    EXPECT_EQ(Host.Window.Height, 600);
    EXPECT_EQ(Form->SerialLink.ComPort, 3);
    EXPECT_EQ(CheckedComItem(), 3);
    EXPECT_EQ(Host.PortsMade, std::vector<int>{3});
    EXPECT_EQ(Form->Language, LANG_GERMAN);
    EXPECT_TRUE(S(C::CheckBoxIgnAll).Checked);
    EXPECT_EQ(S(C::LabelFile2).Caption, file);
    EXPECT_TRUE(Same(Form->DeviceImage, expected));
    EXPECT_EQ(S(C::EditAdvance1).Caption, "33");
    Host.OpenAnswers.clear();
    Form->MenuOpenClick();
    EXPECT_EQ(Host.OpenProposals.back(), file);
}

TEST_F(Startup, SettingsValues) {
    struct Case {
        const char* name;
        std::string settings;
        int port, marked, language, left, top;
    } cases[] = {
        {"language 7", "[FORM_HLAV]\r\nLanguage=7\r\n", 1, 1, 0, 492, 172},
        {"language 3", "[FORM_HLAV]\r\nLanguage=3\r\n", 1, 1, 3, 492, 172},
        {"port 12", "[FORM_HLAV]\r\nComPort=12\r\n", 1, 1, 0, 492, 172},
        {"port 0", "[FORM_HLAV]\r\nComPort=0\r\n", 0, 0, 0, 492, 172},
        {"port 266 keeps its low 8 bits", "[FORM_HLAV]\r\nComPort=266\r\n", 10, 10, 0, 492, 172},
        {"names without case", "[form_hlav]\nCOMPORT=4\nlanguage=2\n", 4, 4, 2, 492, 172},
        {"not integers", "[FORM_HLAV]\r\nLeft=abc\r\nTop=\r\nComPort=x\r\n", 1, 1, 0, 492, 172},
        {"trailing characters", "[FORM_HLAV]\r\nLeft=12px\r\nComPort=3abc\r\nLanguage=1x\r\n", 1, 1,
         0, 492, 172},
        {"far outside the screen", "[FORM_HLAV]\r\nLeft=-5000\r\nTop=99999\r\n", 1, 1, 0, -5000,
         99999},
        {"another section", "[OTHER]\r\nComPort=5\r\n", 1, 1, 0, 492, 172},
    };
    for (const Case& c : cases) {
        WriteSettings(c.settings);
        StartAnew();
        EXPECT_EQ(Form->SerialLink.ComPort, c.port) << c.name;
        EXPECT_EQ(CheckedComItem(), c.marked) << c.name;
        EXPECT_EQ(Host.PortsMade.size(), c.port == 0 ? 0u : 1u) << c.name;
        EXPECT_EQ(Form->Language, c.language) << c.name;
        EXPECT_EQ(Host.Window.Left, c.left) << c.name;
        EXPECT_EQ(Host.Window.Top, c.top) << c.name;
    }
}

TEST_F(Startup, ImageFiles) {
    // Fifty numbers: only the identification page.
    std::string fifty;
    for (int k = 1; k <= 50; ++k)
        fifty += std::to_string(k) + (k % 10 == 0 ? "\r\n" : " ");
    WriteImage(fifty);
    StartAnew();
    TDeviceImage expected = DefaultImage();
    for (int k = 0; k < 50; ++k)
        expected.Bytes()[k] = static_cast<uint8_t>(k + 1);
    EXPECT_TRUE(Same(Form->DeviceImage, expected));

    // A word that is not a number: it and every byte after it get the last number.
    WriteImage("1 2 3 x 9 9");
    StartAnew();
    TDeviceImage broken{};
    std::memset(broken.Bytes(), 3, sizeof broken);
    broken.Bytes()[0] = 1;
    broken.Bytes()[1] = 2;
    Normalise(broken.Params);
    broken.Params.Bike = 0;
    EXPECT_TRUE(Same(Form->DeviceImage, broken));

    // A keying type 7 from the image cuts the advances once, then reads 0.
    TDeviceImage keyed = DefaultImage();
    keyed.Params.Bike = 7;
    keyed.Params.BaseAdv = 8;
    WriteImage(WriteStartupImage(ConstImageBytes(keyed.Bytes(), STARTUP_IMAGE_SIZE)));
    StartAnew();
    EXPECT_EQ(Form->Params().Bike, 0);
    EXPECT_EQ(Form->Params().Advance[14], 8);

    // A folder by the image's name is no image.
    std::filesystem::remove(ConfigFile("_kelmor.ini"));
    std::filesystem::create_directory(ConfigFile("_kelmor.ini"));
    StartAnew();
    EXPECT_TRUE(Same(Form->DeviceImage, DefaultImage()));
}

TEST_F(Startup, LanguageWordOnTheCommandLine) {
    struct Case {
        std::vector<std::string> args;
        int language;
    } cases[] = {
        {{"DEUTSCH"}, 1},          {{"deutsch"}, 2},
        {{"CESKY", "DEUTSCH"}, 3}, {{"ENGLISH"}, 0},
        {{"FRANCE"}, 2},           {{""}, 2},
        {{"Deutsch"}, 2},          {{"-platform", "DEUTSCH"}, 2},
    };
    for (const Case& c : cases) {
        WriteSettings("[FORM_HLAV]\r\nLanguage=2\r\n");
        StartAnew(c.args);
        EXPECT_EQ(Form->Language, c.language) << c.args[0];
        Form->FormClose();
        EXPECT_NE(Settings().find("Language=" + std::to_string(c.language) + "\r\n"),
                  std::string::npos)
            << c.args[0];
    }
}

TEST_F(Startup, ShutdownRewritesOnlyItsOwnValues) {
    WriteSettings("; ports of this workshop\r\n"
                  "[PORTS]\r\n"
                  "COM1=/dev/ttyUSB3\r\n"
                  "COM2=sim\r\n"
                  "\r\n"
                  "[FORM_HLAV]\r\n"
                  "Language=1\r\n"
                  "Extra=kept\r\n"
                  "ComPort=2\r\n"
                  "\r\n"
                  "[LAST]\r\n"
                  "x=1\r\n");
    StartAnew();
    Form->FormClose();
    EXPECT_EQ(Settings(), "; ports of this workshop\r\n"
                          "[PORTS]\r\n"
                          "COM1=/dev/ttyUSB3\r\n"
                          "COM2=sim\r\n"
                          "\r\n"
                          "[FORM_HLAV]\r\n"
                          "Language=1\r\n"
                          "Extra=kept\r\n"
                          "ComPort=2\r\n"
                          "Left=492\r\n"
                          "Top=172\r\n"
                          "Height=735\r\n"
                          "Width=936\r\n"
                          "File=\r\n"
                          "IniDir=\r\n"
                          "CheckBoxIgnAll->Checked=0\r\n"
                          "\r\n"
                          "[LAST]\r\n"
                          "x=1\r\n");
}

TEST_F(Startup, NewThenCloseKeepsTheLastFileName) {
    StartAnew();
    const std::string file = Config.Path() + "/a.ign";
    Host.SaveAnswers = {file};
    Form->MenuSaveClick();
    Host.Answers = {TPlatform::Answer::Yes};
    Form->MenuNewClick();
    Form->FormClose();
    EXPECT_NE(Settings().find("\r\nFile=\r\nIniDir=" + file + "\r\n"), std::string::npos);
}

TEST_F(Startup, ShutdownThatCannotWriteKeepsTheOldFiles) {
    KELMOR_POSIX_ONLY("a file-size limit");
    StartAnew();
    Form->FormClose();
    const std::string settings = Settings();
    const std::string image = ReadFile(ConfigFile("_kelmor.ini"));
    ASSERT_FALSE(image.empty());

    StartAnew();
    Form->MenuCom1Click(C::MenuCom5);
    Form->Params().Reserved8 = 1;
    {
        FileSizeLimit full(8);
        Form->FormClose();
    }
    EXPECT_TRUE(Host.Boxes.empty());
    EXPECT_EQ(Settings(), settings);
    EXPECT_EQ(ReadFile(ConfigFile("_kelmor.ini")), image);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Config.Path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST_F(Startup, FirstShutdownCreatesTheFolder) {
    Host.Config = Config.Path() + "/new/kelmor";
    StartAnew();
    Form->MenuCom1Click(C::MenuCom4);
    Form->FormClose();
    StartAnew();
    EXPECT_EQ(Form->SerialLink.ComPort, 4);
}

TEST_F(Startup, SettingsThatCannotBeReadAreNotReplaced) {
    // A folder in the settings file's place: neither read nor overwritten,
    // while the image is still saved.
    std::filesystem::create_directory(ConfigFile("kelmor.ini"));
    StartAnew();
    Form->FormClose();
    EXPECT_TRUE(std::filesystem::is_directory(ConfigFile("kelmor.ini")));
    EXPECT_TRUE(std::filesystem::is_regular_file(ConfigFile("_kelmor.ini")));
}

TEST_F(Startup, TestMarkerFile) {
    const std::string longWord(300, 'D');
    struct Case {
        const char* name;
        std::string text;
        bool on;
    } cases[] = {
        {"marker among other words", "hello\r\nDIAG_UNLOCK  world", true},
        {"marker alone", "DIAG_UNLOCK", true},
        {"small letters", "diag_unlock", false},
        {"letters attached", "DIAG_UNLOCKED XDIAG_UNLOCK", false},
        {"empty", "", false},
        {"long words around it", longWord + " DIAG_UNLOCK " + longWord, true},
        {"marker with a long tail", "DIAG_UNLOCK" + longWord, false},
        {"a 255-character word ending in the marker", std::string(244, 'x') + "DIAG_UNLOCK", false},
    };
    for (const Case& c : cases) {
        WriteTextFile(ConfigFile("test_brelin.txt"), c.text);
        StartAnew();
        EXPECT_EQ(Form->TestMode, c.on) << c.name;
        for (int n = 1; n <= 8; ++n)
            EXPECT_EQ(S(TestLabel(n)).Visible, c.on) << c.name << " label " << n;
    }
    std::filesystem::remove(ConfigFile("test_brelin.txt"));
    StartAnew();
    EXPECT_FALSE(Form->TestMode);
}

} // namespace
} // namespace kelmor::test
