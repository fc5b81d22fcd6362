#include <gtest/gtest.h>

#include "Streams.h"
#include "StringList.h"

TEST(MemoryStream, ReadsBackWhatWasWrittenAndStopsAtTheEnd)
{
    TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    EXPECT_EQ(stream.Size(), 6);
    stream.SetPosition(4);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 2u);
    EXPECT_STREQ(buffer, "ef");
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    stream.SetPosition(5);
    EXPECT_THROW(stream.ReadBuffer(buffer, 2), EReadError);
}

TEST(MemoryStream, SeekBeforeStartClampsAndWritePastEndFillsTheGap)
{
    TMemoryStream stream;
    EXPECT_EQ(stream.Seek(-5, TSeekOrigin::soCurrent), 0);
    stream.SetPosition(3);
    stream.WriteBuffer("x", 1);
    ASSERT_EQ(stream.Length(), 4u);
    EXPECT_EQ(stream.Memory()[0], 0);
    EXPECT_EQ(stream.Memory()[3], 'x');
}

TEST(StringList, TextSplitsEveryLineEndingAndJoinsWithCrLf)
{
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Strings(3), "four");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_THROW(list.Strings(4), EListError);
    EXPECT_THROW(list.Strings(-1), EListError);
}

TEST(StringList, ValuesMatchNamesWithoutCase)
{
    TStringList list;
    list.Add("Key=1");
    list.Add("Other=two=2");
    EXPECT_EQ(list.Values("KEY"), "1");
    EXPECT_EQ(list.Values("other"), "two=2");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.IndexOf("KEY=1"), 0);
}
