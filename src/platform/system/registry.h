// Read-only access to the system registry under HKEY_LOCAL_MACHINE, as the start-up work reads its
// installation settings. The program is handed a Registry and opens its one key through it.
#pragma once

#include "base/errors.h"

#include <memory>
#include <string>

namespace tavelio {

// A registry value exists but cannot be read as the type asked for.
class ERegistryException : public Error {
public:
    using Error::Error;
};

// An open registry key. Closing it is releasing the object, so a key held in a unique_ptr is
// closed on every path out of the code that opened it, a raised error included. Value names
// match without regard to case, as in the registry.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    virtual bool ValueExists(const std::string& name) const = 0;

    // A flag: a 32-bit integer value (REG_DWORD), true when not 0. Raises ERegistryException
    // "Failed to get data for '<name>'" when the value is missing or its data does not fit in
    // 4 bytes, counted as the single-byte registry interface counts them (a string's characters
    // plus its terminating zero, other data its bytes), and "Invalid data type for '<name>'" when
    // it fits but is not a REG_DWORD.
    virtual bool ReadBool(const std::string& name) const = 0;

    // A string value (REG_SZ, or REG_EXPAND_SZ taken literally), as UTF-8 text that ends at the
    // first zero character; an empty value gives "". Raises ERegistryException "Invalid data type
    // for '<name>'" for any other type and "Failed to get data for '<name>'" when it is missing.
    virtual std::string ReadString(const std::string& name) const = 0;
};

class Registry {
public:
    virtual ~Registry() = default;

    // Opens an existing key of HKEY_LOCAL_MACHINE for reading, never creating it. path is written
    // as the program passes it, for example "\Software\Morrowick\Tavelio\": separators at either
    // end are ignored and names match without regard to case. Returns null when the key can't be
    // opened (it does not exist, or the registry itself can't be read).
    virtual std::unique_ptr<RegistryKey> OpenKey(const std::string& path) = 0;
};

} // namespace tavelio
