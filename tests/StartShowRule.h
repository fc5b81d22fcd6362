// What Windows does, and Wine 8 does not, for a program started with a show command
// (STARTF_USESHOWWINDOW, as WinExec(..., SW_HIDE) starts one): the first ShowWindow on the
// process's first unowned top-level window with a caption clears the start flag, and a SW_SHOW or
// SW_SHOWNORMAL there is given the start command instead. TStartShowRule stands in for it by
// taking this program's import of ShowWindow while it lives: it sees the program's own calls,
// not those the platform makes inside (for a message box, say).
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace start_show_rule {

// The slot of this program's import table through which it calls function of dll.
inline ULONG_PTR* ImportSlot(const char* dll, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0)
            continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot)
            if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) &&
                std::strcmp(reinterpret_cast<const char*>(
                                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name),
                            function) == 0)
                return reinterpret_cast<ULONG_PTR*>(&slot->u1.Function);
    }
    return nullptr;
}

}  // namespace start_show_rule

class TStartShowRule {
public:
    explicit TStartShowRule(int command)
        : command_(command), slot_(start_show_rule::ImportSlot("user32.dll", "ShowWindow"))
    {
        current_ = this;
        if (slot_)
            original_ = Patch(reinterpret_cast<ULONG_PTR>(&Apply));
    }
    ~TStartShowRule()
    {
        if (slot_)
            Patch(original_);
        current_ = nullptr;
    }
    TStartShowRule(const TStartShowRule&) = delete;
    TStartShowRule& operator=(const TStartShowRule&) = delete;

    bool Installed() const { return slot_ != nullptr; }
    // The class of the window that took the start command; empty while none has.
    const std::string& TakenBy() const { return takenBy_; }

private:
    static BOOL WINAPI Apply(HWND window, int command)
    {
        TStartShowRule& rule = *current_;
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        if (rule.takenBy_.empty() && GetAncestor(window, GA_PARENT) == GetDesktopWindow() &&
            !GetWindow(window, GW_OWNER) && (style & WS_CAPTION) == WS_CAPTION) {
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            rule.takenBy_ = name;
            if (command == SW_SHOW || command == SW_SHOWNORMAL)
                command = rule.command_;
        }
        return reinterpret_cast<decltype(&ShowWindow)>(rule.original_)(window, command);
    }
    ULONG_PTR Patch(ULONG_PTR with)
    {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        const ULONG_PTR was = *slot_;
        *slot_ = with;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
        return was;
    }

    static inline TStartShowRule* current_ = nullptr;
    int command_;
    ULONG_PTR* slot_;
    ULONG_PTR original_ = 0;
    std::string takenBy_;
};
