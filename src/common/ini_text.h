#pragma once
// The settings file's text: "[section]" lines and "key=value" lines under
// them, names compared without case.
#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

// False when a section, key or value would break the file's line structure.
bool IniStorable(std::string_view section, std::string_view key, std::string_view value);

// The value of `key` in `section`, or nothing when the text has none.
std::optional<std::string> IniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// `text` with `key` in `section` set to `value`; every other line is kept.
std::string IniWithValue(std::string_view text, const std::string& section, const std::string& key,
                         const std::string& value);

}  // namespace kelvane
