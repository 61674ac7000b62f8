#include "book/record_json.h"

#include "base/text_encoding.h"

#include <string>

namespace tavelio::book {

nlohmann::ordered_json RecordFieldsToJson(const QVDBType& record) {
    nlohmann::ordered_json json;
    json["BookNo"] = record.BookNo;
    json["PageNo"] = record.PageNo;
    json["Letter"] = Cp1252ToUtf8(std::string(1, record.Letter));
    json["Title"] = Cp1252ToUtf8(record.Title);
    json["InstructionText"] = Cp1252ToUtf8(record.InstructionText);
    json["PicOffset"] = record.PicOffset;
    json["PicSize"] = record.PicSize;
    json["PicType"] = Cp1252ToUtf8(record.PicType);
    json["MediaHeight"] = record.MediaHeight;
    json["MediaWidth"] = record.MediaWidth;
    json["AniFile"] = Cp1252ToUtf8(record.AniFile);
    json["PageText"] = Cp1252ToUtf8(record.PageText);
    json["SpeechStart"] = record.SpeechStart;
    json["SpeechEnd"] = record.SpeechEnd;
    json["PageKind"] = record.PageKind;
    json["PromptText"] = Cp1252ToUtf8(record.PromptText);
    json["ScriptText"] = Cp1252ToUtf8(record.ScriptText);
    return json;
}

} // namespace tavelio::book
