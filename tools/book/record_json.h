// Page records as JSON, in the form the book tool prints and reads back.
#pragma once

#include "content/page_record.h"

#include <nlohmann/json.hpp>

namespace tavelio::book {

// The record's seventeen fields in file order under their own names: numbers as the record holds
// them (signed fields signed), strings converted from Windows-1252 to UTF-8, Letter as a string
// of its one character (the zero character included).
nlohmann::ordered_json RecordFieldsToJson(const QVDBType& record);

} // namespace tavelio::book
