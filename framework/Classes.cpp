#include "Classes.h"

#include <algorithm>
#include <map>

#include "StringList.h"

namespace {

std::map<std::string, const TClassInfo*>& Registry()
{
    static std::map<std::string, const TClassInfo*> registry;
    return registry;
}

}  // namespace

bool TClassInfo::InheritsFrom(const TClassInfo& other) const
{
    for (const TClassInfo* info = this; info; info = info->parent_)
        if (info == &other)
            return true;
    return false;
}

bool TClassInfo::InheritsFrom(const std::string& className) const
{
    for (const TClassInfo* info = this; info; info = info->parent_)
        if (SameText(info->name_, className))
            return true;
    return false;
}

const TPropInfo* TClassInfo::FindProperty(const std::string& name) const
{
    for (const TClassInfo* info = this; info; info = info->parent_)
        for (const TPropInfo& prop : info->properties)
            if (SameText(prop.Name, name))
                return &prop;
    return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(const std::string& name) const
{
    for (const TClassInfo* info = this; info; info = info->parent_)
        for (const TMethodInfo& method : info->methods)
            if (SameText(method.Name, name))
                return &method;
    return nullptr;
}

const TFieldInfo* TClassInfo::FindField(const std::string& name) const
{
    for (const TClassInfo* info = this; info; info = info->parent_)
        for (const TFieldInfo& field : info->fields)
            if (SameText(field.Name, name))
                return &field;
    return nullptr;
}

void RegisterComponentClass(const TClassInfo& info)
{
    Registry()[info.Name()] = &info;
}

const TClassInfo* FindClass(const std::string& name)
{
    const auto found = Registry().find(name);
    return found == Registry().end() ? nullptr : found->second;
}

const TClassInfo& TObject::StaticClass()
{
    static const TClassInfo info("TObject", nullptr);
    return info;
}

LEXDRILL_PLAIN_CLASS(TPersistent, TObject)

const TClassInfo& TComponent::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TComponent>("TComponent", TPersistent::StaticClass())
        .Int("Tag", [](TComponent& c, int v) { c.SetTag(v); })
        .Build();
    return info;
}

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->Insert(this);
}

TComponent::~TComponent()
{
    BeforeDestruction();
    if (owner_)
        owner_->Remove(this);
}

void TComponent::BeforeDestruction()
{
    if (state_ & csDestroying)
        return;
    SetState(csDestroying, true);
    // Taken one at a time: a notified component may free others of the list.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        std::erase(other->freeNotifies_, this);
        other->Notification(this, TOperation::opRemove);
    }
    // Owned components go last-created first, each leaving the list as it goes.
    while (!components_.empty())
        Free(components_.back());
}

int TComponent::ComponentIndex() const
{
    if (!owner_)
        return -1;
    const auto& list = owner_->components_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* component : components_)
        if (SameText(component->name_, name))
            return component;
    return nullptr;
}

void TComponent::SetParentComponent(TComponent* parent)
{
    if (parent != Owner())
        throw Exception(Name() + " cannot be placed inside " + parent->Name());
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == TOperation::opRemove)
        std::erase(freeNotifies_, component);
}

void TComponent::FreeNotification(TComponent* other)
{
    if (other && other != this && std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
        freeNotifies_.push_back(other);
        other->freeNotifies_.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* other)
{
    std::erase(freeNotifies_, other);
    if (other)
        std::erase(other->freeNotifies_, this);
}

void TComponent::Free(TComponent* component)
{
    if (!component)
        return;
    component->BeforeDestruction();
    delete component;
}

void TComponent::Insert(TComponent* component)
{
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, TOperation::opInsert);
}

void TComponent::Remove(TComponent* component)
{
    Notification(component, TOperation::opRemove);
    std::erase(components_, component);
    component->owner_ = nullptr;
}

void SetEnumPropByName(TComponent* component, const std::string& propName, const std::string& valueName)
{
    if (!component)
        return;
    const TPropInfo* prop = component->ClassInfo().FindProperty(propName);
    if (!prop || prop->Kind != TTypeKind::tkEnumeration)
        return;
    TLayoutValue value;
    value.kind = TLayoutValue::Kind::Identifier;
    value.text = valueName;
    try {
        prop->Set(*component, value, component->Owner());
    } catch (const EPropertyError&) {
        // An unknown value name leaves the property as it was.
    }
}

std::string GetEnumPropName(const TPersistent& object, const std::string& propName)
{
    const TPropInfo* prop = object.ClassInfo().FindProperty(propName);
    return prop && prop->Kind == TTypeKind::tkEnumeration && prop->GetName ? prop->GetName(object) : std::string();
}
