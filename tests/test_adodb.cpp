#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "ADODB.h"
#include "Layout.h"
#include "TempDir.h"
#include "U_DBM.h"

namespace {

// Made absolute at start-up: the tests change the current directory.
const std::string LayoutFile = [] {
    char full[MAX_PATH];
    GetFullPathNameA(LEXDRILL_RESOURCES "/layouts/U_DBM.layout", sizeof full, full, nullptr);
    return std::string(full);
}();

const std::string JetUnavailable =
    "Cannot open the database: provider Microsoft.Jet.OLEDB.4.0 is not available (0x800401F3)";

class Ado : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

// The data module as the program makes it: built from its stored layout.
void LoadDBM(TDBM& dbm)
{
    std::ifstream file(LayoutFile, std::ios::binary);
    ASSERT_TRUE(file) << LayoutFile;
    std::stringstream text;
    text << file.rdbuf();
    // The layout is ASCII: its strings need no conversion.
    const auto same = [](const std::string& s) { return s; };
    const auto noFiles = [](const std::string&) -> std::vector<uint8_t> { throw Exception("no files"); };
    ApplyLayout(dbm, ParseLayout(text.str(), "DBM", noFiles, same), "DBM");
}

std::string OpenError(TADOConnection& connection)
{
    try {
        connection.Open();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "opened";
}

}  // namespace

TEST(AdoText, GbkAndWideConvertWithCodePage936)
{
    EXPECT_EQ(GbkToWide("数据更新失败"), L"数据更新失败");
    EXPECT_EQ(WideToGbk(L"司法考试 abc"), "司法考试 abc");
    EXPECT_EQ(GbkToWide(""), L"");
}

TEST_F(Ado, StoredLayoutMakesTheConnectionAndQueries)
{
    TDBM dbm(nullptr);
    LoadDBM(dbm);
    ASSERT_NE(dbm.ADOConnection1, nullptr);
    EXPECT_FALSE(dbm.ADOConnection1->KeepConnection());
    EXPECT_FALSE(dbm.ADOConnection1->LoginPrompt());
    EXPECT_EQ(dbm.ADOConnection1->Mode(), TConnectMode::cmShareDenyNone);
    EXPECT_EQ(dbm.ADOConnection1->Provider(), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_FALSE(dbm.ADOConnection1->Connected());
    for (TADOQuery* query : {dbm.ADOFun, dbm.ADOQuery11, dbm.test, dbm.ADOFun1}) {
        ASSERT_NE(query, nullptr);
        EXPECT_EQ(query->Connection(), dbm.ADOConnection1) << query->Name();
    }
    EXPECT_TRUE(dbm.OnCreate);
}

TEST_F(Ado, CreateBuildsTheConnectionStringAndReportsTheMissingProvider)
{
    TTempCurrentDir dir;
    TDBM dbm(nullptr);
    LoadDBM(dbm);
    try {
        dbm.OnCreate(&dbm);
        FAIL() << "the database opened";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), JetUnavailable);
    }
    EXPECT_EQ(dbm.ADOConnection1->ConnectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.Path() +
              "/data/$2800100$.mdb;Persist Security Info=False;Jet OLEDB:Database Password=korvex");
    EXPECT_FALSE(dbm.ADOConnection1->Connected());
}

TEST_F(Ado, FailedOpenNamesTheProviderOfTheStringOrOfTheProperty)
{
    TADOConnection connection(nullptr);
    connection.SetProvider("Microsoft.Jet.OLEDB.4.0");
    const std::string error = OpenError(connection);
    EXPECT_EQ(error.rfind("Cannot open the database: provider Microsoft.Jet.OLEDB.4.0 ", 0), 0u) << error;
    EXPECT_NE(error.find("(0x8"), std::string::npos) << error;
    connection.SetConnectionString("Provider=NoSuch.Provider.1;Data Source=x.mdb");
    EXPECT_EQ(OpenError(connection),
              "Cannot open the database: provider NoSuch.Provider.1 is not available (0x800401F3)");
}

TEST_F(Ado, UpdateFieldOnAClosedConnectionFails)
{
    TTempCurrentDir dir;
    TDBM dbm(nullptr);
    LoadDBM(dbm);
    EXPECT_EQ(dbm.UpdateField("KTZX_Conf", "F_Title", "升级程序", "F_Val", "2.0", "ok"), "数据更新失败");
    EXPECT_FALSE(dbm.ADOFun->Active());
}

TEST_F(Ado, UpdateFieldPassesTheKeyAsAParameterWhateverItHolds)
{
    TTempCurrentDir dir;
    TDBM dbm(nullptr);
    LoadDBM(dbm);
    for (const std::string key : {"升级程序", "it's", "x' or '1'='1", "a'; delete from KTZX_Conf; --"}) {
        EXPECT_EQ(dbm.UpdateField("KTZX_Conf", "F_Title", key, "F_Val", "v", ""), "数据更新失败");
        // The key reaches the statement only through its one parameter.
        const std::string command = dbm.ADOFun->CommandText();
        EXPECT_EQ(command.find(key), std::string::npos) << command;
        EXPECT_EQ(std::count(command.begin(), command.end(), '?'), 1) << command;
        ASSERT_EQ(dbm.ADOFun->Parameters().Count(), 1);
        EXPECT_EQ(dbm.ADOFun->Parameters().ParamByName("keyvalue").Value, key);
    }
}

TEST(AdoQuery, PlaceholdersOutsideQuotesBecomeParameters)
{
    TADOQuery query(nullptr);
    query.SetSQL("select ':no', \"x:no\" from t where a = :A and b = :b_2 or c = :a and t = '12:30'");
    EXPECT_EQ(query.CommandText(), "select ':no', \"x:no\" from t where a = ? and b = ? or c = ? and t = '12:30'");
    ASSERT_EQ(query.Parameters().Count(), 2);
    query.Parameters().ParamByName("a").Value = "1";
    EXPECT_EQ(query.Parameters().ParamByName("A").Value, "1");
    EXPECT_EQ(query.Parameters().ParamByName("B_2").Value, "");
    try {
        query.Parameters().ParamByName("no");
        FAIL() << "found a parameter inside quotes";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Parameter 'no' not found");
    }
    query.SetSQL("select 1");
    EXPECT_EQ(query.Parameters().Count(), 0);
}

TEST(AdoQuery, EditingNeedsAnOpenQueryAndOpeningNeedsAConnection)
{
    TADOQuery query(nullptr);
    query.SetName("Q");
    EXPECT_THROW(query.Open(), Exception);
    EXPECT_THROW(query.Edit(), Exception);
    EXPECT_THROW(query.SetFieldText("F", "v"), Exception);
    EXPECT_THROW(query.Post(), Exception);
    EXPECT_FALSE(query.Active());
}
