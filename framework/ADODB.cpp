// MinGW's ADO headers need -fpermissive, which is set for this file alone. The interface IDs
// they select (NTDDI_VERSION 6.1) are the ones every Windows and Wine's ADO answer.
#include "ADODB.h"

#include <initguid.h>  // the ADO GUIDs below are defined here, not in a library

#include <windows.h>
#include <ole2.h>
#include <adoid.h>
#include <adoint.h>

#include <algorithm>
#include <cctype>

#include "ComPtr.h"
#include "StringList.h"

namespace {

// The error the last failing ADO call left behind, when the platform gives one.
std::string ErrorDescription()
{
    TComPtr<IErrorInfo> info;
    TBStr description;
    if (GetErrorInfo(0, info.Receive()) != S_OK || !info || FAILED(info->GetDescription(description.Receive())))
        return {};
    return Trim(WideToGbk(description.Text()));
}

std::string Hex(HRESULT hr)
{
    return Format("0x%08lX", static_cast<unsigned long>(hr));
}

[[noreturn]] void RaiseAdo(const std::string& what, HRESULT hr)
{
    const std::string description = ErrorDescription();
    throw Exception(what + " (" + Hex(hr) + ")" + (description.empty() ? "" : ": " + description));
}

void Check(HRESULT hr, const std::string& what)
{
    if (FAILED(hr))
        RaiseAdo(what, hr);
}

template <class T> TComPtr<T> Create(REFCLSID clsid, REFIID iid, const std::string& what)
{
    TComPtr<T> object;
    Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.ReceiveVoid()), what);
    return object;
}

// The value of one "Key=Value" field of a connection string; keys match without case.
std::string ConnectionStringValue(const std::string& connectionString, const std::string& key)
{
    size_t start = 0;
    while (start <= connectionString.size()) {
        const size_t end = std::min(connectionString.find(';', start), connectionString.size());
        const std::string field = connectionString.substr(start, end - start);
        const size_t equals = field.find('=');
        if (equals != std::string::npos && SameText(Trim(field.substr(0, equals)), key))
            return Trim(field.substr(equals + 1));
        start = end + 1;
    }
    return {};
}

ConnectModeEnum AdoMode(TConnectMode mode)
{
    static const ConnectModeEnum modes[] = {adModeUnknown, adModeRead, adModeWrite, adModeReadWrite,
        adModeShareDenyRead, adModeShareDenyWrite, adModeShareExclusive, adModeShareDenyNone};
    return modes[static_cast<int>(mode)];
}

bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

}  // namespace

struct TADOConnection::Ado {
    TComPtr<_ADOConnection> connection;
};

struct TADOQuery::Ado {
    TComPtr<_ADORecordset> recordset;
};

// Layouts name these classes; the TDBM unit links this file in.
[[maybe_unused]] static const bool registered = (RegisterComponentClass(TADOConnection::StaticClass()), RegisterComponentClass(TADOQuery::StaticClass()), true);

const TClassInfo& TADOConnection::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TADOConnection>("TADOConnection", TComponent::StaticClass())
        .Creatable()
        .Str("ConnectionString", [](TADOConnection& c, const std::string& v) { c.SetConnectionString(v); })
        .Bool("LoginPrompt", [](const TADOConnection& c) { return c.LoginPrompt(); },
              [](TADOConnection& c, bool v) { c.SetLoginPrompt(v); })
        .Bool("KeepConnection", [](const TADOConnection& c) { return c.KeepConnection(); },
              [](TADOConnection& c, bool v) { c.SetKeepConnection(v); })
        .Enum<TConnectMode>("Mode", {"cmUnknown", "cmRead", "cmWrite", "cmReadWrite", "cmShareDenyRead",
                                     "cmShareDenyWrite", "cmShareExclusive", "cmShareDenyNone"},
              [](const TADOConnection& c) { return c.Mode(); }, [](TADOConnection& c, TConnectMode v) { c.SetMode(v); })
        .Str("Provider", [](TADOConnection& c, const std::string& v) { c.SetProvider(v); })
        .Bool("Connected", [](const TADOConnection& c) { return c.Connected(); },
              [](TADOConnection& c, bool v) { c.SetConnected(v); })
        .Build();
    return info;
}

TADOConnection::TADOConnection(TComponent* owner) : TComponent(owner) {}

TADOConnection::~TADOConnection()
{
    // Queries of other owners may outlive the connection; they forget it through Notification.
    Close();
}

bool TADOConnection::Connected() const
{
    LONG state = adStateClosed;
    return ado_ && SUCCEEDED(ado_->connection->get_State(&state)) && (state & adStateOpen);
}

void TADOConnection::SetConnected(bool value)
{
    // A stored Connected waits until every stored property, the connection string too, is read.
    if (ComponentState() & csReading)
        streamedConnected_ = value;
    else if (value)
        Open();
    else
        Close();
}

void TADOConnection::Loaded()
{
    TComponent::Loaded();
    if (streamedConnected_)
        Open();
}

std::string TADOConnection::ProviderName() const
{
    const std::string named = ConnectionStringValue(connectionString_, "Provider");
    return named.empty() ? provider_ : named;
}

void TADOConnection::Open()
{
    if (Connected())
        return;
    auto ado = std::make_unique<Ado>();
    ado->connection = Create<_ADOConnection>(CLSID_CADOConnection, IID_IADOConnection, "Cannot create an ADO connection");
    if (!provider_.empty())
        Check(ado->connection->put_Provider(TBStr(GbkToWide(provider_)).Get()), "Cannot set the provider");
    Check(ado->connection->put_Mode(AdoMode(mode_)), "Cannot set the connect mode");
    // The string goes to Open itself: Wine's ADO fails with E_FAIL on one only stored beforehand.
    const TBStr text(GbkToWide(connectionString_));
    const TBStr none(L"");
    const HRESULT hr = ado->connection->Open(text.Get(), none.Get(), none.Get(), adConnectUnspecified);
    if (FAILED(hr)) {
        const std::string description = ErrorDescription();
        const std::string provider = ProviderName().empty() ? "(none)" : ProviderName();
        // Without a description the platform's error alone says too little: name the cause.
        if (!description.empty())
            throw Exception("Cannot open the database: provider " + provider + ", " + Hex(hr) + ": " + description);
        if (hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG)
            throw Exception("Cannot open the database: provider " + provider + " is not available (" + Hex(hr) + ")");
        throw Exception("Cannot open the database: provider " + provider + " failed (" + Hex(hr) + ")");
    }
    ado_ = std::move(ado);
}

void TADOConnection::Close()
{
    for (TADOQuery* query : std::vector<TADOQuery*>(openQueries_))
        query->Close();
    if (Connected())
        ado_->connection->Close();
    ado_.reset();
}

void TADOConnection::QueryOpened(TADOQuery* query)
{
    openQueries_.push_back(query);
}

void TADOConnection::QueryClosed(TADOQuery* query)
{
    std::erase(openQueries_, query);
    if (openQueries_.empty() && !keepConnection_)
        Close();
}

TParameter* TParameters::FindParam(const std::string& name)
{
    for (TParameter& param : items_)
        if (SameText(param.Name, name))
            return &param;
    return nullptr;
}

TParameter& TParameters::ParamByName(const std::string& name)
{
    if (TParameter* param = FindParam(name))
        return *param;
    throw Exception("Parameter '" + name + "' not found");
}

const TClassInfo& TADOQuery::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TADOQuery>("TADOQuery", TComponent::StaticClass())
        .Creatable()
        .Component<TADOConnection>("Connection", [](TADOQuery& q, TADOConnection* c) { q.SetConnection(c); })
        .Strings("SQL", [](TADOQuery& q, const std::vector<std::string>& lines) {
            std::string text;
            for (const std::string& line : lines)
                text += (text.empty() ? "" : "\r\n") + line;
            q.SetSQL(text);
        })
        .Build();
    return info;
}

TADOQuery::TADOQuery(TComponent* owner) : TComponent(owner) {}

TADOQuery::~TADOQuery()
{
    Close();
}

void TADOQuery::SetConnection(TADOConnection* connection)
{
    Close();
    connection_ = connection;
    FreeNotification(connection);
}

void TADOQuery::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == connection_) {
        Close();
        connection_ = nullptr;
    }
}

void TADOQuery::SetSQL(const std::string& text)
{
    Close();
    sql_ = text;
    commandText_.clear();
    placeholders_.clear();
    parameters_.items_.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'' || c == '"') {
            // Quoted text is copied whole. GBK trail bytes never equal a quote or a colon.
            const size_t end = std::min(text.find(c, i + 1), text.size() - 1);
            commandText_.append(text, i, end - i + 1);
            i = end;
        } else if (c == ':' && i + 1 < text.size() && IsNameChar(text[i + 1])) {
            size_t end = i + 1;
            while (end < text.size() && IsNameChar(text[end]))
                ++end;
            const std::string name = text.substr(i + 1, end - i - 1);
            placeholders_.push_back(name);
            if (!parameters_.FindParam(name))
                parameters_.items_.push_back({name, {}});
            commandText_ += '?';
            i = end - 1;
        } else {
            commandText_ += c;
        }
    }
}

void TADOQuery::Open()
{
    if (Active())
        return;
    if (!connection_)
        throw Exception(Name() + ": Missing Connection or ConnectionString");
    connection_->Open();

    // A command carries the statement and its parameters; the record set is opened on it and
    // so takes its connection and statement kind from it.
    auto command = Create<_ADOCommand>(CLSID_CADOCommand, IID_IADOCommand, "Cannot create an ADO command");
    Check(command->putref_ActiveConnection(connection_->ado_->connection.Get()), "Cannot use the connection");
    Check(command->put_CommandText(TBStr(GbkToWide(commandText_)).Get()), "Cannot set the statement");
    Check(command->put_CommandType(adCmdText), "Cannot set the statement");
    TComPtr<ADOParameters> parameters;
    if (!placeholders_.empty())
        Check(command->get_Parameters(parameters.Receive()), "Cannot reach the parameters");
    for (const std::string& name : placeholders_) {
        const std::wstring value = GbkToWide(parameters_.ParamByName(name).Value);
        TComPtr<_ADOParameter> parameter;
        // A variable-length parameter must not be declared with size 0.
        Check(command->CreateParameter(TBStr(GbkToWide(name)).Get(), adVarWChar, adParamInput,
                                       std::max<ADO_LONGPTR>(static_cast<ADO_LONGPTR>(value.size()), 1),
                                       TOleVariant::Text(value).Get(), parameter.Receive()),
              "Cannot create a parameter");
        Check(parameters->Append(parameter.Get()), "Cannot add a parameter");
    }

    auto ado = std::make_unique<Ado>();
    ado->recordset = Create<_ADORecordset>(CLSID_CADORecordset, IID_IADORecordset, "Cannot create an ADO record set");
    // A client-side cursor with optimistic locking, as data sets default to: updatable
    // whatever cursors the provider offers.
    Check(ado->recordset->put_CursorLocation(adUseClient), "Cannot set the cursor location");
    Check(ado->recordset->Open(TOleVariant::Object(command.Get()).Get(), TOleVariant::Missing().Get(),
                               adOpenStatic, adLockOptimistic, adCmdUnspecified),
          Name() + ": cannot open the query");
    ado_ = std::move(ado);
    state_ = TDataSetState::dsBrowse;
    connection_->QueryOpened(this);
}

void TADOQuery::Close()
{
    if (!Active())
        return;
    ado_->recordset->Close();
    ado_.reset();
    state_ = TDataSetState::dsInactive;
    if (connection_)
        connection_->QueryClosed(this);
}

void TADOQuery::CheckActive() const
{
    if (!Active())
        throw Exception(Name() + ": Cannot perform this operation on a closed dataset");
}

void TADOQuery::CheckEditing() const
{
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        throw Exception(Name() + ": Dataset not in edit or insert mode");
}

void TADOQuery::Edit()
{
    CheckActive();
    if (state_ != TDataSetState::dsBrowse)
        return;
    VARIANT_BOOL bof = VARIANT_FALSE;
    VARIANT_BOOL eof = VARIANT_FALSE;
    Check(ado_->recordset->get_BOF(&bof), "Cannot read the position");
    Check(ado_->recordset->get_EOF(&eof), "Cannot read the position");
    if (bof && eof) {
        Check(ado_->recordset->AddNew(TOleVariant::Missing().Get(), TOleVariant::Missing().Get()),
              Name() + ": cannot add a record");
        state_ = TDataSetState::dsInsert;
    } else {
        state_ = TDataSetState::dsEdit;
    }
}

void TADOQuery::SetFieldText(const std::string& fieldName, const std::string& value)
{
    CheckEditing();
    TComPtr<ADOFields> fields;
    TComPtr<ADOField> field;
    Check(ado_->recordset->get_Fields(fields.Receive()), "Cannot reach the fields");
    Check(fields->get_Item(TOleVariant::Text(GbkToWide(fieldName)).Get(), field.Receive()),
          Name() + ": Field '" + fieldName + "' not found");
    Check(field->put_Value(TOleVariant::Text(GbkToWide(value)).Get()),
          Name() + ": cannot set field '" + fieldName + "'");
}

void TADOQuery::Post()
{
    CheckEditing();
    Check(ado_->recordset->Update(TOleVariant::Missing().Get(), TOleVariant::Missing().Get()),
          Name() + ": cannot save the record");
    state_ = TDataSetState::dsBrowse;
}
