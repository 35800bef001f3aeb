// The text of a settings (INI) file with one value set, as the system's
// private-profile writer sets it: the key's line in its section replaced, or
// a new key line at the end of its section, or a new section at the end of
// the file. Every other byte stays as it was, so the file is written through
// a temporary file and replaced in one step, never rewritten in place.
#pragma once

#include <string>
#include <string_view>

namespace lumora::platform {

// Section and key names are matched as the system matches them: without the
// blanks around them and without regard to ASCII letter case; the first
// matching section and key are the ones read, so they are the ones set. New
// lines end with CR LF.
std::string SetIniValue(std::string_view fileText, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace lumora::platform
