#pragma once

#include "app/fields/file_name_field.h"

// The main window's layout description: where each control stands, what names it, its hint and its
// picture. Pixels for a screen of 96 dots per inch; Qt scales them on denser screens.
namespace korvu::app::layout {

inline constexpr char kTitle[] = "Korvu - making Pimbrosse!";
inline constexpr int kClientWidth = 529;
inline constexpr int kClientHeight = 313;
inline constexpr char kFontFamily[] = "Tahoma";
inline constexpr int kFontPixels = 11;
inline constexpr int kEncodeFontPixels = 19;
inline constexpr unsigned kMaroon = 0x800000;

struct Box {
  int left, top, width, height;
};

struct Input {
  const char* name;
  Box box;
};

// Every control that takes input, in tab order: the B-frame group comes after the two settings
// buttons although it stands on the left.
inline constexpr Input kInputs[] = {
    {"jveEncoder", {8, 24, 249, 21}},       {"jveStats", {8, 64, 249, 21}},
    {"jveInput", {272, 24, 249, 21}},       {"jveOutput", {272, 64, 249, 21}},
    {"jvcEncQuality", {8, 120, 73, 21}},    {"jveBitrate", {96, 120, 65, 21}},
    {"jvsThreads", {176, 120, 33, 21}},     {"jvsGOPSec", {8, 152, 33, 21}},
    {"jvcSourceType", {272, 120, 105, 21}}, {"jvcMBAFF", {392, 120, 120, 17}},
    {"jvcFPS", {272, 168, 121, 21}},        {"jveMaxFrames", {408, 168, 65, 21}},
    {"jvbLoadIni", {272, 200, 105, 25}},    {"jvbSaveIni", {272, 232, 105, 25}},
    {"jvsMaxBFrames", {8, 176, 33, 21}},    {"jvsRefFrames", {8, 200, 33, 21}},
    {"jvcBRef", {8, 224, 160, 17}},         {"jvcPyramide", {24, 240, 176, 17}},
    {"jvbEncode", {400, 200, 121, 57}},     {"jvtParams", {0, 264, 529, 49}},
};

struct Label {
  const char* name;
  const char* caption;
  Box box;
  const char* names;  // the control it names for screen readers
  bool maroon;        // one of the inputs a job cannot do without
};

inline constexpr Label kLabels[] = {
    {"jvlEncoder", "CLI Encoder location", {8, 8, 100, 13}, "jveEncoder", true},
    {"jvlStats", "Statistics file", {8, 48, 62, 13}, "jveStats", true},
    {"jvlInput", "Input video file", {272, 8, 74, 13}, "jveInput", true},
    {"jvlOutput", "Output video file", {272, 48, 82, 13}, "jveOutput", true},
    {"jvlEncQuality", "Encoding quality", {8, 104, 80, 13}, "jvcEncQuality", false},
    {"jvlBitrate", "Bitrate (kbps)", {96, 104, 67, 13}, "jveBitrate", true},
    {"JvLabel1", "threads", {216, 124, 39, 13}, "jvsThreads", false},
    {"jvlSourceType", "Source type", {272, 104, 60, 13}, "jvcSourceType", false},
    {"jvlGOPSec", "seconds per GOP", {48, 156, 84, 13}, "jvsGOPSec", false},
    {"jvlMaxBFrames", "max. consecutive B frames", {48, 180, 131, 13}, "jvsMaxBFrames", false},
    {"jvlRefFrames", "max. Reference frames", {48, 204, 115, 13}, "jvsRefFrames", false},
    {"jvlFPS", "Frames per sec. override", {272, 152, 122, 13}, "jvcFPS", false},
    {"jvlMaxFrames", "Max. frames", {408, 152, 62, 13}, "jveMaxFrames", false},
};

struct Hint {
  const char* control;
  const char* text;  // line breaks as CR LF, as the form stores them
};

inline constexpr Hint kHints[] = {
    {"jvsThreads",
     "Maximum number of threads\r\n(useful for multicore processors)\r\n\r\n0 = let encoder "
     "decide"},
    {"jvcMBAFF", "Only valid if interlaced.\r\n\r\nChecked = MBAFF\r\nUnchecked = PAFF"},
    {"jvcFPS",
     "Change framerate of the output\r\n\r\nFormats: Number (.) or fraction (/)\r\n\r\n"
     "empty = use source framerate"},
    {"jveMaxFrames",
     "To limit the number of frames to be encoded.\r\n\r\n0 = all frames of the source"},
    {"jvbSaveIni",
     "Save as 'Korvu.ini' in the application folder\r\nto store default settings loaded on "
     "startup"},
    {"jvbEncode", "Creates and executes a batch file for 2 pass encoding"},
};

struct FileField {
  const char* name;
  DialogKind dialog;
  const char* default_ext;
  const char* filter;
  const char* picture;
};

inline constexpr FileField kFileFields[] = {
    {"jveEncoder", DialogKind::kOpen, "exe", "Executables (*.exe)|*.exe", "wand"},
    {"jveStats", DialogKind::kOpen, "dat", "Statistics data (*.dat)|*.dat", "chart"},
    {"jveInput", DialogKind::kOpen, "",
     "Supported files|*.avi;*.avs|AVI videos (*.avi)|*.avi|AviSynth scripts (*.avs)|*.avs|"
     "All files (*.*)|*.*",
     "folder"},
    {"jveOutput", DialogKind::kSave, "264", "Raw H.264 files (*.264)|*.264", "drive"},
};

struct Button {
  const char* name;
  const char* caption;
  const char* picture;
  int font_pixels;
};

inline constexpr Button kButtons[] = {
    {"jvbLoadIni", "Load settings", "load", kFontPixels},
    {"jvbSaveIni", "Save settings", "save", kFontPixels},
    {"jvbEncode", "Encode", "gears", kEncodeFontPixels},
};

}  // namespace korvu::app::layout
