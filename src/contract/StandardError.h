// The one way the tool and its driver library write a line to standard error: "korvane: " and
// the text. Scripts read some of these lines (README), so the prefix is the same everywhere.
#pragma once

#include <string_view>

namespace contract {

void ReportLine(std::string_view text);

} // namespace contract
