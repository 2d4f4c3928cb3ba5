#include "CCarrierPages.h"

#include "CarrierKeys.h"

using namespace Qt::StringLiterals;
using Carrier = CarrierKeys::Carrier;

const QString& CCarrierPages::DhlAddress()
{
    static const QString s = u"https://www.dhl-usa.com/ratecalculator/HandlerServlet?client=RATE_DISPLAY"_s;
    return s;
}

const QString& CCarrierPages::EbayAddress()
{
    static const QString s = u"https://cgi.ebay.com/ws/eBayISAPI.dll?EmitSellerShippingCalculator&itemId=default"
                             u"&transactionId=default&originZipCode=&lowerUnitWeight=&higherUnitWeight="
                             u"&packageSize=0&bMachinable=&packHandlingFee=&quantity=0&destinationZipCode=&price="_s;
    return s;
}

const QString& CCarrierPages::FedExAddress()
{
    static const QString s = u"https://www.fedex.com/ratefinder/home?cc=US&language=en"_s;
    return s;
}

const QString& CCarrierPages::UpsAddress()
{
    static const QString s = u"https://wwwapps.ups.com/calTimeCost?loc=en_US"_s;
    return s;
}

const QString& CCarrierPages::UspsDomesticAddress()
{
    static const QString s = u"https://postcalc.usps.com/"_s;
    return s;
}

const QString& CCarrierPages::UspsBusinessAddress()
{
    static const QString s = u"https://dbcalc.usps.com/ieframe.htm"_s;
    return s;
}

const QString& CCarrierPages::UspsIntEnvelopeAddress()
{
    static const QString s = u"https://ircalc.usps.com/weight.asp?Contents=0"_s;
    return s;
}

const QString& CCarrierPages::UspsIntPackageAddress()
{
    static const QString s = u"https://ircalc.usps.com/weight.asp?Contents=1"_s;
    return s;
}

const std::array<CCarrierPages::Page, 8>& CCarrierPages::Fillers()
{
    static const std::array<Page, 8> table {{
        {0, CarrierKeys::Section(Carrier::Dhl), DhlAddress(), u"DHL Rates"_s},
        {1, CarrierKeys::Section(Carrier::Ebay), EbayAddress(), u"Ebay Seller Shipping Calculator"_s},
        {2, CarrierKeys::Section(Carrier::FedEx), FedExAddress(), u"FedEx Rate Finder"_s},
        {3, CarrierKeys::Section(Carrier::Ups), UpsAddress(), u"UPS"_s},
        {4, CarrierKeys::Section(Carrier::UspsDomestic), UspsDomesticAddress(), u"USPS Domestic"_s},
        {5, CarrierKeys::Section(Carrier::UspsBusiness), UspsBusinessAddress(), u"USPS Business"_s},
        {6, CarrierKeys::Section(Carrier::UspsInternational), UspsIntEnvelopeAddress(),
         u"USPS International Envelope"_s},
        {7, CarrierKeys::Section(Carrier::UspsInternational), UspsIntPackageAddress(), u"USPS International Package"_s},
    }};
    return table;
}

const CCarrierPages::Page* CCarrierPages::ForLauncherIndex(int index)
{
    // The launcher lists the pages in another order than the filler table.
    static constexpr std::array<int, 9> fillerOfLauncher {-1, 3, 4, 5, 6, 7, 0, 2, 1};
    if (index < 1 || index > 8)
        return nullptr;
    return &Fillers()[static_cast<size_t>(fillerOfLauncher[static_cast<size_t>(index)])];
}

QString CCarrierPages::LauncherCaption(int index)
{
    if (index == 0)
        return u"None"_s;
    const Page* page = ForLauncherIndex(index);
    return page ? page->caption : QString();
}

QString CCarrierPages::CarrierName(const QString& section)
{
    const std::optional<Carrier> carrier = CarrierKeys::OfSection(section);
    if (!carrier)
        return section;
    switch (*carrier) {
    case Carrier::FedEx:
        return u"FedEx"_s;
    case Carrier::Ebay:
        return u"eBay"_s;
    case Carrier::Dhl:
        return u"DHL"_s;
    case Carrier::Ups:
        return u"UPS"_s;
    case Carrier::UspsDomestic:
    case Carrier::UspsInternational:
    case Carrier::UspsBusiness:
        return u"USPS"_s;
    }
    return section;
}
