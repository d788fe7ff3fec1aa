#include "platform/path_style.h"

namespace korvu::platform {

PathStyle NativePathStyle() {
  return PathStyle::kPosix;
}

}  // namespace korvu::platform
