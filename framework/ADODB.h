// Data access through the platform's ADO objects: a connection and a query on it. Text crosses
// ADO as wide strings converted from GBK.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"

// ADO's connect modes, in the order their names are stored.
enum class TConnectMode {
    cmUnknown, cmRead, cmWrite, cmReadWrite, cmShareDenyRead, cmShareDenyWrite, cmShareExclusive, cmShareDenyNone
};

class TADOQuery;

class TADOConnection : public TComponent {
    LEXDRILL_CLASS(TADOConnection)
public:
    explicit TADOConnection(TComponent* owner);
    ~TADOConnection() override;

    const std::string& ConnectionString() const { return connectionString_; }
    void SetConnectionString(const std::string& value) { connectionString_ = value; }
    // There is no login dialog here: the property is kept because layouts and programs set it.
    bool LoginPrompt() const { return loginPrompt_; }
    void SetLoginPrompt(bool value) { loginPrompt_ = value; }
    // Off: the connection closes when its last open query closes.
    bool KeepConnection() const { return keepConnection_; }
    void SetKeepConnection(bool value) { keepConnection_ = value; }
    TConnectMode Mode() const { return mode_; }
    void SetMode(TConnectMode value) { mode_ = value; }
    // Used when the connection string names no provider.
    const std::string& Provider() const { return provider_; }
    void SetProvider(const std::string& value) { provider_ = value; }

    bool Connected() const;
    void SetConnected(bool value);
    // Raises an Exception naming the provider and the platform's error when the open fails.
    void Open();
    void Close();

    void Loaded() override;

private:
    friend class TADOQuery;
    struct Ado;

    std::string ProviderName() const;
    void QueryOpened(TADOQuery* query);
    void QueryClosed(TADOQuery* query);

    std::string connectionString_;
    bool loginPrompt_ = true;
    bool keepConnection_ = true;
    TConnectMode mode_ = TConnectMode::cmUnknown;
    std::string provider_;
    bool streamedConnected_ = false;
    std::unique_ptr<Ado> ado_;
    std::vector<TADOQuery*> openQueries_;
};

// A named value for a ":Name" placeholder of a query's statement, passed to the database apart
// from the statement text. Values are text.
struct TParameter {
    std::string Name;
    std::string Value;
};

class TParameters {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TParameter* FindParam(const std::string& name);
    // Raises Exception("Parameter '<name>' not found").
    TParameter& ParamByName(const std::string& name);

private:
    friend class TADOQuery;
    std::vector<TParameter> items_;
};

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

class TADOQuery : public TComponent {
    LEXDRILL_CLASS(TADOQuery)
public:
    explicit TADOQuery(TComponent* owner);
    ~TADOQuery() override;

    TADOConnection* Connection() const { return connection_; }
    void SetConnection(TADOConnection* connection);

    // Setting the statement closes the query and makes one parameter per distinct ":Name" found
    // outside quoted text.
    const std::string& SQL() const { return sql_; }
    void SetSQL(const std::string& text);
    // The statement as ADO gets it: each placeholder replaced by "?".
    const std::string& CommandText() const { return commandText_; }
    TParameters& Parameters() { return parameters_; }

    TDataSetState State() const { return state_; }
    bool Active() const { return state_ != TDataSetState::dsInactive; }
    // Opens the connection first when it is closed.
    void Open();
    void Close();
    // On an empty result editing starts a new record, as data sets do.
    void Edit();
    // Sets a field of the record being edited from text; the database converts it.
    void SetFieldText(const std::string& fieldName, const std::string& value);
    void Post();

    void Notification(TComponent* component, TOperation operation) override;

private:
    struct Ado;

    void CheckActive() const;
    void CheckEditing() const;

    TADOConnection* connection_ = nullptr;
    std::string sql_;
    std::string commandText_;
    std::vector<std::string> placeholders_;  // parameter name of each "?", in order
    TParameters parameters_;
    TDataSetState state_ = TDataSetState::dsInactive;
    std::unique_ptr<Ado> ado_;
};
