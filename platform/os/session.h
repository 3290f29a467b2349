// The session the program runs in: where its user sits.
#pragma once

namespace xtb::os {

// Whether the user sits at another computer than this one (the program was
// started over SSH or inside a remote desktop session), so that sound and
// windows reach the user only through the session.
bool IsRemoteSession();

}  // namespace xtb::os
