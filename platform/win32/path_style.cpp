#include "platform/path_style.h"

namespace korvu::platform {

PathStyle NativePathStyle() {
  return PathStyle::kWindows;
}

}  // namespace korvu::platform
