#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "storage/IniFile.h"
#include "support/TestFiles.h"

namespace kelmor {
namespace {

TEST(IniFile, RewritesInPlaceAndKeepsEverythingElse) {
    IniFile ini;
    ini.Parse("; written by hand\r\n"
              "[PORTS]\r\n"
              "COM1=/dev/ttyUSB0\r\n"
              "COM2 = sim \r\n"
              "\r\n"
              "[form_hlav]\r\n"
              "left=5\r\n"
              "; keep me\r\n"
              "Top=7\r\n"
              "\r\n"
              "[Other]\r\n"
              "Left=99\r\n");
    ini.WriteInteger("FORM_HLAV", "Left", -12);
    ini.WriteString("FORM_HLAV", "File", "/home/m/a b.ign");
    ini.WriteInteger("FORM_HLAV", "TOP", 8);
    ini.WriteString("NEW", "Key", "v");
    EXPECT_EQ(ini.Text(), "; written by hand\r\n"
                          "[PORTS]\r\n"
                          "COM1=/dev/ttyUSB0\r\n"
                          "COM2 = sim \r\n"
                          "\r\n"
                          "[form_hlav]\r\n"
                          "left=-12\r\n"
                          "; keep me\r\n"
                          "Top=8\r\n"
                          "File=/home/m/a b.ign\r\n"
                          "\r\n"
                          "[Other]\r\n"
                          "Left=99\r\n"
                          "[NEW]\r\n"
                          "Key=v\r\n");
    EXPECT_EQ(ini.ReadString("ports", "com2", "x"), "sim");
    EXPECT_EQ(ini.ReadInteger("Other", "LEFT", 0), 99);
}

TEST(IniFile, NewFileKeepsWritingOrder) {
    IniFile ini;
    ini.WriteInteger("FORM_HLAV", "Left", 1);
    ini.WriteInteger("FORM_HLAV", "Top", 2);
    ini.WriteString("FORM_HLAV", "File", "");
    ini.WriteInteger("FORM_HLAV", "Left", 3);
    EXPECT_EQ(ini.Text(), "[FORM_HLAV]\r\nLeft=3\r\nTop=2\r\nFile=\r\n");
}

TEST(IniFile, ValueIsEverythingAfterTheFirstEqualsSign) {
    IniFile ini;
    ini.Parse("\xEF\xBB\xBF[S]\nK =  a=b \"c\"  \nE=\n");
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "a=b \"c\"");
    EXPECT_EQ(ini.ReadString("S", "E", "d"), "");
    EXPECT_EQ(ini.ReadString("S", "Missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("T", "K", "d"), "d");
}

TEST(IniFile, LineBreaksInAValueCannotAddKeys) {
    IniFile ini;
    ini.WriteString("S", "File", "/tmp/x\r\n[S]\r\nComPort=9");
    EXPECT_EQ(ini.Text(), "[S]\r\nFile=/tmp/x\r\n");
    EXPECT_EQ(ini.ReadInteger("S", "ComPort", 1), 1);
}

TEST(IniFile, ReadIntegerNeedsAWholeInteger) {
    struct Case {
        const char* value;
        int expected;
    } cases[] = {
        {"42", 42},
        {"-7", -7},
        {"+3", 3},
        {"  12  ", 12},
        {"12abc", -1},
        {"1x", -1},
        {"3 4", -1},
        {"abc", -1},
        {"", -1},
        {"-", -1},
        {"+-4", -1},
        {"1.5", -1},
        {"0x10", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", -1},
        {"99999999999999999999", -1},
    };
    for (const Case& c : cases) {
        IniFile ini;
        ini.Parse(std::string("[S]\r\nK=") + c.value + "\r\n");
        EXPECT_EQ(ini.ReadInteger("S", "K", -1), c.expected) << c.value;
    }
    IniFile empty;
    EXPECT_EQ(empty.ReadInteger("S", "K", 17), 17);
}

TEST(IniFile, ToleratesJunk) {
    std::string junk = "[S]\r\nK=1\r\n";
    junk += std::string(200000, 'x');
    junk += "\n";
    for (int i = 0; i < 256; ++i)
        junk += static_cast<char>(i);
    junk += "\r\n[S\n=\n=v\n[]\nK2=2";
    IniFile ini;
    ini.Parse(junk);
    EXPECT_EQ(ini.ReadInteger("S", "K", 0), 1);
    EXPECT_EQ(ini.ReadInteger("S", "K2", 0), 0);
    ini.WriteInteger("S", "K", 5);
    EXPECT_EQ(ini.Text().substr(0, 10), "[S]\r\nK=5\r\n");
}

TEST(IniFile, SaveReplacesTheFileWholeOrNotAtAll) {
    test::TempFolder dir;
    const std::string path = dir.File("kelmor.ini");
    IniFile ini;
    EXPECT_FALSE(ini.Load(path));
    ini.WriteInteger("FORM_HLAV", "Left", 4);
    ASSERT_TRUE(ini.Save(path));
    IniFile back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.Text(), "[FORM_HLAV]\r\nLeft=4\r\n");
    // Only the file itself: no leftovers beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);

    // A folder where the file should be cannot be replaced.
    const std::string folder = dir.File("sub");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(ini.Save(folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(ini.Save(dir.File("missing/kelmor.ini")));
}

} // namespace
} // namespace kelmor
