#include "encoder/win32/avifile_source.h"

#include <cstdio>
#include <optional>

#include "encoder/error.h"
#include "encoder/win32/utf8.h"

namespace korvu::enc {

// AVIFile's library, loaded with the first file that takes this route: linked at start, it and
// the COM libraries it brings would cost every run of korvu-enc a good part of a second.
struct AviFileLibrary {
  decltype(&AVIFileInit) FileInit = nullptr;
  decltype(&AVIFileExit) FileExit = nullptr;
  decltype(&AVIStreamOpenFromFileW) OpenFromFile = nullptr;
  decltype(&AVIStreamInfoW) Info = nullptr;
  decltype(&AVIStreamReadFormat) ReadFormat = nullptr;
  decltype(&AVIStreamRead) Read = nullptr;
  decltype(&AVIStreamStart) Start = nullptr;
  decltype(&AVIStreamLength) Length = nullptr;
  decltype(&AVIStreamRelease) Release = nullptr;
};

namespace {

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  // Through the generic function type, which any function pointer may be cast to and back.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Nothing when Windows' AVIFile library is missing or lacks a function.
const AviFileLibrary* Library() {
  static const std::optional<AviFileLibrary> library = []() -> std::optional<AviFileLibrary> {
    HMODULE module = LoadLibraryW(L"avifil32.dll");
    if (module == nullptr) return std::nullopt;
    AviFileLibrary l;
    Find(module, "AVIFileInit", l.FileInit);
    Find(module, "AVIFileExit", l.FileExit);
    Find(module, "AVIStreamOpenFromFileW", l.OpenFromFile);
    Find(module, "AVIStreamInfoW", l.Info);
    Find(module, "AVIStreamReadFormat", l.ReadFormat);
    Find(module, "AVIStreamRead", l.Read);
    Find(module, "AVIStreamStart", l.Start);
    Find(module, "AVIStreamLength", l.Length);
    Find(module, "AVIStreamRelease", l.Release);
    if (!l.FileInit || !l.FileExit || !l.OpenFromFile || !l.Info || !l.ReadFormat || !l.Read ||
        !l.Start || !l.Length || !l.Release)
      return std::nullopt;
    return l;
  }();
  return library ? &*library : nullptr;
}

constexpr DWORD FourCc(const char (&code)[5]) {
  return static_cast<DWORD>(code[0]) | static_cast<DWORD>(code[1]) << 8 |
         static_cast<DWORD>(code[2]) << 16 | static_cast<DWORD>(code[3]) << 24;
}

std::string FourCcText(DWORD code) {
  if (code == BI_RGB) return "uncompressed RGB";
  std::string text;
  for (int shift = 0; shift < 32; shift += 8) {
    const char c = static_cast<char>(code >> shift & 0xff);
    text += c >= ' ' && c < 127 ? c : '?';
  }
  return text;
}

// Rows of a Windows bitmap are padded to four bytes.
int BitmapStride(int width, int bits) {
  return (width * bits / 8 + 3) & ~3;
}

// AVIFile finds the handler of a file by its extension, under this key; AviSynth's installer
// adds the one for its scripts.
bool HandlerRegistered(const std::string& path) {
  const std::string extension = path.substr(path.find_last_of('.') + 1);
  const std::wstring key = L"AVIFile\\Extensions\\" + Utf16(extension);
  return RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr,
                      nullptr) == ERROR_SUCCESS;
}

std::string OpenFailure(const std::string& path, HRESULT result) {
  if (GetFileAttributesW(Utf16(path).c_str()) == INVALID_FILE_ATTRIBUTES)
    return "cannot be opened (No such file or directory)";
  if (IsAviSynthScript(path) && !HandlerRegistered(path))
    return "is an AviSynth script, and AviSynth is not installed; install AviSynth or give "
           "the video file itself";
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
  return std::string("cannot be opened through AVIFile (error ") + code + ")";
}

}  // namespace

AviFileSource::AviFileSource(std::string path)
    : path_(std::move(path)), avifile_(Library()), frame_(NewFrame()) {
  if (avifile_ == nullptr)
    throw Error(path_, "cannot be read: Windows' AVIFile library (avifil32.dll) is missing");
  avifile_->FileInit();
  const HRESULT result = avifile_->OpenFromFile(&stream_, Utf16(path_).c_str(), streamtypeVIDEO, 0,
                                                OF_READ | OF_SHARE_DENY_NONE, nullptr);
  if (result != AVIERR_OK) {
    stream_ = nullptr;
    avifile_->FileExit();
    throw Error(path_, OpenFailure(path_, result));
  }
  try {
    ReadFormat();
  } catch (...) {
    avifile_->Release(stream_);
    avifile_->FileExit();
    throw;
  }
}

AviFileSource::~AviFileSource() {
  avifile_->Release(stream_);
  avifile_->FileExit();
}

void AviFileSource::ReadFormat() {
  AVISTREAMINFOW info;
  if (avifile_->Info(stream_, &info, sizeof info) != AVIERR_OK)
    throw Error(path_, "tells nothing about its video stream");
  BITMAPINFOHEADER format{};
  LONG size = sizeof format;
  if (avifile_->ReadFormat(stream_, avifile_->Start(stream_), &format, &size) != AVIERR_OK ||
      size < static_cast<LONG>(sizeof format))
    throw Error(path_, "tells nothing about the form of its pictures");
  facts_.width = format.biWidth;
  facts_.height = format.biHeight < 0 ? -format.biHeight : format.biHeight;
  bottom_up_ = format.biHeight > 0;
  compression_ = format.biCompression;
  bits_ = format.biBitCount;
  if (compression_ == BI_RGB && bits_ == 24)
    facts_.pixel_format = AV_PIX_FMT_BGR24;
  else if (compression_ == BI_RGB && bits_ == 32)
    facts_.pixel_format = AV_PIX_FMT_BGR0;
  else if (compression_ == FourCc("I420") || compression_ == FourCc("IYUV") ||
           compression_ == FourCc("YV12"))
    facts_.pixel_format = AV_PIX_FMT_YUV420P;
  else if (compression_ == FourCc("YUY2"))
    facts_.pixel_format = AV_PIX_FMT_YUYV422;
  else
    throw Error(path_, "has pictures in a form that only FFmpeg reads (" +
                           FourCcText(compression_) + "); give an AVI file, not a script of it");
  if (facts_.width <= 0 || facts_.height <= 0) throw Error(path_, "has pictures of no size");
  if (info.dwRate > 0 && info.dwScale > 0)
    facts_.frame_rate = {static_cast<int>(info.dwRate), static_cast<int>(info.dwScale)};
  facts_.listed_frames = std::max<LONG>(avifile_->Length(stream_), 0);
  facts_.estimated_frames = facts_.listed_frames;
  start_ = next_ = avifile_->Start(stream_);
  const int width = facts_.width, height = facts_.height;
  const size_t bytes = compression_ == BI_RGB ? size_t(BitmapStride(width, bits_)) * height
                       : facts_.pixel_format == AV_PIX_FMT_YUYV422 ? size_t(width) * 2 * height
                                                                   : size_t(width) * height * 3 / 2;
  buffer_.resize(bytes);
  PointFrameAtBuffer();
}

// The pictures' planes as the stream lays them out: a bitmap bottom row first unless its height
// is negative (top-down), YV12 with its V plane before U.
void AviFileSource::PointFrameAtBuffer() {
  AVFrame& frame = *frame_;
  const int width = facts_.width, height = facts_.height;
  frame.format = facts_.pixel_format;
  frame.width = width;
  frame.height = height;
  uint8_t* data = buffer_.data();
  if (compression_ == BI_RGB) {
    const int stride = BitmapStride(width, bits_);
    frame.data[0] = bottom_up_ ? data + size_t(stride) * (height - 1) : data;
    frame.linesize[0] = bottom_up_ ? -stride : stride;
    return;
  }
  if (facts_.pixel_format == AV_PIX_FMT_YUYV422) {
    frame.data[0] = data;
    frame.linesize[0] = width * 2;
    return;
  }
  const size_t luma = size_t(width) * height;
  const size_t chroma = luma / 4;
  const bool v_first = compression_ == FourCc("YV12");
  frame.data[0] = data;
  frame.data[1] = data + luma + (v_first ? chroma : 0);
  frame.data[2] = data + luma + (v_first ? 0 : chroma);
  frame.linesize[0] = width;
  frame.linesize[1] = frame.linesize[2] = width / 2;
}

std::optional<DecodedPicture> AviFileSource::Next() {
  if (next_ - start_ >= facts_.listed_frames) return std::nullopt;
  LONG bytes = 0;
  const HRESULT result = avifile_->Read(stream_, next_, 1, buffer_.data(),
                                        static_cast<LONG>(buffer_.size()), &bytes, nullptr);
  if (result != AVIERR_OK || bytes < static_cast<LONG>(buffer_.size()))
    throw Error(path_, "cannot be read in frame " + std::to_string(next_ - start_ + 1));
  return DecodedPicture{frame_.get(), next_++ - start_};
}

}  // namespace korvu::enc
