#include "CarrierKeys.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct SectionKeys
{
    QString section;
    QList<CarrierKeys::Key> written;
};

using enum CarrierKeys::Key;

// In the order of CarrierKeys::Carrier.
const std::array<SectionKeys, 7>& Table()
{
    static const std::array<SectionKeys, 7> table {{
        {u"_WGX_FEDEX"_s, {AutoFill, Cntry1, Cntry2, Zip1, Zip2, Service, ShipToRes, PackNo, ShipDate}},
        {u"_WGX_EBAY"_s, {AutoFill, PackSize, ShowRateTo, Height, Width, Len, Zip1, Zip2}},
        {u"_WGX_DHL"_s,
         {AutoFill, Zip1, Zip2, ShipToRes, Cntry2, Service, Height, Len, Width, Emp, ShipProVal, Sat, City}},
        {u"_WGX_USPS_DOM"_s, {AutoFill, Service, Zip1, Zip2}},
        {u"_WGX_USPS_INT"_s, {AutoFill, Cntry}},
        {u"_WGX_UPS"_s, {AutoFill, Zip1, Zip2, Doc, Cntry1, Cntry2, PackNo, City1, City2, CusVal, CusCntry, ShipToRes}},
        {u"_WGX_USPS_BUSI"_s, {AutoFill, Zip1, Zip2, Non, Size, Rate}},
    }};
    return table;
}

const SectionKeys& Of(CarrierKeys::Carrier carrier)
{
    return Table()[static_cast<size_t>(carrier)];
}

} // namespace

const QList<CarrierKeys::Carrier>& CarrierKeys::Carriers()
{
    static const QList<Carrier> carriers {
        Carrier::FedEx, Carrier::Ebay,        Carrier::Dhl, Carrier::UspsDomestic, Carrier::UspsInternational,
        Carrier::Ups,   Carrier::UspsBusiness};
    return carriers;
}

QString CarrierKeys::Section(Carrier carrier)
{
    return Of(carrier).section;
}

std::optional<CarrierKeys::Carrier> CarrierKeys::OfSection(const QString& section)
{
    for (const Carrier carrier : Carriers()) {
        if (Of(carrier).section == section)
            return carrier;
    }
    return std::nullopt;
}

QString CarrierKeys::Name(Key key)
{
    switch (key) {
    case AutoFill:
        return u"AUTO_FILL"_s;
    case Cntry:
        return u"CNTRY"_s;
    case Cntry1:
        return u"CNTRY1"_s;
    case Cntry2:
        return u"CNTRY2"_s;
    case Zip1:
        return u"ZIP1"_s;
    case Zip2:
        return u"ZIP2"_s;
    case City:
        return u"CITY"_s;
    case City1:
        return u"CITY1"_s;
    case City2:
        return u"CITY2"_s;
    case Service:
        return u"SERVICE"_s;
    case ShipToRes:
        return u"SHIP_TO_RES"_s;
    case PackNo:
        return u"PACK_NO"_s;
    case ShipDate:
        return u"SHIP_DATE"_s;
    case PackSize:
        return u"PACK_SIZE"_s;
    case ShowRateTo:
        return u"SHOW_RATE_TO"_s;
    case Height:
        return u"HEIGHT"_s;
    case Width:
        return u"WIDTH"_s;
    case Len:
        return u"LEN"_s;
    case Emp:
        return u"EMP"_s;
    case ShipProVal:
        return u"SHIP_PRO_VAL"_s;
    case Sat:
        return u"SAT"_s;
    case Doc:
        return u"DOC"_s;
    case CusVal:
        return u"CUS_VAL"_s;
    case CusCntry:
        return u"CUS_CNTRY"_s;
    case Non:
        return u"NON"_s;
    case Size:
        return u"SIZE"_s;
    case Rate:
        return u"RATE"_s;
    }
    return QString();
}

const QList<CarrierKeys::Key>& CarrierKeys::Written(Carrier carrier)
{
    return Of(carrier).written;
}

bool CarrierKeys::Holds(Carrier carrier, Key key)
{
    return Written(carrier).contains(key) || (carrier == Carrier::Dhl && key == City1);
}
