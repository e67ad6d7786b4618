#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace app {

// The per-user store of remembered choices: one section ("Quillmere") of the
// application "Mirthvale", text values only, every write on disk at once.
class SettingsStore {
public:
    // The user's own store ($XDG_CONFIG_HOME/Mirthvale.conf).
    SettingsStore();
    // A store kept in the given file.
    explicit SettingsStore(const QString& fileName);
    ~SettingsStore();

    QString read(const QString& key, const QString& defaultValue) const;
    // The value holds for this session at once. Throws platform::Failure
    // when it cannot be stored, but only the first time: a store that cannot
    // be written is told once, not at every keystroke that changes a value.
    void write(const QString& key, const QString& value);

    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
    bool writeFailed_ = false;
};

// Reads a stored text as a boolean: "True", "False" or a number (0 is false).
// Any other text throws platform::Failure ("Type mismatch").
bool TextToBoolean(const QString& text);

// The stored form of a boolean: "True" or "False".
QString BooleanToText(bool value);

}  // namespace app
