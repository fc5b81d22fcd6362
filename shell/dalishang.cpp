#include "dalishang.h"

#include "MakerContact.h"

TTDailishang* TDailishang = nullptr;

const TClassInfo& TTDailishang::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TTDailishang>("TTDailishang", TForm::StaticClass())
        .Field("Panel1", &TTDailishang::Panel1)
        .Field("Image1", &TTDailishang::Image1)
        .Field("Image2", &TTDailishang::Image2)
        .Field("Label1", &TTDailishang::Label1)
        .Field("Label2", &TTDailishang::Label2)
        .Field("Label3", &TTDailishang::Label3)
        .Field("Label4", &TTDailishang::Label4)
        .Field("Label5", &TTDailishang::Label5)
        .Field("Label8", &TTDailishang::Label8)
        .Field("Button1", &TTDailishang::Button1)
        .Method("FormCreate", &TTDailishang::FormCreate)
        .Method("Button1Click", &TTDailishang::Button1Click)
        .Build();
    return info;
}

void TTDailishang::FormCreate(TObject*)
{
    Label4->SetCaption(Label4->Caption() + MakerEmail);
    Label5->SetCaption(Label5->Caption() + MakerQQ);
}

void TTDailishang::Button1Click(TObject*)
{
    Close();
}
