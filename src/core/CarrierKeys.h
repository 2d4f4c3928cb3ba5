#pragma once

#include <QList>
#include <QString>

#include <optional>

// The sections the built-in carrier pages keep in the settings file and the keys of each: the one place
// their names are spelt. The options dialog writes them; the carrier fillers read them.
class CarrierKeys final
{
public:
    // In the order a new settings file gets the sections.
    enum class Carrier
    {
        FedEx,
        Ebay,
        Dhl,
        UspsDomestic,
        UspsInternational,
        Ups,
        UspsBusiness,
    };
    enum class Key
    {
        AutoFill,
        Cntry,
        Cntry1,
        Cntry2,
        Zip1,
        Zip2,
        City,
        City1,
        City2,
        Service,
        ShipToRes,
        PackNo,
        ShipDate,
        PackSize,
        ShowRateTo,
        Height,
        Width,
        Len,
        Emp,
        ShipProVal,
        Sat,
        Doc,
        CusVal,
        CusCntry,
        Non,
        Size,
        Rate,
    };

    static const QList<Carrier>& Carriers();
    static QString Section(Carrier carrier);
    // nullopt for any section that is not a carrier's (a user page, the general choices).
    static std::optional<Carrier> OfSection(const QString& section);
    static QString Name(Key key);
    // The keys the options dialog writes for the carrier, in the order it writes them.
    static const QList<Key>& Written(Carrier carrier);
    // A key the carrier's section holds: one the dialog writes, or DHL's origin city, which only a file
    // edited by hand gives.
    static bool Holds(Carrier carrier, Key key);
};
