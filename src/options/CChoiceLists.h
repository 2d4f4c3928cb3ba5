#pragma once

#include <QStringList>

// The six long fixed lists of the carrier pages. A stored list position means the entry
// at that position here and the option at the same position of the carrier's form, so
// the lists are kept entry for entry as the carriers' forms have them (trailing "*" and
// trailing blanks included) in a data file compiled into the program, read once.
class CChoiceLists final
{
public:
    CChoiceLists() = delete;

    enum class List
    {
        FedExCountries, // cboCntry1, cboCntry2
        UpsOriginCountries, // cboUPSCntry1
        UpsDestinationCountries, // cboUPSCntry2
        UpsCurrencies, // cboUPSCusCntry
        DhlCountries, // cboDHLCntry2
        UspsCountries, // cboUSPSIntCntry
    };

    // Empty when the data file could not be read (logged once).
    static const QStringList& Entries(List list);
};
