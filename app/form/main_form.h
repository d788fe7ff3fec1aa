#pragma once

#include <span>
#include <string_view>

#include "job/job_settings.h"

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

struct Control {
  std::string_view name{};
  Kind kind = Kind::kButton;
  std::string_view
      value{};  // the settings key of the job value shown; empty for buttons and preview
  Box box{};
  Label label{};
  std::string_view hint{};     // line breaks as CR LF, as the window stores them; empty for none
  std::string_view caption{};  // check boxes and buttons
  std::string_view picture{};  // a button's picture, a file name field's browse button's
  FileDialog dialog{};         // file name fields
  std::span<const std::string_view> entries{};  // a free-text list's offered entries
  int font_pixels = kFontPixels;
};

// Every control, in tab order: the B-frame group comes after the two settings buttons although it
// stands on the left.
inline constexpr Control kControls[] = {
    {.name = "jveEncoder",
     .kind = Kind::kFileName,
     .value = "Encoder",
     .box = {8, 24, 249, 21},
     .label = {"jvlEncoder", "CLI Encoder location", {8, 8, 100, 13}, true},
     .picture = "wand",
     .dialog = {DialogKind::kOpen, "exe", "Executables (*.exe)|*.exe"}},
    {.name = "jveStats",
     .kind = Kind::kFileName,
     .value = "Stats",
     .box = {8, 64, 249, 21},
     .label = {"jvlStats", "Statistics file", {8, 48, 62, 13}, true},
     .picture = "chart",
     .dialog = {DialogKind::kOpen, "dat", "Statistics data (*.dat)|*.dat"}},
    {.name = "jveInput",
     .kind = Kind::kFileName,
     .value = "Input",
     .box = {272, 24, 249, 21},
     .label = {"jvlInput", "Input video file", {272, 8, 74, 13}, true},
     .picture = "folder",
     .dialog = {DialogKind::kOpen, "",
                "Supported files|*.avi;*.avs|AVI videos (*.avi)|*.avi|"
                "AviSynth scripts (*.avs)|*.avs|All files (*.*)|*.*"}},
    {.name = "jveOutput",
     .kind = Kind::kFileName,
     .value = "Output",
     .box = {272, 64, 249, 21},
     .label = {"jvlOutput", "Output video file", {272, 48, 82, 13}, true},
     .picture = "drive",
     .dialog = {DialogKind::kSave, "264", "Raw H.264 files (*.264)|*.264"}},
    {.name = "jvcEncQuality",
     .kind = Kind::kEditableList,
     .value = "EncQuality",
     .box = {8, 120, 73, 21},
     .label = {"jvlEncQuality", "Encoding quality", {8, 104, 80, 13}}},
    {.name = "jveBitrate",
     .kind = Kind::kNumber,
     .value = "Bitrate",
     .box = {96, 120, 65, 21},
     .label = {"jvlBitrate", "Bitrate (kbps)", {96, 104, 67, 13}, true}},
    {.name = "jvsThreads",
     .kind = Kind::kSpin,
     .value = "Threads",
     .box = {176, 120, 33, 21},
     .label = {"JvLabel1", "threads", {216, 124, 39, 13}},
     .hint = "Maximum number of threads\r\n(useful for multicore processors)\r\n\r\n"
             "0 = let encoder decide"},
    {.name = "jvsGOPSec",
     .kind = Kind::kSpin,
     .value = "GOPSec",
     .box = {8, 152, 33, 21},
     .label = {"jvlGOPSec", "seconds per GOP", {48, 156, 84, 13}}},
    {.name = "jvcSourceType",
     .kind = Kind::kFixedList,
     .value = "SourceType",
     .box = {272, 120, 105, 21},
     .label = {"jvlSourceType", "Source type", {272, 104, 60, 13}}},
    {.name = "jvcMBAFF",
     .kind = Kind::kCheckBox,
     .value = "MBAFF",
     .box = {392, 120, 120, 17},
     .hint = "Only valid if interlaced.\r\n\r\nChecked = MBAFF\r\nUnchecked = PAFF",
     .caption = "Macroblock Adaptive"},
    {.name = "jvcFPS",
     .kind = Kind::kFreeTextList,
     .value = "fps",
     .box = {272, 168, 121, 21},
     .label = {"jvlFPS", "Frames per sec. override", {272, 152, 122, 13}},
     .hint = "Change framerate of the output\r\n\r\nFormats: Number (.) or fraction (/)\r\n\r\n"
             "empty = use source framerate",
     .entries = job::kOfferedFrameRates},
    {.name = "jveMaxFrames",
     .kind = Kind::kNumber,
     .value = "MaxFrames",
     .box = {408, 168, 65, 21},
     .label = {"jvlMaxFrames", "Max. frames", {408, 152, 62, 13}},
     .hint = "To limit the number of frames to be encoded.\r\n\r\n0 = all frames of the source"},
    {.name = "jvbLoadIni",
     .kind = Kind::kButton,
     .box = {272, 200, 105, 25},
     .caption = "Load settings",
     .picture = "load"},
    {.name = "jvbSaveIni",
     .kind = Kind::kButton,
     .box = {272, 232, 105, 25},
     .hint = "Save as 'Korvu.ini' in the application folder\r\nto store default settings loaded "
             "on startup",
     .caption = "Save settings",
     .picture = "save"},
    {.name = "jvsMaxBFrames",
     .kind = Kind::kSpin,
     .value = "MaxBFrames",
     .box = {8, 176, 33, 21},
     .label = {"jvlMaxBFrames", "max. consecutive B frames", {48, 180, 131, 13}}},
    {.name = "jvsRefFrames",
     .kind = Kind::kSpin,
     .value = "RefFrames",
     .box = {8, 200, 33, 21},
     .label = {"jvlRefFrames", "max. Reference frames", {48, 204, 115, 13}}},
    {.name = "jvcBRef",
     .kind = Kind::kCheckBox,
     .value = "BRef",
     .box = {8, 224, 160, 17},
     .caption = "Allow B frames as references"},
    {.name = "jvcPyramide",
     .kind = Kind::kCheckBox,
     .value = "Pyramide",
     .box = {24, 240, 176, 17},
     .caption = "Use B frame reference pyramide"},
    {.name = "jvbEncode",
     .kind = Kind::kButton,
     .box = {400, 200, 121, 57},
     .hint = "Creates and executes a batch file for 2 pass encoding",
     .caption = "Encode",
     .picture = "gears",
     .font_pixels = 19},
    {.name = "jvtParams", .kind = Kind::kPreview, .box = {0, 264, 529, 49}},
};

// The row of the control `name`; raises std::out_of_range when there is none.
const Control& ControlNamed(std::string_view name);

// The job value the control of `row` shows, or null for a button and the preview.
const job::SettingsKey* ValueKey(const Control& row);

// Whether the job value of `row` is of the kind its control shows (see Kind); true for a button
// and the preview, which show none.
bool ShowsItsKindOfValue(const Control& row);

}  // namespace korvu::form
