#include "Index.h"

#include "Unit1.h"

TForm10* Form10 = nullptr;

const TClassInfo& TForm10::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TForm10>("TForm10", TForm::StaticClass())
        .Method("FormCreate", &TForm10::FormCreate)
        .Method("FormClose", &TForm10::FormClose)
        .Field("SkinData1", &TForm10::SkinData1)
        .Build();
    return info;
}

void TForm10::FormCreate(TObject*)
{
    // Cover the whole desktop without being maximised.
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    SetBounds(0, 0, desktop.right, desktop.bottom);
}

void TForm10::FormClose(TObject*, TCloseAction&)
{
    Form1->Close();
    AnimateWindow(Handle(), 900, AW_HIDE | AW_CENTER);
    HardExit();
}

void TForm10::HardExit()
{
    ExitProcess(0);
}

std::string TForm10::ExtractBetween(const std::string& Source, const std::string& StartMarker,
                                    const std::string& EndMarker)
{
    // Byte position, from 1, of the first match that begins on a character boundary; 0 for none.
    auto position = [&Source](const std::string& marker) -> long long {
        if (marker.empty())
            return 0;
        for (size_t i = 0; i < Source.size(); ++i) {
            if (Source.compare(i, marker.size(), marker) == 0)
                return static_cast<long long>(i) + 1;
            if (IsDBCSLeadByteEx(936, static_cast<BYTE>(Source[i])))
                ++i;
        }
        return 0;
    };
    const long long from = position(StartMarker) + static_cast<long long>(StartMarker.size());
    const long long count = position(EndMarker) - from;
    if (count <= 0 || from > static_cast<long long>(Source.size()))
        return {};
    // Position 0 (an empty start marker) copies from the first byte; substr cuts at the end.
    return Source.substr(from < 1 ? 0 : static_cast<size_t>(from - 1), static_cast<size_t>(count));
}
