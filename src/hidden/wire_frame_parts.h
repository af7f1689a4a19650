// The hidden-line pass as the wire-frame picture takes it: hidden pieces by line, hidden
// points, and the mesh lines an outline picture keeps.
#pragma once

#include "core/scene.h"
#include "view/wire_frame.h"

namespace vorn::hidden {

// `solid`: the mode that draws every piece as it is, so nothing is marked hidden.
pic::HiddenParts WireFrameHiddenParts(const core::Env& env, const pic::ViewState& view,
                                      bool solid);

} // namespace vorn::hidden
