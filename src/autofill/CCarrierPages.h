#pragma once

#include <QString>

#include <array>

// The built-in carrier pages: the one place that holds their full addresses and which section each reads.
// The filler table of CWebHelper and the page launcher use these same strings, because a built-in
// page is recognised by exact equality of both.
class CCarrierPages final
{
public:
    struct Page
    {
        int fillerIndex; // index into CWebHelper's filler table
        QString section;
        QString address;
        QString caption; // menu caption; empty for the user-page entry
    };

    static constexpr int FillerCount = 9; // eight carrier pages and the user-page filler
    static constexpr int UserPageFiller = 8;

    static const QString& DhlAddress();
    static const QString& EbayAddress();
    static const QString& FedExAddress();
    static const QString& UpsAddress();
    static const QString& UspsDomesticAddress();
    static const QString& UspsBusinessAddress();
    static const QString& UspsIntEnvelopeAddress();
    static const QString& UspsIntPackageAddress();

    // Filler table entries 0 to 7, in table order.
    static const std::array<Page, 8>& Fillers();
    // The page for launcher index 1 to 8 (1 = UPS ... 8 = eBay); nullptr for any other index.
    static const Page* ForLauncherIndex(int index);
    // The carrier of a built-in page's section, as the user knows it ("FedEx", "USPS").
    static QString CarrierName(const QString& section);
    // Caption of launcher index 0 ("None") to 8.
    static QString LauncherCaption(int index);
};
