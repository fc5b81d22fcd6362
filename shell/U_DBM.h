// The client's data module: settings and dealer readers, the question-bank database connection
// and the one record update the client makes.
#pragma once

#include <string>

#include "ADODB.h"
#include "Forms.h"

class TDBM : public TDataModule {
    LEXDRILL_CLASS(TDBM)
public:
    using TDataModule::TDataModule;

    TADOConnection* ADOConnection1 = nullptr;
    TADOQuery* ADOFun = nullptr;
    TADOQuery* ADOQuery11 = nullptr;
    TADOQuery* test = nullptr;
    TADOQuery* ADOFun1 = nullptr;

    // Value of Key in section OLEDB5 of Config.INI, or of the dealer file; empty when missing.
    std::string ReadConfig(const std::string& Key);
    std::string ReadDealerInfo(const std::string& Key);
    // Called before the main window reads its settings; there is nothing to prepare.
    void Prepare(std::string& Text);
    // Opens the database; a failure leaves the connection closed and goes to the caller.
    void DataModuleCreate(TObject* Sender);
    // Sets FieldName to Value in the record of Table whose KeyField equals KeyValue (a new
    // record when none does). Returns SuccessText, or "数据更新失败" when anything fails.
    std::string UpdateField(const std::string& Table, const std::string& KeyField, const std::string& KeyValue,
                            const std::string& FieldName, const std::string& Value, const std::string& SuccessText);
};

extern TDBM* DBM;
