// The component model: run-time class information with published properties and methods,
// components with owners, and the property values that stored layouts carry.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SysUtils.h"

class TObject;
class TPersistent;
class TComponent;
class TClassInfo;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A value as a stored layout writes it. Which alternative a property accepts depends on its kind.
struct TLayoutValue {
    enum class Kind { Integer, String, Identifier, Set, Strings, Binary };
    Kind kind = Kind::Integer;
    long long integer = 0;
    std::string text;                 // String, Identifier
    std::vector<std::string> items;   // Set (identifiers), Strings (lines)
    std::vector<uint8_t> bytes;       // Binary
};

// Raised by a property setter that cannot take the value it was given.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

enum class TTypeKind { tkInteger, tkEnumeration, tkSet, tkString, tkStrings, tkBinary, tkClass, tkMethod };

// One published property. Setters see the object through its most derived class info owner.
struct TPropInfo {
    std::string Name;
    TTypeKind Kind = TTypeKind::tkInteger;
    std::vector<std::string> EnumNames;  // enumeration and set members, in ordinal order
    std::function<void(TPersistent&, const TLayoutValue&, TComponent* root)> Set;
    std::function<std::string(const TPersistent&)> GetName;  // enumeration value's name
    // A binary property's value as a layout stores it; empty for properties written as read.
    std::function<std::vector<uint8_t>(const TPersistent&)> GetBytes;
};

// One published method: makes a handler bound to an instance of its class.
struct TMethodInfo {
    std::string Name;
    std::function<std::any(TComponent& instance)> Bind;
};

// One published field: a component pointer of the root class set by name when a layout is read.
struct TFieldInfo {
    std::string Name;
    std::function<bool(TComponent& root, TComponent* value)> Set;  // false: wrong class
};

class TClassInfo {
public:
    TClassInfo(const char* name, const TClassInfo* parent) : name_(name), parent_(parent) {}

    const std::string& Name() const { return name_; }
    const TClassInfo* Parent() const { return parent_; }
    bool InheritsFrom(const TClassInfo& other) const;
    bool InheritsFrom(const std::string& className) const;

    const TPropInfo* FindProperty(const std::string& name) const;
    const TMethodInfo* FindMethod(const std::string& name) const;
    const TFieldInfo* FindField(const std::string& name) const;

    std::vector<TPropInfo> properties;
    std::vector<TMethodInfo> methods;
    std::vector<TFieldInfo> fields;
    // Creates an instance for a stored layout; empty for classes a layout cannot create.
    std::function<TComponent*(TComponent* owner)> create;

private:
    std::string name_;
    const TClassInfo* parent_;
};

// Classes that stored layouts may name register themselves here by their class name.
void RegisterComponentClass(const TClassInfo& info);
const TClassInfo* FindClass(const std::string& name);

// Declares the class-information members of a framework class.
#define LEXDRILL_CLASS(Class)                                         \
public:                                                               \
    static const TClassInfo& StaticClass();                           \
    const TClassInfo& ClassInfo() const override { return StaticClass(); }

// Defines the class information of a class that publishes nothing beyond its parent; builder
// steps may follow (`.Creatable()` for a class a stored layout may create).
#define LEXDRILL_PLAIN_CLASS(Class, Parent, ...)                                          \
    const TClassInfo& Class::StaticClass()                                               \
    {                                                                                    \
        static const TClassInfo info =                                                   \
            TClassBuilder<Class>(#Class, Parent::StaticClass()) __VA_ARGS__.Build();     \
        return info;                                                                     \
    }

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassInfo() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassInfo().Name(); }
    bool InheritsFrom(const TClassInfo& info) const { return ClassInfo().InheritsFrom(info); }
    template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }
};

class TPersistent : public TObject {
    LEXDRILL_CLASS(TPersistent)
};

enum TComponentStateFlag : unsigned {
    csLoading = 1, csReading = 2, csDesigning = 4, csDestroying = 8
};
enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
    LEXDRILL_CLASS(TComponent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    unsigned ComponentState() const { return state_; }
    void SetState(unsigned flags, bool on) { state_ = on ? state_ | flags : state_ & ~flags; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    int ComponentIndex() const;
    TComponent* FindComponent(const std::string& name) const;

    // Stored layouts nest a component under another: a control under its parent, a menu item
    // under its menu. Components that cannot be nested refuse.
    virtual void SetParentComponent(TComponent* parent);
    // Called after the stored properties of the layout that holds this component were read.
    virtual void Loaded() { SetState(csLoading, false); }
    // An owned component was inserted or is being removed (also sent for components of other
    // owners that asked for it through FreeNotification).
    virtual void Notification(TComponent* component, TOperation operation);
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // Destroys a component in two phases. First, while the object is whole: it is marked
    // csDestroying, those that asked are told (Notification), and what it owns is freed, so an
    // owned component can still use its owner (a control's window and WindowProc hooks) while
    // it goes. Then the destructors run, and the owner forgets it. nullptr does nothing.
    static void Free(TComponent* component);

    // Creates a component owned by owner, which frees it.
    template <class T, class... Args> static T* Make(TComponent* owner, Args&&... args)
    {
        auto made = std::make_unique<T>(owner, std::forward<Args>(args)...);
        return made.release();  // the owner's list holds it from the constructor on
    }

protected:
    // The first phase of destruction, once only. Free runs it on the whole object; a component
    // destroyed otherwise (on the stack, by a plain delete) runs it from the destructors of the
    // classes that tear something down, as early as they can. A class with work that must come
    // before the others are told overrides it and calls this one last.
    virtual void BeforeDestruction();

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* owner_ = nullptr;
    std::string name_;
    int tag_ = 0;
    unsigned state_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};

// Sets a published enumeration property (Boolean counts) by its value's name. A missing
// property, a property of another kind or an unknown value name is ignored.
void SetEnumPropByName(TComponent* component, const std::string& propName, const std::string& valueName);
// The name of a published enumeration property's current value; empty when there is none.
std::string GetEnumPropName(const TPersistent& object, const std::string& propName);

// Fills a class's information: published properties, methods and fields, in a few lines per class.
template <class C> class TClassBuilder {
public:
    TClassBuilder(const char* name, const TClassInfo& parent) : info_(name, &parent) {}

    TClassBuilder& Creatable()
    {
        info_.create = [](TComponent* owner) -> TComponent* { return TComponent::Make<C>(owner); };
        return *this;
    }

    TClassBuilder& Int(const char* name, std::function<void(C&, int)> set)
    {
        return Add(name, TTypeKind::tkInteger, {}, [set](C& c, const TLayoutValue& v, TComponent*) {
            Expect(v, TLayoutValue::Kind::Integer, "an integer");
            set(c, static_cast<int>(v.integer));
        });
    }

    TClassBuilder& Str(const char* name, std::function<void(C&, const std::string&)> set)
    {
        return Add(name, TTypeKind::tkString, {}, [set](C& c, const TLayoutValue& v, TComponent*) {
            Expect(v, TLayoutValue::Kind::String, "a string");
            set(c, v.text);
        });
    }

    template <class E>
    TClassBuilder& Enum(const char* name, std::vector<std::string> names,
                        std::function<E(const C&)> get, std::function<void(C&, E)> set)
    {
        Add(name, TTypeKind::tkEnumeration, names,
            [set, names](C& c, const TLayoutValue& v, TComponent*) {
                Expect(v, TLayoutValue::Kind::Identifier, "a name");
                set(c, static_cast<E>(Ordinal(names, v.text)));
            });
        info_.properties.back().GetName = [get, names](const TPersistent& p) {
            const size_t ordinal = static_cast<size_t>(get(static_cast<const C&>(p)));
            return ordinal < names.size() ? names[ordinal] : std::string();
        };
        return *this;
    }

    TClassBuilder& Bool(const char* name, std::function<bool(const C&)> get, std::function<void(C&, bool)> set)
    {
        return Enum<bool>(name, {"False", "True"}, get, set);
    }

    // A set property: bit n of the mask is member n of names.
    TClassBuilder& Set(const char* name, std::vector<std::string> names, std::function<void(C&, unsigned)> set)
    {
        return Add(name, TTypeKind::tkSet, names, [set, names](C& c, const TLayoutValue& v, TComponent*) {
            Expect(v, TLayoutValue::Kind::Set, "a set");
            unsigned mask = 0;
            for (const std::string& member : v.items)
                mask |= 1u << Ordinal(names, member);
            set(c, mask);
        });
    }

    TClassBuilder& Strings(const char* name, std::function<void(C&, const std::vector<std::string>&)> set)
    {
        return Add(name, TTypeKind::tkStrings, {}, [set](C& c, const TLayoutValue& v, TComponent*) {
            Expect(v, TLayoutValue::Kind::Strings, "a list of strings");
            set(c, v.items);
        });
    }

    // get, when given, writes the value back in the form that set reads.
    TClassBuilder& Binary(const char* name, std::function<void(C&, const std::vector<uint8_t>&)> set,
                          std::function<std::vector<uint8_t>(const C&)> get = {})
    {
        Add(name, TTypeKind::tkBinary, {}, [set](C& c, const TLayoutValue& v, TComponent*) {
            Expect(v, TLayoutValue::Kind::Binary, "binary data");
            set(c, v.bytes);
        });
        if (get)
            info_.properties.back().GetBytes = [get](const TPersistent& p) { return get(static_cast<const C&>(p)); };
        return *this;
    }

    // A reference to another component of the same layout, by name.
    template <class T> TClassBuilder& Component(const char* name, std::function<void(C&, T*)> set)
    {
        return Add(name, TTypeKind::tkClass, {}, [set](C& c, const TLayoutValue& v, TComponent* root) {
            Expect(v, TLayoutValue::Kind::Identifier, "a component name");
            TComponent* found = root ? root->FindComponent(v.text) : nullptr;
            T* typed = dynamic_cast<T*>(found);
            if (!typed)
                throw EPropertyError("no component \"" + v.text + "\" of a fitting class");
            set(c, typed);
        });
    }

    // An event: the layout names a published method of the root component.
    template <class F> TClassBuilder& Event(const char* name, F C::*member)
    {
        return Add(name, TTypeKind::tkMethod, {}, [member](C& c, const TLayoutValue& v, TComponent* root) {
            Expect(v, TLayoutValue::Kind::Identifier, "a method name");
            const TMethodInfo* method = root ? root->ClassInfo().FindMethod(v.text) : nullptr;
            if (!method)
                throw EPropertyError("no method \"" + v.text + "\"");
            std::any bound = method->Bind(*root);
            if (const F* handler = std::any_cast<F>(&bound))
                c.*member = *handler;
            else
                throw EPropertyError("method \"" + v.text + "\" does not fit the event");
        });
    }

    template <class... A> TClassBuilder& Method(const char* name, void (C::*method)(A...))
    {
        info_.methods.push_back({name, [method](TComponent& instance) -> std::any {
            C* self = static_cast<C*>(&instance);
            return std::function<void(A...)>([self, method](A... args) { (self->*method)(args...); });
        }});
        return *this;
    }

    template <class T> TClassBuilder& Field(const char* name, T* C::*field)
    {
        // Naming T's class information links T's unit into the program, and with it the
        // registration that lets stored layouts create T.
        static_cast<void>(T::StaticClass());
        info_.fields.push_back({name, [field](TComponent& root, TComponent* value) {
            T* typed = dynamic_cast<T*>(value);
            if (!typed)
                return false;
            static_cast<C&>(root).*field = typed;
            return true;
        }});
        return *this;
    }

    TClassInfo Build() { return std::move(info_); }

private:
    TClassBuilder& Add(const char* name, TTypeKind kind, std::vector<std::string> names,
                       std::function<void(C&, const TLayoutValue&, TComponent*)> set)
    {
        info_.properties.push_back({name, kind, std::move(names),
            [set](TPersistent& p, const TLayoutValue& v, TComponent* root) { set(static_cast<C&>(p), v, root); },
            {}, {}});
        return *this;
    }

    static void Expect(const TLayoutValue& v, TLayoutValue::Kind kind, const char* what)
    {
        if (v.kind != kind)
            throw EPropertyError(std::string("expected ") + what);
    }

    static int Ordinal(const std::vector<std::string>& names, const std::string& name)
    {
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name)
                return static_cast<int>(i);
        throw EPropertyError("unknown value \"" + name + "\"");
    }

    TClassInfo info_;
};
