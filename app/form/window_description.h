#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "job/job_settings.h"
#include "job/param_line.h"

// The main window described once, without a toolkit: every control in tab order with the job
// value it shows, where it stands, what names it, its hint, caption and picture, and what its
// browse dialog offers. Each front end builds its window from this table alone. Pixels for a
// screen of 96 dots per inch, from the top-left corner of the client area; a front end scales
// them on denser screens.
namespace korvu::form {

inline constexpr std::string_view kTitle = "Korvu - making Pimbrosse!";
inline constexpr int kClientWidth = 529;
inline constexpr int kClientHeight = 313;
inline constexpr std::string_view kFontFamily = "Tahoma";
inline constexpr int kFontPixels = 11;
inline constexpr unsigned kMaroon = 0x800000;  // the labels of the values a job cannot do without
// Where the focus stands when the window is first shown; the first activation moves it.
inline constexpr std::string_view kFirstFocus = "jvcFPS";

struct Box {
  int left = 0, top = 0, width = 0, height = 0;

  friend bool operator==(const Box&, const Box&) = default;
};

// What a control is, and so which kind of job value it shows:
//  - a file name field shows a path text (job::TextValue) and has a browse button and dialog;
//  - a number field a number text (job::NumberText); a spin field a bounded whole number
//    (job::BoundedInt);
//  - an editable or fixed list a list index (job::ListIndex); a free-text list a free text
//    (job::TextValue) with entries offered;
//  - a check box a three-state box (job::CheckBox) or a flag (job::Flag);
//  - a button and the preview show no value.
enum class Kind {
  kFileName,
  kNumber,
  kSpin,
  kEditableList,
  kFixedList,
  kFreeTextList,
  kCheckBox,
  kButton,
  kPreview,
};

enum class DialogKind { kOpen, kSave };

// The static text that names a control for the keyboard and for screen readers.
struct Label {
  std::string_view name{};  // empty: the control names itself by its caption, or is unnamed
  std::string_view caption{};
  Box box{};
  bool maroon = false;
};

// A file name field's browse dialog; every one is titled kBrowseTitle.
struct FileDialog {
  DialogKind kind = DialogKind::kOpen;
  std::string_view default_ext{};  // without the dot; may be empty
  std::string_view filter{};       // "Description|*.a;*.b|Description|*.c"
};

inline constexpr std::string_view kBrowseTitle = "Browse";
// A file name field's browse button lies over the right end of its text area, inside its frame.
inline constexpr int kBrowseButtonWidth = 21;
// The filter a browse dialog gets when its field sets none.
inline constexpr std::string_view kAllFilesFilter = "All files (*.*)|*.*";

// The two settings-file dialogs of the data module: "Load settings" (the file must exist) and
// "Save settings" (replacing a file asks first). Each offers kSettingsOfferedFirst until a name
// has been confirmed in it, then that name.
inline constexpr std::string_view kLoadSettingsTitle = "Load settings";
inline constexpr std::string_view kSaveSettingsTitle = "Save settings";
inline constexpr FileDialog kSettingsDialog = {DialogKind::kOpen, "ini",
                                               "Korvu settings (*.ini)|*.ini"};
inline constexpr std::string_view kSettingsOfferedFirst = "*.ini";

struct Control {
  std::string_view name{};
  Kind kind = Kind::kButton;
  std::string_view
      value{};  // the settings key of the job value shown; empty for buttons and preview
  Box box{};
  Label label{};
  std::string_view hint{};  // line breaks as CR LF, as the window stores them; empty for none
  std::string_view
      caption{};  // check boxes and buttons; the preview's is its name for screen readers
  std::string_view picture{};  // a button's picture, a file name field's browse button's
  FileDialog dialog{};         // file name fields
  std::span<const std::string_view> entries{};  // a free-text list's offered entries
  int font_pixels = kFontPixels;
};

// The rows by what they carry: a field named by a label (a free-text list also offers entries), a
// file name field with its browse button's picture and dialog, a control with a caption of its
// own, the preview.
constexpr Control Field(std::string_view name, Kind kind, std::string_view value, Box box,
                        Label label, std::string_view hint = {},
                        std::span<const std::string_view> entries = {}) {
  return {.name = name,
          .kind = kind,
          .value = value,
          .box = box,
          .label = label,
          .hint = hint,
          .entries = entries};
}

constexpr Control FileField(std::string_view name, std::string_view value, Box box, Label label,
                            std::string_view picture, FileDialog dialog) {
  return {.name = name,
          .kind = Kind::kFileName,
          .value = value,
          .box = box,
          .label = label,
          .picture = picture,
          .dialog = dialog};
}

constexpr Control Captioned(std::string_view name, Kind kind, std::string_view value, Box box,
                            std::string_view caption, std::string_view hint = {},
                            std::string_view picture = {}, int font_pixels = kFontPixels) {
  return {.name = name,
          .kind = kind,
          .value = value,
          .box = box,
          .hint = hint,
          .caption = caption,
          .picture = picture,
          .font_pixels = font_pixels};
}

// Every control, in tab order: the B-frame group comes after the two settings buttons although it
// stands on the left.
inline constexpr Control kControls[] = {
    FileField("jveEncoder", "Encoder", {8, 24, 249, 21},
              {"jvlEncoder", "CLI Encoder location", {8, 8, 100, 13}, true}, "wand",
              {DialogKind::kOpen, "exe", "Executables (*.exe)|*.exe"}),
    FileField("jveStats", "Stats", {8, 64, 249, 21},
              {"jvlStats", "Statistics file", {8, 48, 62, 13}, true}, "chart",
              {DialogKind::kOpen, "dat", "Statistics data (*.dat)|*.dat"}),
    FileField("jveInput", "Input", {272, 24, 249, 21},
              {"jvlInput", "Input video file", {272, 8, 74, 13}, true}, "folder",
              {DialogKind::kOpen, "",
               "Supported files|*.avi;*.avs|AVI videos (*.avi)|*.avi|"
               "AviSynth scripts (*.avs)|*.avs|All files (*.*)|*.*"}),
    FileField("jveOutput", "Output", {272, 64, 249, 21},
              {"jvlOutput", "Output video file", {272, 48, 82, 13}, true}, "drive",
              {DialogKind::kSave, "264", "Raw H.264 files (*.264)|*.264"}),
    Field("jvcEncQuality", Kind::kEditableList, "EncQuality", {8, 120, 73, 21},
          {"jvlEncQuality", "Encoding quality", {8, 104, 80, 13}}),
    Field("jveBitrate", Kind::kNumber, "Bitrate", {96, 120, 65, 21},
          {"jvlBitrate", "Bitrate (kbps)", {96, 104, 67, 13}, true}),
    Field("jvsThreads", Kind::kSpin, "Threads", {176, 120, 33, 21},
          {"JvLabel1", "threads", {216, 124, 39, 13}},
          "Maximum number of threads\r\n(useful for multicore processors)\r\n\r\n"
          "0 = let encoder decide"),
    Field("jvsGOPSec", Kind::kSpin, "GOPSec", {8, 152, 33, 21},
          {"jvlGOPSec", "seconds per GOP", {48, 156, 84, 13}}),
    Field("jvcSourceType", Kind::kFixedList, "SourceType", {272, 120, 105, 21},
          {"jvlSourceType", "Source type", {272, 104, 60, 13}}),
    Captioned("jvcMBAFF", Kind::kCheckBox, "MBAFF", {392, 120, 120, 17}, "Macroblock Adaptive",
              "Only valid if interlaced.\r\n\r\nChecked = MBAFF\r\nUnchecked = PAFF"),
    Field("jvcFPS", Kind::kFreeTextList, "fps", {272, 168, 121, 21},
          {"jvlFPS", "Frames per sec. override", {272, 152, 122, 13}},
          "Change framerate of the output\r\n\r\nFormats: Number (.) or fraction (/)\r\n\r\n"
          "empty = use source framerate",
          job::kOfferedFrameRates),
    Field("jveMaxFrames", Kind::kNumber, "MaxFrames", {408, 168, 65, 21},
          {"jvlMaxFrames", "Max. frames", {408, 152, 62, 13}},
          "To limit the number of frames to be encoded.\r\n\r\n0 = all frames of the source"),
    Captioned("jvbLoadIni", Kind::kButton, {}, {272, 200, 105, 25}, "Load settings", {}, "load"),
    Captioned("jvbSaveIni", Kind::kButton, {}, {272, 232, 105, 25}, "Save settings",
              "Save as 'Korvu.ini' in the application folder\r\nto store default settings loaded "
              "on startup",
              "save"),
    Field("jvsMaxBFrames", Kind::kSpin, "MaxBFrames", {8, 176, 33, 21},
          {"jvlMaxBFrames", "max. consecutive B frames", {48, 180, 131, 13}}),
    Field("jvsRefFrames", Kind::kSpin, "RefFrames", {8, 200, 33, 21},
          {"jvlRefFrames", "max. Reference frames", {48, 204, 115, 13}}),
    Captioned("jvcBRef", Kind::kCheckBox, "BRef", {8, 224, 160, 17},
              "Allow B frames as references"),
    Captioned("jvcPyramide", Kind::kCheckBox, "Pyramide", {24, 240, 176, 17},
              "Use B frame reference pyramide"),
    Captioned("jvbEncode", Kind::kButton, {}, {400, 200, 121, 57}, "Encode",
              "Creates and executes a batch file for 2 pass encoding", "gears", 19),
    {.name = "jvtParams",
     .kind = Kind::kPreview,
     .box = {0, 264, 529, 49},
     .caption = "Encoder command line"},
};

// The row of the control `name`; raises std::out_of_range when there is none.
const Control& ControlNamed(std::string_view name);

// The job value the control of `row` shows, or null for a button and the preview.
const job::SettingsKey* ValueKey(const Control& row);

// The job value of kind `Value` (job::TextValue, job::BoundedInt, ...) that the control of `row`
// shows in `settings`; null when it shows none of that kind.
template <typename Value>
Value* ValueOf(job::JobSettings& settings, const Control& row) {
  const job::SettingsKey* key = ValueKey(row);
  const auto* member = key ? std::get_if<Value job::JobSettings::*>(&key->field) : nullptr;
  return member ? &(settings.**member) : nullptr;
}

// The same, for a control that must show a value of that kind: raises std::logic_error naming the
// control when the description gives it none (a fault of the description, not of the user).
template <typename Value>
Value& RequiredValueOf(job::JobSettings& settings, const Control& row) {
  if (Value* value = ValueOf<Value>(settings, row)) return *value;
  throw std::logic_error(std::string(row.name) + " shows no value of its kind");
}

// A list's offered entries as the list field takes them.
std::vector<std::string> EntriesOf(const Control& row);

// How wide a control or label at `own` may grow to fit its caption, where a font is wider than the
// one the layout was made with (another font, a denser screen): up to the nearest box (a
// control's or a label's) that stands to its right on the same lines, or the window's edge; never
// less than its own box.
int RoomBeside(const Box& own);

// Why "Encode" is off, one line per reason naming the field by its label ("Input video file: no
// such file: /clips/no"), lines ended by CR LF; empty when the job is ready.
std::string NotReadyText(const std::vector<job::NotReadyReason>& reasons);

// The hint "Encode" shows: its own, and while the job is not ready a blank line and the reasons.
std::string EncodeHint(const std::vector<job::NotReadyReason>& reasons);

}  // namespace korvu::form
