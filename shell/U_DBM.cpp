#include "U_DBM.h"

#include "Settings.h"

TDBM* DBM = nullptr;

const TClassInfo& TDBM::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TDBM>("TDBM", TDataModule::StaticClass())
        .Field("ADOConnection1", &TDBM::ADOConnection1)
        .Field("ADOFun", &TDBM::ADOFun)
        .Field("ADOQuery11", &TDBM::ADOQuery11)
        .Field("test", &TDBM::test)
        .Field("ADOFun1", &TDBM::ADOFun1)
        .Method("DataModuleCreate", &TDBM::DataModuleCreate)
        .Build();
    return info;
}

std::string TDBM::ReadConfig(const std::string& Key)
{
    return ReadConfigKey(Key);
}

std::string TDBM::ReadDealerInfo(const std::string& Key)
{
    return ReadOledb5(GetCurrentDir() + "/data/brightdesk.INI", Key);
}

void TDBM::Prepare(std::string& Text)
{
    Text.clear();
}

void TDBM::DataModuleCreate(TObject*)
{
    ADOConnection1->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + GetCurrentDir() +
                                        "/data/$2800100$.mdb;Persist Security Info=False;"
                                        "Jet OLEDB:Database Password=korvex");
    ADOConnection1->SetConnected(true);
    ADOConnection1->SetLoginPrompt(false);
}

std::string TDBM::UpdateField(const std::string& Table, const std::string& KeyField, const std::string& KeyValue,
                              const std::string& FieldName, const std::string& Value, const std::string& SuccessText)
{
    try {
        ADOFun->Close();
        // Table and field names are the program's own; the key value comes from outside and
        // goes as a parameter, so no apostrophe or crafted text can change the statement.
        ADOFun->SetSQL("Select * from  " + Table + " where " + KeyField + " = :KeyValue");
        ADOFun->Parameters().ParamByName("KeyValue").Value = KeyValue;
        ADOFun->Open();
        ADOFun->Edit();
        ADOFun->SetFieldText(FieldName, Value);
        ADOFun->Post();
        return SuccessText;
    } catch (...) {
        return "数据更新失败";
    }
}
