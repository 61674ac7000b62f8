// tavelio-book dump: the page table as the program loads it.
#pragma once

#include <ostream>
#include <string>

namespace tavelio::book {

// Loads folder/QVDB.dat with the program's own reader and prints one JSON object to out:
// {"error": null or the error as the error box shows it, "records": [slots 1 to 12 as they are
// after the load, each {"slot": n, <the seventeen fields>}]}. The decoded font goes to fontOut,
// or, when fontOut is empty, to a private temporary file that is removed afterwards.
// The error goes to err as well, after the database's path as given. Returns the exit status: 0
// when the database loaded, 1 when it raised an error.
int RunDump(const std::string& folder, const std::string& fontOut, std::ostream& out,
            std::ostream& err);

} // namespace tavelio::book
