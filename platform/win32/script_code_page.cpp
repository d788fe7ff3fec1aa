#include "platform/script_code_page.h"

#include <windows.h>

#include <algorithm>

namespace korvu::platform {

std::optional<std::string> ToScriptCodePage(std::string_view text) {
  // Both code pages agree on ASCII, which is what nearly every job holds.
  if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; }))
    return std::string(text);
  const int size = static_cast<int>(text.size());
  const int wide_size =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (wide_size == 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), wide_size);
  // Without best fit, "Õ" does not quietly become "O" where the OEM code page lacks it.
  BOOL lacking = FALSE;
  const int oem_size = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size,
                                           nullptr, 0, nullptr, &lacking);
  if (oem_size == 0 || lacking) return std::nullopt;
  std::string oem(static_cast<std::size_t>(oem_size), '\0');
  WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, oem.data(), oem_size,
                      nullptr, nullptr);
  return oem;
}

}  // namespace korvu::platform
