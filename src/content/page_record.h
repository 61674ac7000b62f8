// One page record as the database holds it. Record strings are Windows-1252 bytes; convert them
// (text_encoding.h) only where they are shown or printed. A record owns its strings.
#pragma once

#include <cstdint>
#include <string>

namespace tavelio {

// The seventeen fields in file order, with the widths the database reader cuts numbers to.
// A default record is all zero and all empty (Letter the zero character), as unused slots are.
struct QVDBType {
    std::uint8_t BookNo = 0;     // book the page belongs to; 1 is the first book
    std::uint8_t PageNo = 0;     // page within the book; 0 is the cover
    char Letter = '\0';          // diagnostic only
    std::string Title;           // book title
    std::string InstructionText; // "~"-encoded lines of the instructions
    std::int32_t PicOffset = 0;  // first byte of the page picture in the picture archive
    std::int32_t PicSize = 0;    // byte length of the page picture
    std::string PicType;         // picture file extension, or none (HasPicture, page_rules.h)
    std::int16_t MediaHeight = 0;
    std::int16_t MediaWidth = 0;
    std::string AniFile;          // animation file name, or none (HasClip, page_rules.h)
    std::string PageText;         // "~"-encoded page text
    std::int32_t SpeechStart = 0; // narration stretch of the page, in milliseconds
    std::int32_t SpeechEnd = 0;
    std::int8_t PageKind = 0; // layout kind: 0 picture, 1..3 ruled lines, 4..6 text page
    std::string PromptText;   // "~"-encoded narrator's words; " " means none
    std::string ScriptText;   // "~"-encoded page script; " " means none

    bool operator==(const QVDBType&) const = default;
};

} // namespace tavelio
