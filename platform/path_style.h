#pragma once

namespace korvu::platform {

// How paths are spelled. Windows: "\" separates folders (and ":" ends a drive), "/" is refused in
// a name. POSIX: "/" separates folders and is allowed in a name.
enum class PathStyle { kWindows, kPosix };

// The style of the platform the program is built for.
PathStyle NativePathStyle();

}  // namespace korvu::platform
