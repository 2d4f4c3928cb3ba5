#pragma once

#include <QString>
#include <QStringList>

class HtmlDocument;

// Reads fields of a taught page back by their field keys, for comparing with what a test expects:
//   "0_wgx_zip=text"       the value           "0_wgx_box#=2"        the selected position
//   "2_wgx_speed?=true"    the check state     "0_wgx_extras@=0,3"   the selected options
//   "1:0_wgx_ref=text"     the same in frame 1 of the document
// A carrier page's own names work too: "origCity=text", and "MT[1]?=true" for member 1 of a group.
// The answer has the check's form with the value found, so a failed comparison shows both.
namespace PageProbe {
QString Read(HtmlDocument* top, const QString& check);
// Every check of a list that does not hold, as "expected -> found" lines.
QStringList Mismatches(HtmlDocument* top, const QString& checks, QChar separator = u';');
} // namespace PageProbe
