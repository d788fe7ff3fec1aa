#include "encoder/x264_params.h"

namespace korvu::enc {

x264_param_t BuildParams(const Options& options, const ApplyContext& context,
                         const PictureFormat& picture) {
  x264_param_t param;
  x264_param_default(&param);
  for (const OptionRow& row : OptionTable())
    if (row.apply != nullptr) row.apply(options, context, param);

  param.i_width = picture.width;
  param.i_height = picture.height;
  param.i_csp = X264_CSP_I420;
  param.vui.i_sar_width = picture.sample_aspect.num;
  param.vui.i_sar_height = picture.sample_aspect.den;
  param.vui.b_fullrange = picture.full_range;
  x264_param_apply_fastfirstpass(&param);  // acts on pass 1 only
  return param;
}

}  // namespace korvu::enc
