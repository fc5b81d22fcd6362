#include <gtest/gtest.h>

#include "IniFiles.h"
#include "Settings.h"
#include "TempDir.h"
#include "U_DBM.h"

TEST(Settings, MissingFileSectionOrKeyReadsEmpty)
{
    TTempCurrentDir dir;
    TDBM dbm(nullptr);
    EXPECT_EQ(dbm.ReadConfig("pro"), "");
    EXPECT_EQ(dbm.ReadDealerInfo("jxs"), "");

    dir.Write("Config.INI", "[Other]\r\npro=1.0\r\n");
    EXPECT_EQ(dbm.ReadConfig("pro"), "");
    dir.Write("Config.INI", "[OLEDB5]\r\nkaoshi=x\r\n");
    EXPECT_EQ(dbm.ReadConfig("pro"), "");
}

TEST(Settings, NamesMatchWithoutCaseAndGbkValuesComeBackUnchanged)
{
    TTempCurrentDir dir;
    dir.Write("Config.INI", "[oledb5]\r\nKAOSHI=司法考试\r\nHzsId=42\r\n");
    dir.Write("data/brightdesk.INI", "[OLEDB5]\r\njxs=北京经销商\r\n");
    TDBM dbm(nullptr);
    EXPECT_EQ(dbm.ReadConfig("kaoshi"), "司法考试");
    EXPECT_EQ(dbm.ReadConfig("HZSID"), "42");
    EXPECT_EQ(ReadConfigKey("hzsid"), "42");
    EXPECT_EQ(dbm.ReadDealerInfo("JXS"), "北京经销商");
}

TEST(Settings, BlanksAndOnePairOfEnclosingQuotesAreStripped)
{
    TTempCurrentDir dir;
    dir.Write("Config.INI", "[OLEDB5]\r\n"
                            "a=  spaced  \r\n"
                            "b=\"quoted\"\r\n"
                            "c=\" inner \"\r\n"
                            "d=\"half\r\n");
    EXPECT_EQ(ReadConfigKey("a"), "spaced");
    EXPECT_EQ(ReadConfigKey("b"), "quoted");
    EXPECT_EQ(ReadConfigKey("c"), " inner ");
    EXPECT_EQ(ReadConfigKey("d"), "\"half");
}

TEST(Settings, LongValueIsCutTo2047Bytes)
{
    TTempCurrentDir dir;
    dir.Write("Config.INI", "[OLEDB5]\r\nwz=" + std::string(3000, 'w') + "\r\n");
    EXPECT_EQ(ReadConfigKey("wz"), std::string(2047, 'w'));
}

// The profile functions write the text raw: the value ends at the line break and what follows
// is read as a line of its own. Writers of outside text must not pass line breaks on.
TEST(Settings, ValueWithLineBreakEndsThereAndTheRestBecomesALine)
{
    TTempCurrentDir dir;
    TIniFile ini(dir.Path() + "\\Config.ini");
    ini.WriteString("OLEDB5", "pro", "2.0\r\nkaoshi=injected");
    EXPECT_EQ(ReadConfigKey("pro"), "2.0");
    EXPECT_EQ(ReadConfigKey("kaoshi"), "injected");
}

TEST(Settings, WriteCreatesFileAndSectionAndRefusedWriteNamesTheFile)
{
    TTempCurrentDir dir;
    TIniFile(dir.Path() + "\\Config.ini").WriteString("OLEDB5", "pro", "3.1");
    EXPECT_EQ(ReadConfigKey("pro"), "3.1");

    const std::string missing = dir.Path() + "\\no such folder\\Config.ini";
    try {
        TIniFile(missing).WriteString("OLEDB5", "pro", "3.1");
        FAIL() << "write into a missing folder succeeded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + missing);
    }
}

TEST(Settings, ReadersFollowTheCurrentDirectoryNotTheProgramsFolder)
{
    TTempCurrentDir first;
    first.Write("Config.INI", "[OLEDB5]\r\nksbh=first\r\n");
    TDBM dbm(nullptr);
    EXPECT_EQ(dbm.ReadConfig("ksbh"), "first");
    {
        TTempCurrentDir second;
        second.Write("Config.INI", "[OLEDB5]\r\nksbh=second\r\n");
        second.Write("data/brightdesk.INI", "[OLEDB5]\r\nlxfs=010-1234\r\n");
        EXPECT_EQ(dbm.ReadConfig("ksbh"), "second");
        EXPECT_EQ(dbm.ReadDealerInfo("lxfs"), "010-1234");
    }
    EXPECT_EQ(dbm.ReadConfig("ksbh"), "first");
    EXPECT_EQ(dbm.ReadDealerInfo("lxfs"), "");
}
