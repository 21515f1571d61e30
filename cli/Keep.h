// torvela-cli's 名簿 and printed page: a birth to a person and back, the
// --list line, and the PDF of one chart. Qt SQL and Qt GUI; only the
// program links them.
#pragma once

#include <string>

#include "calc/Module2.h"
#include "chart/BirthMoment.h"
#include "cli/ChartIo.h"
#include "store/Person.h"

namespace torvela::cli {

// The inputs a person keeps for a birth given on the command line; moment
// settings only when some were given (momentGiven), as the window keeps
// none until they are changed from the defaults.
store::BirthInputs InputsOf(const Birth& birth, bool momentGiven);

// A kept person as a birth: the texts as kept (a minute of "" as "?"), the
// moment settings or the defaults. The place is left to the caller, which
// looks up inputs.placeCode. False when the kept inputs are not a birth
// this program can compute (store::CheckPerson says why).
bool BirthOf(const store::BirthInputs& inputs, Birth& birth, std::string& error);

// "山田花子<TAB>やまだはなこ<TAB>1975年3月5日14時30分<TAB>女<TAB>19分0秒<TAB>東京都千代田区".
std::string ListLine(const store::Person& person);

// Writes the page of one chart to path (report::WritePdf); name is the
// person's, empty for a chart not saved. False with a Japanese message.
bool WriteChartPdf(const std::string& path, const reading::ChartTextContent& content,
                   const chart::BirthReport& report, const Tables& tables,
                   const chart::LocalTime& now, std::string& error);

}  // namespace torvela::cli
