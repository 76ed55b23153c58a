// Per-user preferences: one string value at a time under
// "\Software\Tivorka\<application title>\<section>".
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace app {

// The marker every reader treats as "not set".
inline constexpr const char* kPrefsError = "!PREFS_OPERATION_ERROR!";

// The store behind WritePref/ReadPref: the registry on Windows, an INI-style
// file elsewhere. `keyPath` is the whole key, e.g.
// "\Software\Tivorka\Zurararudud\LoginPrefs\ServerList".
class PrefsStore {
 public:
  virtual ~PrefsStore() = default;
  // Creates the key (and its parents) when absent and writes the string
  // value. False when the key cannot be created or the store not written.
  virtual bool Write(const std::string& keyPath, const std::string& name, const std::string& value) = 0;
  // The value, or nothing when the key or the value is absent.
  virtual std::optional<std::string> Read(const std::string& keyPath, const std::string& name) = 0;
};

// The user's store. `location` overrides where it lives (a file path for the
// file store); empty takes the user's configuration folder
// ($XDG_CONFIG_HOME or ~/.config, file "Tivorka/Zurararudud.ini"), or the
// environment variable ZURARARUDUD_PREFS when set.
std::unique_ptr<PrefsStore> MakeUserPrefsStore(const std::string& location = "");

// The application title that forms part of every key path.
inline constexpr const char* kApplicationTitle = "Zurararudud";

// Writes one value under "\Software\Tivorka\" + title + "\" + section.
// True when written; false when the key cannot be opened or created.
bool WritePref(PrefsStore& store, const std::string& section, const std::string& name, const std::string& value);
// The value, or kPrefsError when the key or value is absent or empty.
std::string ReadPref(PrefsStore& store, const std::string& section, const std::string& name);

}  // namespace app
