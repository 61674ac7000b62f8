// HKEY_LOCAL_MACHINE read from a hive file in the text format of registry exports, for a system
// that has no registry of its own. The file is read afresh on every OpenKey and closed before it
// returns, so an open key is a snapshot of its values; nothing is ever written.
//
// Accepted format: a first line "REGEDIT4" or "Windows Registry Editor Version 5.00"; key lines
// "[HKEY_LOCAL_MACHINE\Software\...]" ("[-...]" deletes a key with its subkeys); value lines
// "Name"=data or @=data (the default value) with data "text" (\\ and \" escaped), dword:XXXXXXXX,
// hex:bytes (REG_BINARY), hex(2): (REG_EXPAND_SZ), hex(7): (REG_MULTI_SZ), hex(b): (REG_QWORD),
// hex(N): for any other type N, or - (deletes the value). Byte lists may go on over several lines
// by ending a line with a backslash. Lines starting with ";" are comments. The file may be UTF-8
// (with or without a byte-order mark), UTF-16LE with a byte-order mark, or Windows-1252; CRLF or
// LF line ends. String data in hex form is UTF-16LE in version 5.00 files and Windows-1252 bytes
// in REGEDIT4 files, as the two kinds of export write it. Keys of other root keys are accepted
// and ignored.
//
// A file that breaks these rules is not an error of the program: OpenKey writes one line to
// standard error naming the file, the line and what is wrong, and then behaves as if no key
// existed.
#pragma once

#include "platform/system/registry.h"

#include <string>
#include <utility>

namespace tavelio {

class HiveRegistry final : public Registry {
public:
    // The hive file at path; a missing file means no key exists.
    explicit HiveRegistry(std::string path) : path_(std::move(path)) {}

    // The hive file of this system: $TAVELIO_HKLM when set and not empty, else
    // /etc/tavelio/hklm.reg.
    static std::string DefaultPath();

    std::unique_ptr<RegistryKey> OpenKey(const std::string& path) override;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace tavelio
