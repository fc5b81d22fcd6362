#include "Layout.h"

#include <cctype>

namespace {

class Parser {
public:
    Parser(const std::string& text, const std::string& layoutName, const TLayoutFileReader& readFile,
           const std::function<std::string(const std::string&)>& toAnsi)
        : text_(text), layoutName_(layoutName), readFile_(readFile), toAnsi_(toAnsi) {}

    TLayoutNode Document()
    {
        SkipBlanks();
        TLayoutNode root = Object();
        SkipBlanks();
        if (pos_ < text_.size())
            Fail("text after the end of the layout");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw ELayoutError(Format("Layout %s, line %d: %s", layoutName_.c_str(), line_, what.c_str()));
    }

    void SkipBlanks()
    {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n')
                    ++pos_;
            } else {
                break;
            }
        }
    }

    bool Peek(char c)
    {
        SkipBlanks();
        return pos_ < text_.size() && text_[pos_] == c;
    }

    void Expect(char c)
    {
        if (!Peek(c))
            Fail(std::string("expected '") + c + "'");
        ++pos_;
    }

    std::string Identifier()
    {
        SkipBlanks();
        const size_t start = pos_;
        while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) ||
                                       text_[pos_] == '_' || text_[pos_] == '.'))
            ++pos_;
        if (start == pos_ || std::isdigit(static_cast<unsigned char>(text_[start])))
            Fail("expected a name");
        return text_.substr(start, pos_ - start);
    }

    std::string String()
    {
        Expect('"');
        std::string value;
        while (true) {
            if (pos_ >= text_.size() || text_[pos_] == '\n')
                Fail("unterminated string");
            char c = text_[pos_++];
            if (c == '"')
                break;
            if (c == '\\') {
                if (pos_ >= text_.size())
                    Fail("unterminated string");
                c = text_[pos_++];
                switch (c) {
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case '"': case '\\': break;
                default: Fail("unknown escape in a string");
                }
            }
            value += c;
        }
        return toAnsi_(value);
    }

    long long Integer()
    {
        SkipBlanks();
        const size_t start = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-')
            ++pos_;
        const bool hex = text_.compare(pos_, 2, "0x") == 0;
        if (hex)
            pos_ += 2;
        const size_t digits = pos_;
        while (pos_ < text_.size() && (hex ? std::isxdigit(static_cast<unsigned char>(text_[pos_]))
                                           : std::isdigit(static_cast<unsigned char>(text_[pos_]))))
            ++pos_;
        if (digits == pos_ || pos_ - digits > (hex ? 8u : 10u))
            Fail("bad number");
        const long long value = std::stoll(text_.substr(start, pos_ - start), nullptr, hex ? 16 : 10);
        if (value < -2147483648LL || value > 4294967295LL)
            Fail("number out of range");
        return value;
    }

    TLayoutValue Value()
    {
        TLayoutValue value;
        SkipBlanks();
        if (pos_ >= text_.size())
            Fail("expected a value");
        const char c = text_[pos_];
        if (c == '"') {
            value.kind = TLayoutValue::Kind::String;
            value.text = String();
        } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            value.kind = TLayoutValue::Kind::Integer;
            value.integer = Integer();
        } else if (c == '[') {
            ++pos_;
            value.kind = TLayoutValue::Kind::Set;
            while (!Peek(']')) {
                value.items.push_back(Identifier());
                if (!Peek(']'))
                    Expect(',');
            }
            ++pos_;
        } else if (c == '(') {
            ++pos_;
            value.kind = TLayoutValue::Kind::Strings;
            while (!Peek(')'))
                value.items.push_back(String());
            ++pos_;
        } else {
            const std::string word = Identifier();
            if (word == "file") {
                value.kind = TLayoutValue::Kind::Binary;
                SkipBlanks();
                const std::string fileName = String();
                try {
                    value.bytes = readFile_(fileName);
                } catch (const Exception& e) {
                    Fail("cannot read \"" + fileName + "\": " + e.Message());
                }
            } else {
                value.kind = TLayoutValue::Kind::Identifier;
                value.text = word;
            }
        }
        return value;
    }

    TLayoutNode Object()
    {
        TLayoutNode node;
        SkipBlanks();
        node.line = line_;
        node.className = Identifier();
        node.name = Identifier();
        Expect('{');
        while (!Peek('}')) {
            if (pos_ >= text_.size())
                Fail("missing '}' for " + node.name);
            const size_t mark = pos_;
            const int line = line_;
            const std::string first = Identifier();
            if (Peek('=')) {
                ++pos_;
                node.properties.push_back({first, Value(), line});
            } else {
                pos_ = mark;
                line_ = line;
                node.children.push_back(Object());
            }
        }
        ++pos_;
        return node;
    }

    const std::string& text_;
    const std::string& layoutName_;
    const TLayoutFileReader& readFile_;
    const std::function<std::string(const std::string&)>& toAnsi_;
    size_t pos_ = 0;
    int line_ = 1;
};

struct Deferred {
    TComponent* component;
    const TPropInfo* prop;
    const TLayoutProperty* stored;
};

class Builder {
public:
    Builder(TComponent& root, const std::string& layoutName) : root_(root), layoutName_(layoutName) {}

    void Build(const TLayoutNode& layout)
    {
        if (!root_.ClassInfo().InheritsFrom(layout.className))
            Fail(layout.line, "the layout is for " + layout.className + ", not " + root_.ClassName());
        root_.SetName(layout.name);
        root_.SetState(csLoading | csReading, true);
        SetProperties(root_, layout);
        for (const TLayoutNode& child : layout.children)
            Create(child, root_);
        for (const Deferred& d : deferred_)
            Set(*d.component, *d.prop, *d.stored);
        for (TComponent* component : created_)
            component->SetState(csReading, false);
        root_.SetState(csReading, false);
        for (TComponent* component : created_)
            component->Loaded();
        root_.Loaded();
    }

private:
    [[noreturn]] void Fail(int line, const std::string& what) const
    {
        throw ELayoutError(Format("Layout %s, line %d: %s", layoutName_.c_str(), line, what.c_str()));
    }

    void Create(const TLayoutNode& node, TComponent& parent)
    {
        const TClassInfo* info = FindClass(node.className);
        if (!info || !info->create)
            Fail(node.line, "unknown class " + node.className);
        if (root_.FindComponent(node.name))
            Fail(node.line, "a second component named " + node.name);
        TComponent* component = info->create(&root_);
        component->SetName(node.name);
        component->SetState(csLoading | csReading, true);
        created_.push_back(component);
        if (const TFieldInfo* field = root_.ClassInfo().FindField(node.name))
            if (!field->Set(root_, component))
                Fail(node.line, node.name + " is not a " + node.className + " in the window's class");
        try {
            component->SetParentComponent(&parent);
        } catch (const Exception& e) {
            Fail(node.line, e.Message());
        }
        SetProperties(*component, node);
        for (const TLayoutNode& child : node.children)
            Create(child, *component);
    }

    void SetProperties(TComponent& component, const TLayoutNode& node)
    {
        for (const TLayoutProperty& stored : node.properties) {
            const TPropInfo* prop = component.ClassInfo().FindProperty(stored.name);
            if (!prop)
                Fail(stored.line, "no property " + stored.name + " in " + component.ClassName());
            if (prop->Kind == TTypeKind::tkClass)
                deferred_.push_back({&component, prop, &stored});
            else
                Set(component, *prop, stored);
        }
    }

    void Set(TComponent& component, const TPropInfo& prop, const TLayoutProperty& stored)
    {
        try {
            prop.Set(component, stored.value, &root_);
        } catch (const Exception& e) {
            Fail(stored.line, component.Name() + "." + stored.name + ": " + e.Message());
        }
    }

    TComponent& root_;
    const std::string& layoutName_;
    std::vector<TComponent*> created_;
    std::vector<Deferred> deferred_;
};

}  // namespace

TLayoutNode ParseLayout(const std::string& text, const std::string& layoutName,
                        const TLayoutFileReader& readFile,
                        const std::function<std::string(const std::string&)>& toAnsi)
{
    return Parser(text, layoutName, readFile, toAnsi).Document();
}

void ApplyLayout(TComponent& root, const TLayoutNode& layout, const std::string& layoutName)
{
    Builder(root, layoutName).Build(layout);
}
