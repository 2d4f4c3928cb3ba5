#include "CWebUserAdd.h"

void CWebUserAdd::Create(const QString& Name, const QString& Address)
{
    mstrName = Name;
    mstrAddress = Address;
}

void CWebUserAdd::FillContent(HtmlDocument* /*DOM*/)
{
    // Replay of captured pages is not built yet.
}

void CWebUserAdd::FillWeight(HtmlDocument* /*DOM*/, double /*Weight*/)
{
    // Replay of captured pages is not built yet: IsFilled stays false.
}
