#pragma once

// The programs under test and the helper programs, as the build placed them.
namespace korvu::test {

inline constexpr const char* kKorvuCmd = KORVU_CMD_PATH;
inline constexpr const char* kStubEncoder = KORVU_STUB_ENCODER_PATH;

}  // namespace korvu::test
