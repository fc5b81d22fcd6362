#include "jiameng.h"

#include "MakerContact.h"

TTjiameng* Tjiameng = nullptr;

const TClassInfo& TTjiameng::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TTjiameng>("TTjiameng", TForm::StaticClass())
        .Field("Panel1", &TTjiameng::Panel1)
        .Field("Image1", &TTjiameng::Image1)
        .Field("Image2", &TTjiameng::Image2)
        .Field("Label1", &TTjiameng::Label1)
        .Field("Label2", &TTjiameng::Label2)
        .Field("Label3", &TTjiameng::Label3)
        .Field("Label4", &TTjiameng::Label4)
        .Field("Label5", &TTjiameng::Label5)
        .Field("Label8", &TTjiameng::Label8)
        .Field("Button1", &TTjiameng::Button1)
        .Method("FormCreate", &TTjiameng::FormCreate)
        .Method("Button1Click", &TTjiameng::Button1Click)
        .Build();
    return info;
}

void TTjiameng::FormCreate(TObject*)
{
    Label4->SetCaption(Label4->Caption() + MakerEmail);
    Label5->SetCaption(Label5->Caption() + MakerQQ);
}

void TTjiameng::Button1Click(TObject*)
{
    Close();
}
