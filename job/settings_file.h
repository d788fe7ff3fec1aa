#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "job/error.h"
#include "job/job.h"
#include "job/path_rules.h"
#include "platform/file_io.h"

namespace korvu::job {

// The settings file keeps one job: its sixteen values under the section "Korvu" of an INI file
// (see settings_text.h for the layout, kSettingsKeys in job_settings.h for the keys and
// value_forms.h for their forms).

inline constexpr std::string_view kCannotOpen = "Datei %s kann nicht geöffnet werden. %s";
inline constexpr std::string_view kCannotCreate = "Datei \"%s\" kann nicht erstellt werden. %s";
inline constexpr std::string_view kStreamWriteError = "Stream-Schreibfehler";

// Hears an error that a load meets and goes on past: the output-from-input rule refusing the name
// derived from a loaded Input.
using ErrorReport = std::function<void(const Error&)>;

// Loads the file `path` into `job`.
//  - When no file exists under `path` (by the job's file-existence test: a folder is no file),
//    nothing happens and UpdateParams does not run.
//  - Otherwise FParamsLive goes off, the file is read whole, and when its last section "Korvu"
//    holds a line, the keys are applied in table order (a missing key or a value not in its form
//    leaves the field as it is; Input derives Output; the pyramid coupling follows Pyramide).
//    Then FParamsLive goes on and UpdateParams runs once.
//  - An error of the output-from-input rule goes to `report` at once and the load goes on with the
//    next key; without a report it ends the load.
// Raises Error(kCannotOpen: full path, system's reason) when the file cannot be read; FParamsLive
// is back on then, no value has changed and UpdateParams has not run.
// `links` tells whether a symbolic link under `path` is followed (platform/file_io.h); refused, it
// is reported as a file that cannot be opened.
void LoadSettings(Job& job, const std::string& path, const ErrorReport& report,
                  platform::Links links = platform::Links::kFollow);

// Saves the values of `job` into the file `path`, keeping every other section of it: the last
// section "Korvu" is removed, the keys are written in table order (into an earlier "Korvu" in
// place of their lines, or into a new section at the end), and the file is replaced so that a
// failure leaves the old file whole. Changes nothing in the job and does not run UpdateParams.
// Raises Error with
//  - kCannotOpen (full path, reason) when an existing file cannot be read;
//  - kCannotCreate (full path, reason) when the file cannot be created or replaced: a read-only
//    file, a folder without write access, a missing folder, an invalid name;
//  - kStreamWriteError when writing stops short (a full disk);
//  - kInvalidFileName (the value) when a value holds a CR, LF or NUL, before the file is touched.
// `links` as for LoadSettings; a refused link cannot be created.
void SaveSettings(const Job& job, const std::string& path,
                  platform::Links links = platform::Links::kFollow);

// The default settings file: the executable's full path with its extension replaced by ".ini".
std::string DefaultSettingsPath(std::string_view executable_path, PathStyle style);

// A system's description of an error as the messages show it: without trailing blanks, control
// characters and full stops.
std::string_view ErrorReason(std::string_view description);

}  // namespace korvu::job
